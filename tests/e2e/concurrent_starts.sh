#!/usr/bin/env bash
# Twenty starts at the same moment with no instance running: exactly one instance stays, at
# its start place and pinned, and the nineteen others end within seconds.
source "$(dirname "$0")/lib.sh"
e2e_setup
e2e_warm_up
starts=20
declare -a launchers
# An ended launcher stays a zombie until it is waited for.
alive() { [ -r "/proc/$1/stat" ] && [ "$(awk '{ print $3 }' "/proc/$1/stat")" != Z ]; }
start=$(date +%s%N)
for i in $(seq "$starts"); do
    (cd "$E2E_APP_DIR" && exec env LC_ALL="$VOLANE_WINE_LOCALE" wine "$E2E_APP_EXE" "$E2E_EDITOR") &
    launchers[i]=$!
done
e2e_wait_main 60000 >/dev/null
e2e_tree >/dev/null

# Every launcher but the one of the first instance ends.
deadline=$((SECONDS + 60))
while :; do
    running=0
    for i in $(seq "$starts"); do
        if alive "${launchers[i]}"; then running=$((running + 1)); fi
    done
    ((running <= 1)) && break
    ((SECONDS < deadline)) || e2e_fail "$running starts still run after 60 s"
    sleep 0.2
done
e2e_log "all but one start ended after $((($(date +%s%N) - start) / 1000000)) ms"
e2e_expect_eq "starts still running" 1 "$running"
for i in $(seq "$starts"); do
    if alive "${launchers[i]}"; then
        E2E_LAUNCHER_PID=${launchers[i]}
        continue
    fi
    status=0
    wait "${launchers[i]}" || status=$?
    e2e_expect_eq "exit status of start $i" 0 "$status"
done

e2e_expect_eq "windows with the caption (all, visible)" "1 1" "$(e2e_probe count @main)"
metrics=$(e2e_probe metrics)
cx=$(sed -n 's/^cxscreen=//p' <<<"$metrics")
read -r left top right _ <<<"$(e2e_window_field @main rect)"
width=$((right - left))
e2e_expect_eq "left edge" "$(e2e_px $((cx * 15 - width * 15 - 400)))" "$left"
e2e_expect_eq "top edge" "$(e2e_px 200)" "$top"
e2e_expect_eq "pinned on top" 1 "$(e2e_window_field @main topmost)"
e2e_expect_eq "iconic" 0 "$(e2e_window_field @main iconic)"
# The survivor still works: a second start now hands over and ends.
read -r status ms <<<"$(e2e_second_start "$E2E_EDITOR")"
e2e_expect_eq "a later start's exit status" 0 "$status"
e2e_expect_eq "windows with the caption after a later start" "1 1" "$(e2e_probe count @main)"
e2e_pass
