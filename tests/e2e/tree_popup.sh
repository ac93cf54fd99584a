#!/usr/bin/env bash
# A left click on the tree opens nothing; a right click opens the 文件 menu at the pointer, and
# its 退出 ends the process.
source "$(dirname "$0")/lib.sh"
e2e_setup
e2e_start_ready
pid=$E2E_PID

# A point in the empty part of the tree, well below the drive roots.
read -r left _ _ bottom <<<"$(e2e_window_field @main client)"
x=$((left + 60))
y=$((bottom - 120))

e2e_click "$x" "$y"
e2e_probe watch 'class:#32768' 1000 >/dev/null || e2e_fail "a left click opened a menu"

e2e_right_click "$x" "$y"
e2e_probe wait 'class:#32768' 3000 >/dev/null || e2e_fail "a right click opened no menu"
read -r -a rect <<<"$(e2e_probe list '#32768' | grep -m1 $'^window\t' | cut -f5)"
e2e_log "pointer $x $y, popup at ${rect[*]}"
# The menu's top left corner is where the pointer is, give or take the tree's border.
((rect[0] >= x - 3 && rect[0] <= x + 3 && rect[1] >= y - 3 && rect[1] <= y + 3)) ||
    e2e_fail "the popup at ${rect[0]},${rect[1]} is not at the pointer $x,$y"

# 刷新, 置顶, a separator, 退出, 关于
e2e_click $(e2e_popup_item TTSTT 3)
code=$(e2e_wait_exit "$pid" 10000) || e2e_fail "the process still runs after 退出 in the popup"
e2e_log "process $pid ended with exit code $code"
e2e_pass
