#!/usr/bin/env bash
# About. 关于, from the menu bar and from the tree's popup, opens the About box modal (the main
# window disabled), standing above the pinned main window, with its texts. Alt+S with no System
# Information registered shows "此时系统信息不可用" titled with the application title: one
# text, one button, no icon. Enter closes the box, as do Esc and a click on its picture.
source "$(dirname "$0")/lib.sh"
e2e_setup
title=Volane-Torlin@www.torlin.example
about="关于 $title"

# open_about: waits for the box, modal and in front of the pinned window, and gives it the focus
# with a click on its caption.
open_about() {
    e2e_shown "$about"
    e2e_expect_eq "main window enabled, About box pinned" "0 1" \
        "$(e2e_window_field @main enabled) $(e2e_window_field "$about" topmost)"
    read -r left top _ <<<"$(e2e_window_field "$about" rect)"
    e2e_click "$((left + 60)) $((top + 12))"
    e2e_wait_field "$about" foreground 1
}
# close_about KEYS...: closes the box with the keys, or with a click on its picture.
close_about() {
    if [ $# -gt 0 ]; then xdotool key "$@"; else
        read -r l t r b <<<"$(e2e_probe list "$class" | awk -F'\t' '$2 == "Volane.PictureBox" { print $5 }')"
        e2e_click "$(((l + r) / 2)) $(((t + b) / 2))"
    fi
    e2e_probe gone "$about" 5000 || e2e_fail "the About box stays open after ${*:-a click on its picture}"
    e2e_wait_field @main enabled 1
}
# visible_children CLASS: class, icon and text of the visible controls of the box of CLASS.
visible_children() { e2e_probe list "$1" | awk -F'\t' '$1 == "child" && $3 { print $2 $4 "\t" $6 }' | LC_ALL=C sort; }

e2e_start_ready
e2e_file_menu 4
open_about
class=$(e2e_window_field "$about" class)
description='编写本工具，是为了弥补编辑器自带的文件夹树在选择要编辑的文件时的不足。作者一直没有改进它，而编辑器又是我日常工作中用得最多的工具，于是写了这个小程序，免费送给编辑器的广大用户们，希望方便大家日常使用。'
e2e_expect_eq "About box controls (class, icon, text)" "$(printf '%s0\t%s\n' Volane.PictureBox '' \
    Button 确定 Button '系统信息(&S)...' Static "$title" Static '版本 1.0.64' \
    Static '检查最新版本：http://www.torlin.example' Static "$description" | LC_ALL=C sort)" \
    "$(visible_children "$class")"
xdotool key alt+s
e2e_probe wait 'class:#32770' 5000 >/dev/null || e2e_fail "Alt+S showed no message box"
e2e_expect_eq "message box title" "$title" "$(e2e_window_field 'class:#32770' caption)"
e2e_expect_eq "message box controls (class, icon, text)" \
    "$(printf 'Button0\t确定\nStatic0\t\nStatic0\t此时系统信息不可用')" "$(visible_children '#32770')"
xdotool key Return
e2e_probe gone 'class:#32770' 5000 || e2e_fail "Enter did not close the message box"
e2e_wait_field "$about" foreground 1
close_about Return

e2e_popup && e2e_menu 4
open_about
close_about Escape
e2e_popup && e2e_menu 4
open_about
close_about
