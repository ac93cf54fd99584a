#!/usr/bin/env bash
# About. 关于, from the tree's popup by Shift+F10, opens the About box. Alt+S with no System
# Information registered shows a message box, which Enter closes; Enter closes the About box.
# WM_CLOSE or SC_CLOSE from another program, with the About box or the popup open: Volane ends
# within 2 s with exit code 0, and the next start shows the window again.
source "$(dirname "$0")/lib.sh"
e2e_setup
about="关于 Volane-Torlin@www.torlin.example"
box='class:#32770'

# close_from_outside WHAT MSG [WPARAM]: sends MSG to the main window from the probe's process.
close_from_outside() {
    e2e_probe send @main "${@:2}" || e2e_fail "$1: could not send to the main window"
    e2e_wait_exit "$E2E_LAUNCHER_PID" 2 || e2e_fail "$1: Volane still runs 2 s later"
    e2e_expect_eq "$1: exit status" 0 "$E2E_STATUS"
}

e2e_start_ready
e2e_file_menu 1
e2e_shown "$about"
# A click on its caption makes it the foreground window, which real keys then reach.
read -r left top _ <<<"$(e2e_window_field "$about" rect)"
e2e_click "$((left + 60)) $((top + 12))"
e2e_wait_field "$about" foreground 1
xdotool key alt+s
e2e_probe wait "$box" 5000 >/dev/null || e2e_fail "Alt+S showed no message box"
xdotool key Return
e2e_probe gone "$box" 5000 || e2e_fail "Enter did not close the message box"
e2e_wait_field "$about" foreground 1
xdotool key Return
e2e_probe gone "$about" 5000 || e2e_fail "Enter did not close the About box"

e2e_file_menu 1
e2e_shown "$about"
close_from_outside "WM_CLOSE under the About box" 0x10

e2e_start_ready
e2e_popup
e2e_shown 'class:#32768'
close_from_outside "SC_CLOSE under the popup menu" 0x112 0xF060
