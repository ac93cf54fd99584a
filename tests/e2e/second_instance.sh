#!/usr/bin/env bash
# A second start hands over to the running instance and ends: the first window comes back
# from wherever the user left it, minimized and unpinned, to its start place, pinned on top.
source "$(dirname "$0")/lib.sh"
e2e_setup
e2e_start_ready
pid=$E2E_PID
start_rect=$(e2e_window_field @main rect)
e2e_expect_eq "pinned on top at start" 1 "$(e2e_window_field @main topmost)"

# Unpin through 文件 > 置顶: 刷新, 置顶, a separator, 退出, 关于
e2e_click $(e2e_menu_bar_first_item)
e2e_probe wait 'class:#32768' 3000 >/dev/null || e2e_fail "the 文件 menu did not open"
e2e_click $(e2e_popup_item TTSTT 1)
e2e_probe gone 'class:#32768' 3000 || e2e_fail "the 文件 menu did not close"
e2e_expect_eq "pinned after 置顶" 0 "$(e2e_window_field @main topmost)"

e2e_probe move @main 40 300 || e2e_fail "could not move the window"
e2e_probe post @main 0x0112 0xF020 || e2e_fail "could not minimize the window" # SC_MINIMIZE
for _ in $(seq 25); do
    [ "$(e2e_window_field @main iconic)" = 1 ] && break
    sleep 0.2
done
e2e_expect_eq "minimized" 1 "$(e2e_window_field @main iconic)"

# The second start, with and then without a command line.
for words in "$E2E_EDITOR" ""; do
    start=$(date +%s%N)
    status=0
    # shellcheck disable=SC2086
    (cd "$E2E_APP_DIR" && timeout 30 env LC_ALL="$VOLANE_WINE_LOCALE" wine "$E2E_APP_EXE" $words) ||
        status=$?
    elapsed_ms=$((($(date +%s%N) - start) / 1000000))
    e2e_log "second start [$words] ended after $elapsed_ms ms with status $status"
    e2e_expect_eq "second start's exit status" 0 "$status"
    ((elapsed_ms < 5000)) || e2e_fail "the second start took $elapsed_ms ms to end"
    e2e_expect_eq "process of the main window" "$pid" "$(e2e_window_field @main pid)"
    e2e_expect_eq "minimized after the second start" 0 "$(e2e_window_field @main iconic)"
    e2e_expect_eq "place after the second start" "$start_rect" "$(e2e_window_field @main rect)"
    e2e_expect_eq "pinned after the second start" 1 "$(e2e_window_field @main topmost)"
    e2e_probe post @main 0x0112 0xF020 >/dev/null
    sleep 0.5
done
e2e_pass
