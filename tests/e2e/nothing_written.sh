#!/usr/bin/env bash
# A whole session writes nothing into the program's folder or into the folders it lists:
# start, listing, opening a file, the popup's 刷新, 收起 and 展开, About and Esc, a second start
# and 退出, with both trees read-only and watched by inotify. Wine runs as root here, where the
# read-only bits stop nothing, so the watch is what tells.
source "$(dirname "$0")/lib.sh"
e2e_setup
e2e_only_default_drives
work=$E2E_PREFIX/drive_c/work
mkdir -p "$work/sub"
echo '<?php' >"$work/a.php"
echo 'x' >"$work/sub/b.txt"
# The editor records its command line outside the watched trees.
mkdir -p "$E2E_PREFIX/drive_c/records"
export VOLANE_RECORD='C:\records\record.log'
E2E_RECORD=$E2E_PREFIX/drive_c/records/record.log
chmod -R a-w "$E2E_APP_DIR" "$work"
restore_modes() { chmod -R u+w "$E2E_APP_DIR" "$work" 2>/dev/null || true; }

events=$E2E_PREFIX/inotify.events
inotifywait -m -r -q -e create,modify,delete,move,attrib --format '%w%f %e' \
    "$E2E_APP_DIR" "$work" >"$events" 2>"$E2E_PREFIX/inotify.err" &
watcher=$!
on_exit() {
    local status=$?
    kill "$watcher" 2>/dev/null || true
    restore_modes
    # e2e_cleanup takes the test's status from $?.
    if [ "$status" -eq 0 ]; then e2e_cleanup; else (exit "$status") || e2e_cleanup; fi
}
trap on_exit EXIT
# inotifywait -q prints nothing once the watches stand; a touch outside the trees cannot tell
# either, so a touch of a marker inside one, removed at once, does.
marker=$E2E_APP_DIR/.watch-ready
for _ in $(seq 50); do
    touch "$marker" 2>/dev/null
    grep -q 'watch-ready' "$events" && break
    sleep 0.1
done
grep -q 'watch-ready' "$events" || e2e_fail "inotifywait did not start"
rm -f "$marker"
sleep 0.3
: >"$events"

e2e_start_volane "$E2E_EDITOR"
e2e_wait_main >/dev/null
pid=$(e2e_main_pid)
e2e_double_click $(e2e_node_point "$(e2e_wait_node '本地磁盘(C)')")
e2e_double_click $(e2e_node_point "$(e2e_wait_node work)")
e2e_double_click $(e2e_node_point "$(e2e_wait_node a.php)")
for _ in $(seq 50); do
    [ -s "$E2E_RECORD" ] && break
    sleep 0.2
done
e2e_expect_eq "editor command line" "$E2E_EDITOR C:\\work\\a.php" "$(tr -d '\r' <"$E2E_RECORD" 2>/dev/null)"

# 刷新 from the tree's popup: 刷新, 置顶, a separator, 退出, 关于
read -r left _ _ bottom <<<"$(e2e_window_field @main client)"
xdotool mousemove $((left + 60)) $((bottom - 120)) click 3
e2e_probe wait 'class:#32768' 3000 >/dev/null || e2e_fail "a right click opened no menu"
e2e_click $(e2e_popup_item TTSTT 0)
e2e_wait_node '本地磁盘(C)' >/dev/null

start_rect=$(e2e_window_field @main rect)
read -r l t _ <<<"$start_rect"
e2e_collapse "$l $t $((l + $(e2e_px 3700))) $((t + $(e2e_px 880)))"
e2e_click $(e2e_bar_item 展开)
e2e_wait_field @main rect "$start_rect" 5

about="关于 $(e2e_app_title)"
e2e_click $(e2e_bar_item 文件)
e2e_probe wait 'class:#32768' 3000 >/dev/null || e2e_fail "the 文件 menu did not open"
e2e_click $(e2e_popup_item TTSTT 4)
e2e_probe wait "$about" 5000 >/dev/null || e2e_fail "no About box"
e2e_wait_field "$about" foreground 1 5
xdotool key Escape
e2e_probe gone "$about" 3000 || e2e_fail "Esc did not close the About box"

read -r status _ <<<"$(e2e_second_start "$E2E_EDITOR")"
e2e_expect_eq "second start's exit status" 0 "$status"

e2e_click $(e2e_bar_item 文件)
e2e_probe wait 'class:#32768' 3000 >/dev/null || e2e_fail "the 文件 menu did not open"
e2e_click $(e2e_popup_item TTSTT 3)
e2e_wait_exit "$pid" 10000 >/dev/null || e2e_fail "the process still runs after 退出"
volane_wine_kill "$E2E_PREFIX"
sleep 0.5
kill "$watcher" 2>/dev/null || true
wait "$watcher" 2>/dev/null || true
[ ! -s "$events" ] || e2e_fail "written during the session:"$'\n'"$(cat "$events")"
e2e_pass
