#!/usr/bin/env bash
# Screenshots of the main window with a listed folder and of the About box, as Wine draws them
# with the Chinese locale and its own captions; the test checks that each shows content where
# it must. `screenshots.sh --write` also saves them as docs/screenshots/main.png and about.png.
source "$(dirname "$0")/lib.sh"
write=0
[ "${1:-}" = --write ] && write=1
e2e_setup
e2e_only_default_drives
work=$E2E_PREFIX/drive_c/work
mkdir -p "$work/css" "$work/js" "$work/图片"
for f in index.html about.htm style.css app.js notes.txt main.php; do echo x >"$work/$f"; done
shots=$E2E_PREFIX/shots
mkdir -p "$shots"

# Crops the screen rectangle "left top right bottom" out of the screenshot SHOT into OUT.
crop() {
    local shot=$1 out=$2
    read -r l t r b <<<"$3"
    convert "$shot" -crop "$((r - l))x$((b - t))+$l+$t" +repage "$out"
}
# Pixels of IMAGE inside the rectangle, relative to the image, that differ from COLOUR.
pixels_unlike() {
    local image=$1 colour=$2
    read -r l t r b <<<"$3"
    convert "$image" -crop "$((r - l))x$((b - t))+$l+$t" +repage -fill black +opaque "$colour" \
        -fill white -opaque "$colour" -negate -format '%[fx:int(mean*w*h+0.5)]' info:
}
colours() {
    local image=$1
    read -r l t r b <<<"$2"
    convert "$image" -crop "$((r - l))x$((b - t))+$l+$t" +repage -format '%k' info:
}
# A screen rectangle made relative to the window's rectangle WIN.
relative() {
    read -r l t r b <<<"$1"
    read -r wl wt _ _ <<<"$2"
    echo "$((l - wl)) $((t - wt)) $((r - wl)) $((b - wt))"
}

e2e_start_volane "$E2E_EDITOR"
e2e_wait_main >/dev/null
e2e_double_click $(e2e_node_point "$(e2e_wait_node '本地磁盘(C)')")
e2e_double_click $(e2e_node_point "$(e2e_wait_node work)")
e2e_wait_node main.php >/dev/null
xdotool mousemove 0 0
# Waits until the last node has been painted: Wine draws after the tree has changed.
main_rect=$(e2e_window_field @main rect)
tree=$(e2e_tree)
read -r tcl tct tcr tcb <<<"$(e2e_window_field @main client)"
for _ in $(seq 20); do
    import -window root "$shots/screen-main.png"
    crop "$shots/screen-main.png" "$shots/main.png" "$main_rect"
    y=$(awk -F'\t' '$9 == "main.php" { print $8 }' <<<"$tree")
    row=$(relative "$tcl $((y - 6)) $tcr $((y + 6))" "$main_rect")
    (($(pixels_unlike "$shots/main.png" white "$row") > 20)) && break
    sleep 0.2
done

# Every row of a listed node carries a picture and a name; the tree's empty rows are white.
while IFS=$'\t' read -r depth _ _ _ _ _ x y text; do
    [ "$y" = - ] && continue
    row=$(relative "$tcl $((y - 6)) $tcr $((y + 6))" "$main_rect")
    n=$(pixels_unlike "$shots/main.png" white "$row")
    e2e_log "row of [$text] (depth $depth): $n pixels that are not white"
    ((n > 20)) || e2e_fail "the row of $text shows $n non-white pixels"
done <<<"$tree"
last_y=$(tail -n1 <<<"$tree" | cut -f8)
e2e_expect_eq "non-white pixels below the last node" 0 \
    "$(pixels_unlike "$shots/main.png" white "$(relative "$((tcl + 2)) $((last_y + 40)) $((tcr - 2)) $((tcb - 4))" "$main_rect")")"
caption=$(relative "$(e2e_window_field @main titlebar)" "$main_rect")
(($(colours "$shots/main.png" "$caption") > 8)) || e2e_fail "the caption bar of the main window is plain"

# The About box, opened from 文件 > 关于: 刷新, 置顶, a separator, 退出, 关于
about="关于 $(e2e_app_title)"
e2e_click $(e2e_bar_item 文件)
e2e_probe wait 'class:#32768' 3000 >/dev/null || e2e_fail "the 文件 menu did not open"
e2e_click $(e2e_popup_item TTSTT 4)
e2e_probe wait "$about" 5000 >/dev/null || e2e_fail "no About box"
xdotool mousemove 0 0
about_rect=$(e2e_window_field "$about" rect)
controls=$(e2e_probe list "$(e2e_window_field "$about" class)")
control_rect() { awk -F'\t' -v c="$1" -v t="$2" '/^  child/ && $3 == c && (t == "" || $7 == t) { print $6; exit }' <<<"$controls"; }
picture=$(relative "$(control_rect Volane.PictureBox '')" "$about_rect")
title_label=$(relative "$(control_rect Static "$(e2e_app_title)")" "$about_rect")
ok_button=$(relative "$(control_rect Button 确定)" "$about_rect")
for _ in $(seq 20); do
    import -window root "$shots/screen-about.png"
    crop "$shots/screen-about.png" "$shots/about.png" "$about_rect"
    (($(colours "$shots/about.png" "$picture") > 4)) && break
    sleep 0.2
done
for part in picture title_label ok_button; do
    n=$(colours "$shots/about.png" "${!part}")
    e2e_log "About $part: $n colours"
    ((n > 4)) || e2e_fail "the About box's $part shows $n colours"
done
caption=$(relative "$(e2e_window_field "$about" titlebar)" "$about_rect")
(($(colours "$shots/about.png" "$caption") > 8)) || e2e_fail "the About box's caption bar is plain"
xdotool key Escape
e2e_probe gone "$about" 3000 || e2e_fail "Esc did not close the About box"

if [ "$write" = 1 ]; then
    mkdir -p "$VOLANE_ROOT/docs/screenshots"
    cp "$shots/main.png" "$shots/about.png" "$VOLANE_ROOT/docs/screenshots/"
    e2e_log "wrote docs/screenshots/main.png and about.png"
fi
e2e_pass
