#!/usr/bin/env bash
# Messages 1025 from another process: ten thousand with random wParam and lParam, none of them
# 4001, change nothing on a collapsed window; one with 4001 restores it; a thousand restores
# in a row leave it restored and the process running.
source "$(dirname "$0")/lib.sh"
e2e_setup
e2e_start_ready
pid=$E2E_PID
start_rect=$(e2e_window_field @main rect)
read -r left top _ <<<"$start_rect"
strip="$left $top $((left + $(e2e_px 3700))) $((top + $(e2e_px 880)))"
e2e_collapse "$strip"

start=$(date +%s%N)
delivered=$(e2e_probe storm @main 10000 "$RANDOM") || e2e_fail "the storm was not delivered: $delivered"
e2e_log "10000 messages 1025 delivered in $((($(date +%s%N) - start) / 1000000)) ms"
e2e_expect_eq "rectangle after the storm" "$strip" "$(e2e_window_field @main rect)"
e2e_expect_eq "menu after the storm" "文件 展开 | 刷新=0 置顶=1 退出=0 关于=0" "$(e2e_menu_state)"

e2e_probe send @main 1025 4001 >/dev/null || e2e_fail "the restore message was not delivered"
e2e_expect_eq "rectangle after 4001" "$start_rect" "$(e2e_window_field @main rect)"
e2e_expect_eq "menu after 4001" "文件 收起 | 刷新=0 置顶=1 退出=0 关于=0" "$(e2e_menu_state)"

e2e_collapse "$strip"
start=$(date +%s%N)
delivered=$(e2e_probe repeat @main 1000 1025 4001) || e2e_fail "restores not delivered: $delivered"
e2e_log "1000 restores delivered in $((($(date +%s%N) - start) / 1000000)) ms"
e2e_expect_eq "rectangle after 1000 restores" "$start_rect" "$(e2e_window_field @main rect)"
e2e_expect_eq "menu after 1000 restores" "文件 收起 | 刷新=0 置顶=1 退出=0 关于=0" "$(e2e_menu_state)"
e2e_expect_eq "process of the main window" "$pid" "$(e2e_window_field @main pid)"
e2e_expect_eq "windows with the caption (all, visible)" "1 1" "$(e2e_probe count @main)"
e2e_expect_eq "iconic" 0 "$(e2e_window_field @main iconic)"
e2e_pass
