#!/usr/bin/env bash
# Listing and opening. Double-clicks on a drive and a folder list them, with the files whose
# extension setup.ini names (a UTF-8 file, with a Chinese extension). One on a file starts the
# editor minimized with "<editor> <path>", Unicode intact, and leaves the tree as it was; one
# beside a node lists nothing, even with an unlisted folder selected; one on a listed folder closes it, listing
# nothing again. A right click opens the popup at the pointer; its 刷新 leaves the drive roots,
# 退出 ends Volane. Enter, Shift+F10, Esc and F5 do the same from the keyboard. A folder held by
# another program says why in a box, and the main window takes no input meanwhile: a
# double-click on an unlisted folder lists it only once the box is closed. Nothing is written
# into the program's folder or the listed tree meanwhile.
source "$(dirname "$0")/lib.sh"
e2e_setup
work=$E2E_PREFIX/drive_c/work
mkdir -p "$work/sub" "$E2E_PREFIX/drive_c/held"
for f in sub/c.css a.php Main.PHP jquery.min.js 'a b.txt' 한국어.txt 说明.文本 b.zip b.xml a.ph; do echo x >"$work/$f"; done
# With a byte order mark the profile is read as UTF-8; 文本 is in the ANSI code page 936. Case
# does not matter in the list either.
printf '\xef\xbb\xbf[setup]\r\nfileTypes=html;htm;css;js;php;txt;文本;ZIP;\r\n' >"$E2E_APP_DIR/setup.ini"
inotifywait -m -r -e create,modify,delete,move,attrib --format '%w%f %e' "$E2E_APP_DIR" "$work" \
    >"$E2E_PREFIX/written" 2>"$E2E_PREFIX/inotify" &
e2e_until 10 grep -q 'Watches established' "$E2E_PREFIX/inotify" || e2e_fail "inotifywait did not start"

e2e_start_ready
e2e_double_click "$(e2e_node '本地磁盘(C)')"
e2e_double_click "$(e2e_node work)"
e2e_node 说明.文本 >/dev/null
tree=$(e2e_shape)

# Each start is a process of its own, which records when it runs: the next double-click waits
# for the start before it, so the record keeps their order.
recorded() {
    local lines
    lines=$(grep -c '' "$E2E_RECORD" 2>/dev/null)
    [ "${lines:-0}" -ge "$1" ]
}
starts=0
for file in a.php 한국어.txt; do
    e2e_double_click "$(e2e_node "$file")"
    starts=$((starts + 1))
    e2e_until 10 recorded "$starts" || e2e_fail "no editor start for $file"
done
e2e_wait_eq "editor starts (show value, command line)" \
    "$(printf '2\t%s %s\n' "$E2E_EDITOR" 'C:\work\a.php' "$E2E_EDITOR" 'C:\work\한국어.txt')" \
    cat "$E2E_RECORD"
e2e_expect_eq "tree after opening files" "$tree" "$(e2e_shape)"

# sub selected, then a double-click on its row beside the label; then one on work. The popup
# that the right click opens next shows that both have been handled.
read -r x y <<<"$(e2e_node sub)"
e2e_click "$x $y"
read -r _ _ right _ <<<"$(e2e_window_field @main client)"
e2e_double_click "$((right - 20)) $y"
read -r x y <<<"$(e2e_node work)"
e2e_double_click "$x $y"
e2e_right_click "$x $y"
e2e_shown 'class:#32768'
e2e_expect_eq "tree after double-clicks beside sub and on work" \
    "${tree/$'1\t2\t1\t8\twork'/$'1\t2\t0\t8\twork'}" "$(e2e_shape)"
read -r left top _ <<<"$(e2e_window_field 'class:#32768' rect)"
((left - x <= 3 && x - left <= 3 && top - y <= 3 && y - top <= 3)) ||
    e2e_fail "the popup at $left,$top is not at the pointer $x,$y"
e2e_menu 0
roots=$(printf '0\t1\t0\t0\t%s\n' '本地磁盘(C)' '本地磁盘(Z)')
e2e_wait_eq "tree after 刷新" "$roots" e2e_shape

# The keyboard: Enter on a selected drive and folder lists them and on a file opens it, as a
# double-click does; Shift+F10 opens the popup below the selected label, Esc closes it; F5
# refreshes.
for node in '本地磁盘(C)' work a.php; do
    e2e_click "$(e2e_node "$node")"
    xdotool key Return
done
e2e_wait_eq "editor start by Enter" "$(printf '2\t%s C:\\work\\a.php' "$E2E_EDITOR")" tail -n 1 "$E2E_RECORD"
read -r x y <<<"$(e2e_node a.php)"
xdotool key shift+F10
e2e_shown 'class:#32768'
read -r left top _ <<<"$(e2e_window_field 'class:#32768' rect)"
((left < x && top > y && top - y < 20)) || e2e_fail "the popup at $left,$top is not below a.php at $x,$y"
xdotool key Escape
e2e_probe gone 'class:#32768' 3000 || e2e_fail "Esc did not close the popup"
xdotool key F5
e2e_wait_eq "tree after F5" "$roots" e2e_shape

e2e_probe hold 'C:\held' || e2e_fail "the probe cannot hold C:\held"
e2e_double_click "$(e2e_node '本地磁盘(C)')"
e2e_double_click "$(e2e_node held)"
box='class:#32770'
e2e_shown "$box"
# The box's controls, a line each: class, text, rectangle.
controls=$(e2e_probe list '#32770' | awk -F'\t' '$1 == "child" { print $2 "\t" $5 "\t" $4 }')
e2e_expect_eq "box of the held folder: caption, text" "提示： 共享冲突。" \
    "$(e2e_window_field "$box" caption) $(awk -F'\t' '$1 == "Static" && $2 { print $2 }' <<<"$controls")"
# The click on 确定 comes after the double-click: the box is closed once the window has seen it.
read -r l t r b <<<"$(awk -F'\t' '$1 == "Button" { print $3 }' <<<"$controls")"
e2e_double_click "$(e2e_node work)"
e2e_click "$(((l + r) / 2)) $(((t + b) / 2))"
e2e_probe gone "$box" 5000 || e2e_fail "a click on 确定 did not close the box of the held folder"
e2e_probe release || e2e_fail "the probe held nothing"
e2e_expect_eq "work after a double-click under the box (depth, picture, expanded, children)" \
    "$(printf '1\t2\t0\t0\twork')" "$(e2e_shape | awk -F'\t' '$5 == "work"')"
e2e_double_click "$(e2e_node work)"
e2e_node a.php >/dev/null

e2e_file_menu 3
e2e_wait_exit "$E2E_LAUNCHER_PID" 10 || e2e_fail "退出 did not end Volane"
e2e_expect_eq "exit status after 退出" 0 "$E2E_STATUS"
: >"$work/.end" # inotifywait has written out every event before the one of this file
e2e_until 5 grep -q '/\.end CREATE' "$E2E_PREFIX/written" || e2e_fail "inotifywait reports nothing"
e2e_expect_eq "written into the program's folder or the listed tree" "" \
    "$(grep -v '/\.end ' "$E2E_PREFIX/written")"
