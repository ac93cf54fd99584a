#!/usr/bin/env bash
# About. 关于, from the menu bar and from the tree's popup, opens the About box modal (the main
# window disabled), owned by the main window and standing above it while it is pinned. Alt+S
# with no System Information registered shows a message box owned by the About box, which takes
# no input meanwhile; Enter closes the box. Enter closes the About box, as do Esc and a click on
# its picture.
source "$(dirname "$0")/lib.sh"
e2e_setup
title=Volane-Torlin@www.torlin.example
about="关于 $title"

# open_about: waits for the box, modal and in front of the pinned window, and gives it the focus
# with a click on its caption.
open_about() {
    e2e_shown "$about"
    local got
    got="$(e2e_window_field @main enabled) $(e2e_window_field "$about" topmost)"
    got+=" $(e2e_window_field "$about" owner)"
    e2e_expect_eq "main window enabled, About box pinned, its owner" \
        "0 1 $(e2e_window_field @main hwnd)" "$got"
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

e2e_start_ready
e2e_file_menu 4
open_about
class=$(e2e_window_field "$about" class)
box='class:#32770'
xdotool key alt+s
e2e_probe wait "$box" 5000 >/dev/null || e2e_fail "Alt+S showed no message box"
got="$(e2e_window_field "$box" owner) $(e2e_window_field "$box" topmost)"
got+=" $(e2e_window_field "$about" enabled) $(e2e_window_field @main enabled)"
e2e_expect_eq "message box's owner, pinned with it, About box enabled, main window enabled" \
    "$(e2e_window_field "$about" hwnd) 1 0 0" "$got"
xdotool key Return
e2e_probe gone "$box" 5000 || e2e_fail "Enter did not close the message box"
e2e_wait_field "$about" foreground 1
close_about Return

e2e_popup && e2e_menu 4
open_about
close_about Escape
e2e_popup && e2e_menu 4
open_about
close_about
