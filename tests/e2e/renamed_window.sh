#!/usr/bin/env bash
# While the running instance shows no window with the main caption, a second start finds no
# one to hand over to: it sends nothing, opens no window of its own and ends at once.
source "$(dirname "$0")/lib.sh"
e2e_setup
e2e_start_ready
pid=$E2E_PID
read -r left top _ <<<"$(e2e_window_field @main rect)"
strip="$left $top $((left + $(e2e_px 3700))) $((top + $(e2e_px 880)))"
# Collapsed, so that a restore that got through would show.
e2e_collapse "$strip"
hwnd=$(e2e_window_field @main hwnd)
e2e_probe settext @main "renamed by the test" || e2e_fail "could not rename the main window"
e2e_probe gone @main 2000 || e2e_fail "a window with the main caption is still there"

for words in "$E2E_EDITOR" ""; do
    watch_out=$E2E_PREFIX/watch.out
    e2e_probe watch @main 2500 >"$watch_out" &
    watcher=$!
    read -r status ms <<<"$(e2e_second_start $words)"
    e2e_log "second start [$words] ended after $ms ms with status $status"
    e2e_expect_eq "second start's exit status" 0 "$status"
    ((ms < 5000)) || e2e_fail "the second start took $ms ms to end"
    watch_status=0
    wait "$watcher" || watch_status=$?
    [ "$watch_status" -eq 0 ] || e2e_fail "a window with the main caption appeared: $(cat "$watch_out")"
    e2e_expect_eq "first instance still collapsed" "$strip" "$(e2e_window_field "$hwnd" rect)"
    e2e_expect_eq "process of the renamed window" "$pid" "$(e2e_window_field "$hwnd" pid)"
    e2e_expect_eq "menu of the renamed window" "文件 展开 | 刷新=0 置顶=1 退出=0 关于=0" \
        "$(e2e_menu_state "$hwnd")"
done
e2e_pass
