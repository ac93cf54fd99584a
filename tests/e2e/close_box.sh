#!/usr/bin/env bash
# A click on the caption's close box ends the process the same way as 退出.
source "$(dirname "$0")/lib.sh"
e2e_setup
e2e_start_ready
pid=$E2E_PID

e2e_click $(e2e_window_field @main closebox)
code=$(e2e_wait_exit "$pid" 10000) || e2e_fail "the process still runs after the close box"
e2e_log "process $pid ended with exit code $code"
e2e_probe gone @main 1000 || e2e_fail "the main window is still there"
e2e_pass
