#!/usr/bin/env bash
# The main window stands where its designed measures put it at 96 DPI: the designed client
# width inside the frame, 400 twips left of the screen's right edge, 200 twips from the top,
# 800 twips shorter than the screen; pinned on top with 置顶 checked. 置顶 flips the pinning
# and its check mark; 收起 leaves a 3700 by 880 twip strip at the same top left corner, and
# 展开 gives back the size before.
source "$(dirname "$0")/lib.sh"
e2e_setup
e2e_start_volane "$E2E_EDITOR"
e2e_wait_main >/dev/null
e2e_tree >/dev/null

metrics=$(e2e_probe metrics)
cx=$(sed -n 's/^cxscreen=//p' <<<"$metrics")
cy=$(sed -n 's/^cyscreen=//p' <<<"$metrics")
read -r fl ft fr fb <<<"$(e2e_probe frame @main | sed -n 's/^frame=//p')"
e2e_log "screen ${cx}x$cy, frame $fl $ft $fr $fb"
width=$(($(e2e_px 3540) + fl + fr))
left=$(e2e_px $((cx * 15 - width * 15 - 400)))
top=$(e2e_px 200)
height=$(e2e_px $((cy * 15 - 800)))
start_rect="$left $top $((left + width)) $((top + height))"
e2e_log "expected start rectangle $start_rect"
e2e_expect_eq "outer rectangle at start" "$start_rect" "$(e2e_window_field @main rect)"
read -r cl _ cr _ <<<"$(e2e_window_field @main client)"
e2e_expect_eq "client width" "$(e2e_px 3540)" "$((cr - cl))"
e2e_expect_eq "pinned on top" 1 "$(e2e_window_field @main topmost)"
e2e_expect_eq "menu at start" "文件 收起 | 刷新=0 置顶=1 退出=0 关于=0" "$(e2e_menu_state)"

# 置顶 twice through the 文件 menu: 刷新, 置顶, a separator, 退出, 关于
for expected in 0 1; do
    e2e_click $(e2e_bar_item 文件)
    e2e_probe wait 'class:#32768' 3000 >/dev/null || e2e_fail "the 文件 menu did not open"
    e2e_click $(e2e_popup_item TTSTT 1)
    e2e_probe gone 'class:#32768' 3000 || e2e_fail "the 文件 menu did not close"
    e2e_wait_field @main topmost "$expected" 3
    e2e_expect_eq "menu after 置顶" "文件 收起 | 刷新=0 置顶=$expected 退出=0 关于=0" \
        "$(e2e_menu_state)"
done
e2e_expect_eq "place after 置顶 twice" "$start_rect" "$(e2e_window_field @main rect)"

strip="$left $top $((left + $(e2e_px 3700))) $((top + $(e2e_px 880)))"
e2e_collapse "$strip"
e2e_expect_eq "menu when collapsed" "文件 展开 | 刷新=0 置顶=1 退出=0 关于=0" "$(e2e_menu_state)"
e2e_expect_eq "pinned when collapsed" 1 "$(e2e_window_field @main topmost)"

e2e_click $(e2e_bar_item 展开)
e2e_wait_field @main rect "$start_rect" 5
e2e_expect_eq "menu when expanded" "文件 收起 | 刷新=0 置顶=1 退出=0 关于=0" "$(e2e_menu_state)"
e2e_pass
