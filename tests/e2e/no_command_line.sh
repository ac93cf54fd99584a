#!/usr/bin/env bash
# A start without a command line ends at once and never shows the main window.
source "$(dirname "$0")/lib.sh"
e2e_setup
e2e_warm_up

# The watcher looks for the caption during the whole life of the process and a while after.
watch_out=$E2E_PREFIX/watch.out
e2e_probe watch @main 6000 >"$watch_out" &
watcher=$!
sleep 0.5

start=$(date +%s%N)
status=0
(cd "$E2E_APP_DIR" && timeout 30 env LC_ALL="$VOLANE_WINE_LOCALE" wine "$E2E_APP_EXE") || status=$?
elapsed_ms=$((($(date +%s%N) - start) / 1000000))
e2e_log "Volane.exe without a command line ended after $elapsed_ms ms with status $status"

watch_status=0
wait "$watcher" || watch_status=$?
[ "$watch_status" -eq 0 ] || e2e_fail "the main window appeared: $(cat "$watch_out")"
e2e_expect_eq "exit status" 0 "$status"
((elapsed_ms < 5000)) || e2e_fail "took $elapsed_ms ms to end"
e2e_pass
