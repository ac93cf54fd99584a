#!/usr/bin/env bash
# About. 关于, from the tree's popup by Shift+F10 or a right click, opens the About box. Alt+S with no
# System Information registered shows a message box, which Enter closes; Enter closes the About
# box, as does a click on its picture.
source "$(dirname "$0")/lib.sh"
e2e_setup
about="关于 Volane-Torlin@www.torlin.example"
box='class:#32770'

# open_about COMMAND...: opens the box and clicks its caption. closed HOW: it has closed after.
open_about() {
    "$@"
    e2e_shown "$about"
    read -r left top _ <<<"$(e2e_window_field "$about" rect)"
    e2e_click "$((left + 60)) $((top + 12))"
    e2e_wait_field "$about" foreground 1
}
closed() { e2e_probe gone "$about" 5000 || e2e_fail "the About box stays open after $1"; }
popup_about() { e2e_popup && e2e_menu 1; }

e2e_start_ready
open_about e2e_file_menu 1
xdotool key alt+s
e2e_probe wait "$box" 5000 >/dev/null || e2e_fail "Alt+S showed no message box"
xdotool key Return
e2e_probe gone "$box" 5000 || e2e_fail "Enter did not close the message box"
e2e_wait_field "$about" foreground 1
xdotool key Return && closed Enter

open_about popup_about
read -r l t r b <<<"$(e2e_probe list "$(e2e_window_field "$about" class)" |
    awk -F'\t' '$2 == "Volane.PictureBox" { print $3 }')"
e2e_click "$(((l + r) / 2)) $(((t + b) / 2))" && closed "a click on its picture"
