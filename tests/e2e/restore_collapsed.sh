#!/usr/bin/env bash
# A second start, with or without a command line, brings a collapsed first instance back
# expanded, 收起 on its menu bar, and ends without a window of its own. Ten second starts at
# once leave the one first instance, restored, and all ten end.
source "$(dirname "$0")/lib.sh"
e2e_setup
e2e_start_ready
pid=$E2E_PID
start_rect=$(e2e_window_field @main rect)
read -r left top _ <<<"$start_rect"
strip="$left $top $((left + $(e2e_px 3700))) $((top + $(e2e_px 880)))"
restored="文件 收起 | 刷新=0 置顶=1 退出=0 关于=0"

expect_restored() {
    e2e_wait_field @main rect "$start_rect" 5
    e2e_expect_eq "process of the main window" "$pid" "$(e2e_window_field @main pid)"
    e2e_expect_eq "menu after $1" "$restored" "$(e2e_menu_state)"
    e2e_expect_eq "pinned after $1" 1 "$(e2e_window_field @main topmost)"
    e2e_expect_eq "windows with the caption after $1 (all, visible)" "1 1" \
        "$(e2e_probe count @main)"
}

for words in "$E2E_EDITOR" ""; do
    e2e_collapse "$strip"
    read -r status ms <<<"$(e2e_second_start $words)"
    e2e_log "second start [$words] ended after $ms ms with status $status"
    e2e_expect_eq "second start's exit status" 0 "$status"
    ((ms < 5000)) || e2e_fail "the second start took $ms ms to end"
    expect_restored "a second start [$words]"
done

e2e_collapse "$strip"
out=$E2E_PREFIX/starts
mkdir -p "$out"
start=$(date +%s%N)
declare -a starters
for i in $(seq 10); do
    (e2e_second_start "$E2E_EDITOR" >"$out/$i") &
    starters[i]=$!
done
for i in $(seq 10); do wait "${starters[i]}"; done
e2e_log "ten second starts ended after $((($(date +%s%N) - start) / 1000000)) ms"
for i in $(seq 10); do
    read -r status ms <"$out/$i"
    e2e_expect_eq "exit status of second start $i" 0 "$status"
done
expect_restored "ten second starts"
e2e_pass
