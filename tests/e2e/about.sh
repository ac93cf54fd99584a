#!/usr/bin/env bash
# 关于, from the menu bar and from the tree's popup, opens the About box modal: the main window
# takes no input meanwhile. The box shows the title, the version and its designed texts;
# Alt+S without System Information registered shows "此时系统信息不可用" and keeps the box;
# Esc closes it, and so does a click on the picture.
source "$(dirname "$0")/lib.sh"
e2e_setup
title=$(e2e_app_title)
[ -n "$title" ] || e2e_fail "no application title in identity.h"
about="关于 $title"
# System Information is looked for at two places in the registry; neither may be there.
for key in 'Shared Tools\MSINFO' 'Shared Tools Location'; do
    volane_wine reg delete "HKLM\\SOFTWARE\\Microsoft\\$key" /f >/dev/null 2>&1 || true
    if volane_wine reg query "HKLM\\SOFTWARE\\Microsoft\\$key" >/dev/null 2>&1; then
        e2e_fail "HKLM\\SOFTWARE\\Microsoft\\$key is still there"
    fi
done
e2e_start_ready
pid=$E2E_PID

# 文件 > 关于: 刷新, 置顶, a separator, 退出, 关于
e2e_click $(e2e_bar_item 文件)
e2e_probe wait 'class:#32768' 3000 >/dev/null || e2e_fail "the 文件 menu did not open"
e2e_click $(e2e_popup_item TTSTT 4)
e2e_probe wait "$about" 5000 >/dev/null || e2e_fail "no About box after 文件 > 关于"
e2e_expect_eq "main window enabled under the About box" 0 "$(e2e_window_field @main enabled)"
e2e_expect_eq "About box's process" "$pid" "$(e2e_window_field "$about" pid)"

# The controls with class and text, in a fixed order: the system may restack them.
description='编写本工具，是为了弥补编辑器自带的文件夹树在选择要编辑的文件时的不足。作者一直没有改进它，而编辑器又是我日常工作中用得最多的工具，于是写了这个小程序，免费送给编辑器的广大用户们，希望方便大家日常使用。'
web=$(sed -n 's/^#define VOLANE_WEB_ADDRESS "\(.*\)"$/\1/p' "$VOLANE_ROOT/resources/identity.h")
controls=$(e2e_probe list "$(e2e_window_field "$about" class)" | awk -F'\t' '/^  child/ { print $3 "\t" $7 }' | LC_ALL=C sort)
e2e_log "About controls:"$'\n'"$controls"
expected=$(printf '%s\t%s\n' Volane.PictureBox '' Button '确定' Button '系统信息(&S)...' Static "$description" \
    Static "$title" Static '版本 1.0.64' Static "检查最新版本：$web" | LC_ALL=C sort)
e2e_expect_eq "About controls (class, text)" "$expected" "$controls"

# The main window's own menu does not open while the box is up.
e2e_click $(e2e_bar_item 文件)
e2e_probe watch 'class:#32768' 1000 >/dev/null || e2e_fail "the main window's menu opened under the About box"
e2e_probe wait "$about" 1000 >/dev/null || e2e_fail "the About box went away"

# Keys go to the box once it has the focus: a click on its caption gives it.
read -r tl tt _ tb <<<"$(e2e_window_field "$about" titlebar)"
e2e_click $((tl + 40)) $(((tt + tb) / 2))
e2e_wait_field "$about" foreground 1 5
xdotool key alt+s
e2e_probe wait 'class:#32770' 5000 >/dev/null || e2e_fail "Alt+S showed no message box"
box=$(e2e_probe list '#32770')
e2e_log "message box:"$'\n'"$box"
e2e_expect_eq "message box title" "$title" "$(grep -m1 $'^window\t' <<<"$box" | cut -f7)"
statics=$(awk -F'\t' '/^  child/ && $3 == "Static" && $5 == 1 && $7 != "" { print $7 }' <<<"$box")
e2e_expect_eq "message box text" "此时系统信息不可用" "$statics"
e2e_expect_eq "message box buttons" "1" \
    "$(awk -F'\t' '/^  child/ && $3 == "Button" && $5 == 1' <<<"$box" | wc -l)"
xdotool key Return
e2e_probe gone 'class:#32770' 3000 || e2e_fail "the message box did not close on Enter"
e2e_probe wait "$about" 1000 >/dev/null || e2e_fail "the About box closed with the message box"

e2e_wait_field "$about" foreground 1 5
xdotool key Escape
e2e_probe gone "$about" 3000 || e2e_fail "Esc did not close the About box"
e2e_wait_field @main enabled 1 3

# Again from the tree's popup menu, at an empty point of the tree.
read -r left _ _ bottom <<<"$(e2e_window_field @main client)"
xdotool mousemove $((left + 60)) $((bottom - 120)) click 3
e2e_probe wait 'class:#32768' 3000 >/dev/null || e2e_fail "a right click opened no menu"
e2e_click $(e2e_popup_item TTSTT 4)
e2e_probe wait "$about" 5000 >/dev/null || e2e_fail "no About box from the tree's popup"
e2e_expect_eq "main window enabled under the About box" 0 "$(e2e_window_field @main enabled)"
read -r pl pt pr pb <<<"$(e2e_probe list "$(e2e_window_field "$about" class)" |
    awk -F'\t' '/^  child/ && $3 == "Volane.PictureBox" { print $6; exit }')"
e2e_log "picture at $pl $pt $pr $pb"
e2e_click $(((pl + pr) / 2)) $(((pt + pb) / 2))
e2e_probe gone "$about" 5000 || e2e_fail "a click on the picture did not close the About box"
e2e_wait_field @main enabled 1 3
# Opening the web address with no browser set up leaves Volane running and usable.
e2e_probe watch 'class:#32770' 1500 >/dev/null || e2e_fail "a message box came up after the picture click"
e2e_expect_eq "process of the main window" "$pid" "$(e2e_window_field @main pid)"
e2e_click $(e2e_bar_item 文件)
e2e_probe wait 'class:#32768' 3000 >/dev/null || e2e_fail "the 文件 menu no longer opens"
e2e_pass
