#!/usr/bin/env bash
# 退出 in the 文件 menu, chosen with real clicks, closes the window and ends the process.
source "$(dirname "$0")/lib.sh"
e2e_setup
e2e_start_ready
pid=$E2E_PID

e2e_click $(e2e_menu_bar_first_item)
e2e_probe wait 'class:#32768' 3000 >/dev/null ||
    e2e_fail "the 文件 menu did not open"
# 刷新, 置顶, a separator, 退出, 关于
e2e_click $(e2e_popup_item TTSTT 3)
code=$(e2e_wait_exit "$pid" 10000) || e2e_fail "the process still runs after 退出"
e2e_log "process $pid ended with exit code $code"
e2e_probe gone @main 1000 || e2e_fail "the main window is still there"
e2e_pass
