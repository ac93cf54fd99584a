#!/usr/bin/env bash
# Second start: message 1025 with wParam 4001 and the address of a zero, answered before it ends;
# five starts at once leave one instance; a later start brings the window back.
source "$(dirname "$0")/lib.sh"
e2e_setup
volane_wine "$PROBE_EXE" host >"$E2E_PREFIX/host" &
host=$!
e2e_probe wait @main 20000 >/dev/null || e2e_fail "the first instance's stand-in did not show"
e2e_run_volane "$E2E_EDITOR"
e2e_expect_eq "what the first instance got before the second start ended" \
    "$(printf '1025 4001 address\nanswered')" "$(cat "$E2E_PREFIX/host")"
e2e_wait_exit "$host" 10 || e2e_fail "the first instance's stand-in did not end"
e2e_name_free
launchers=()
for _ in 1 2 3 4 5; do e2e_start_volane "$E2E_EDITOR" && launchers+=("$E2E_LAUNCHER_PID"); done
e2e_shown @main
one_left() {
    local pid left=0
    for pid in "${launchers[@]}"; do e2e_ended "$pid" || left=$((left + 1)); done
    ((left <= 1))
}
e2e_until 20 one_left || e2e_fail "more than one of five starts at once still runs"
for pid in "${launchers[@]}"; do
    if e2e_ended "$pid"; then wait "$pid" || e2e_fail "a start ended with status $?"; else E2E_LAUNCHER_PID=$pid; fi
done
e2e_expect_eq "main windows after five starts at once" 1 "$(e2e_probe list Volane.frmMain | grep -c '^window')"
home=$(e2e_window_field @main rect)
# 收起 (WM_COMMAND 1004): a strip where the window stood.
e2e_probe send @main 0x111 1004 || e2e_fail "could not send WM_COMMAND 1004"
e2e_wait_field @main rect "1009 13 1256 72"
e2e_run_volane "$E2E_EDITOR"
# Wine may still be applying X events of the maximized state that the restore passes through.
e2e_wait_field @main rect "$home"
