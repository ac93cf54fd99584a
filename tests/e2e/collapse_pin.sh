#!/usr/bin/env bash
# Collapse. On the 1280x1024 screen at 96 DPI the window starts at its exact outer rectangle,
# 400 twips from the right edge and 200 from the top, pinned on top. After the user drags the
# bottom edge, 收起 on the menu bar leaves a 3700x880-twip strip at the same top-left corner
# and 展开 gives back the dragged size.
source "$(dirname "$0")/lib.sh"
e2e_setup
e2e_start_ready
# 3540 twips of client (236 px) and Wine's 4-px frame make 244 px; left = (19200 - 3660 -
# 400) / 15, top = 200 / 15, height = (15360 - 800) / 15, each to the nearest pixel.
e2e_expect_eq "outer rectangle at start" "1009 13 1253 984" "$(e2e_window_field @main rect)"
e2e_expect_eq "pinned at start" 1 "$(e2e_window_field @main topmost)"

xdotool mousemove 1130 982 mousedown 1 mousemove 1130 930 mousemove 1130 882 mouseup 1
e2e_wait_field @main rect "1009 13 1253 884"

e2e_bar 1
e2e_wait_field @main rect "1009 13 1256 72"
e2e_bar 1
e2e_wait_field @main rect "1009 13 1253 884"
