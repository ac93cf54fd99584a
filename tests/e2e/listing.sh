#!/usr/bin/env bash
# Listing and opening by double-click and Enter: the editor started minimized with "<editor>
# <path>", Unicode intact; the popup at the pointer, its 刷新 and 退出; nothing written meanwhile.
source "$(dirname "$0")/lib.sh"
e2e_setup
work=$E2E_PREFIX/drive_c/work
mkdir -p "$work/sub"
for f in sub/c.css a.php 한국어.txt b.zip; do echo x >"$work/$f"; done
inotifywait -m -r -e create,modify,delete,move,attrib --format '%w%f %e' "$E2E_APP_DIR" "$work" \
    >"$E2E_PREFIX/written" 2>"$E2E_PREFIX/inotify" &
e2e_until 10 grep -q 'Watches established' "$E2E_PREFIX/inotify" || e2e_fail "inotifywait did not start"

e2e_start_ready
e2e_double_click "$(e2e_node '本地磁盘(C)')"
e2e_double_click "$(e2e_node work)"
e2e_node 한국어.txt >/dev/null
tree=$(e2e_shape)
e2e_expect_eq "work listed (depth, picture, expanded, children)" "$(printf '1\t2\t1\t3\twork')" \
    "$(awk -F'\t' '$5 == "work"' <<<"$tree")"

# Each start is a process of its own, which records when it runs: the next double-click waits
# for the start before it, so the record keeps their order.
recorded() { grep -qF "$1" "$E2E_RECORD" 2>/dev/null; }
for file in a.php 한국어.txt; do
    e2e_double_click "$(e2e_node "$file")"
    e2e_until 10 recorded "$file" || e2e_fail "no editor start for $file"
done
e2e_wait_eq "editor starts (show value, command line)" \
    "$(printf '2\t%s %s\n' "$E2E_EDITOR" 'C:\work\a.php' "$E2E_EDITOR" 'C:\work\한국어.txt')" \
    cat "$E2E_RECORD"
e2e_expect_eq "tree after opening files" "$tree" "$(e2e_shape)"

# A double-click on work, then a right click; the popup shows that both have been handled.
read -r x y <<<"$(e2e_node work)"
e2e_double_click "$x $y"
e2e_click "$x $y" 3
e2e_shown 'class:#32768'
e2e_expect_eq "tree after a double-click on work" "${tree/$'1\t2\t1\t3\twork'/$'1\t2\t0\t3\twork'}" "$(e2e_shape)"
read -r left top _ <<<"$(e2e_window_field 'class:#32768' rect)"
((left - x <= 3 && x - left <= 3 && top - y <= 3 && y - top <= 3)) ||
    e2e_fail "the popup at $left,$top is not at the pointer $x,$y"
e2e_menu 4
roots=$(printf '0\t1\t0\t0\t%s\n' '本地磁盘(C)' '本地磁盘(Z)')
e2e_wait_eq "tree after 刷新" "$roots" e2e_shape

# work found by typing its name, as the tree's incremental search does.
e2e_click "$(e2e_node '本地磁盘(C)')" && xdotool key Return
e2e_node work >/dev/null && xdotool type --delay 50 work && xdotool key Return
e2e_click "$(e2e_node a.php)" && xdotool key Return
e2e_wait_eq "editor start by Enter" "$(printf '2\t%s C:\\work\\a.php' "$E2E_EDITOR")" tail -n 1 "$E2E_RECORD"
e2e_file_menu 2
e2e_wait_exit "$E2E_LAUNCHER_PID" 10 || e2e_fail "退出 did not end Volane"
e2e_expect_eq "exit status after 退出" 0 "$E2E_STATUS"
: >"$work/.end" # inotifywait has written out every event before the one of this file
e2e_until 5 grep -q '/\.end CREATE' "$E2E_PREFIX/written" || e2e_fail "inotifywait reports nothing"
e2e_expect_eq "written into the program's folder or the listed tree" "" \
    "$(grep -v '/\.end ' "$E2E_PREFIX/written")"
