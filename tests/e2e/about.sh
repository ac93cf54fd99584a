#!/usr/bin/env bash
# About. 关于, from the menu bar and from the tree's popup, opens the About box. Alt+S with no
# System Information registered shows a message box, which Enter closes; Enter closes the About
# box, as do Esc and a click on its picture.
source "$(dirname "$0")/lib.sh"
e2e_setup
about="关于 Volane-Torlin@www.torlin.example"

# open_about: waits for the box and gives it the focus with a click on its caption.
open_about() {
    e2e_shown "$about"
    read -r left top _ <<<"$(e2e_window_field "$about" rect)"
    e2e_click "$((left + 60)) $((top + 12))"
    e2e_wait_field "$about" foreground 1
}
# close_about KEYS...: closes the box with the keys, or with a click on its picture.
close_about() {
    if [ $# -gt 0 ]; then xdotool key "$@"; else
        read -r l t r b <<<"$(e2e_probe list "$class" | awk -F'\t' '$2 == "Volane.PictureBox" { print $4 }')"
        e2e_click "$(((l + r) / 2)) $(((t + b) / 2))"
    fi
    e2e_probe gone "$about" 5000 || e2e_fail "the About box stays open after ${*:-a click on its picture}"
}

e2e_start_ready
e2e_file_menu 4
open_about
class=$(e2e_window_field "$about" class)
box='class:#32770'
xdotool key alt+s
e2e_probe wait "$box" 5000 >/dev/null || e2e_fail "Alt+S showed no message box"
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
