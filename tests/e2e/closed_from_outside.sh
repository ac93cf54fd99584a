#!/usr/bin/env bash
# Another program closes Volane with WM_CLOSE or WM_SYSCOMMAND/SC_CLOSE, as scripts and
# installers do: the process ends within 2 s with exit code 0 and leaves no window, also with the
# About box or the popup menu open, and the next start shows the window again.
source "$(dirname "$0")/lib.sh"
e2e_setup
about="关于 $(e2e_app_title)"

# close_from_outside WHAT MSG [WPARAM]: sends MSG to the main window from this process's probe
# and checks that Volane ends at once.
close_from_outside() {
    local what=$1 launcher=$E2E_LAUNCHER_PID code=0 i
    shift
    e2e_probe send @main "$@" >/dev/null || e2e_fail "$what: could not send to the main window"
    # wine ends with the exit code of the program it started.
    for i in $(seq 20); do
        kill -0 "$launcher" 2>/dev/null || break
        sleep 0.1
    done
    kill -0 "$launcher" 2>/dev/null && e2e_fail "$what: the process still runs 2 s later"
    wait "$launcher" || code=$?
    E2E_LAUNCHER_PID=
    e2e_expect_eq "$what: exit code" 0 "$code"
    e2e_expect_eq "$what: windows left" "0 0" "$(e2e_probe count @main)"
    e2e_probe gone "$about" 500 || e2e_fail "$what: the About box is still there"
}

e2e_start_ready
close_from_outside WM_CLOSE 0x10

e2e_start_ready
close_from_outside SC_CLOSE 0x112 0xF060

# With the About box open: 文件 > 关于 (刷新, 置顶, a separator, 退出, 关于).
e2e_start_ready
e2e_click $(e2e_bar_item 文件)
e2e_probe wait 'class:#32768' 3000 >/dev/null || e2e_fail "the 文件 menu did not open"
e2e_click $(e2e_popup_item TTSTT 4)
e2e_probe wait "$about" 5000 >/dev/null || e2e_fail "no About box after 文件 > 关于"
close_from_outside "WM_CLOSE under the About box" 0x10

# With the tree's popup menu open.
e2e_start_ready
read -r left _ _ bottom <<<"$(e2e_window_field @main client)"
xdotool mousemove $((left + 60)) $((bottom - 120)) click 3
e2e_probe wait 'class:#32768' 3000 >/dev/null || e2e_fail "a right click opened no menu"
close_from_outside "SC_CLOSE under the popup menu" 0x112 0xF060

e2e_start_ready
e2e_pass
