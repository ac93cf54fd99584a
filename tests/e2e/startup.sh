#!/usr/bin/env bash
# Start-up: without a command line Volane ends at once; with one, a root per shown drive with its
# label and picture, no input method, and an empty drive root lists as empty, without a word.
source "$(dirname "$0")/lib.sh"
e2e_setup
# Drives LETTER:TYPE[:missing], each a folder unless missing, read by Wine's server at its start.
for drive in a:floppy d:cdrom e:cdrom:missing h:hd m:hd:missing n:network r:ramdisk; do
    IFS=: read -r letter type missing <<<"$drive"
    [ -n "$missing" ] || mkdir -p "$E2E_PREFIX/media/$letter"
    ln -sfn "$E2E_PREFIX/media/$letter" "$E2E_PREFIX/dosdevices/$letter:"
    printf '\n[Software\\\\Wine\\\\Drives] 1700000000\n"%s:"="%s"\n' "$letter" "$type" >>"$E2E_PREFIX/system.reg"
done

# shellcheck disable=SC2119 # no command line at all
e2e_run_volane

e2e_start_ready
e2e_expect_eq "input method windows of Volane" 0 "$(e2e_window_field @main ime)"
e2e_expect_eq "drive roots (depth, picture, expanded, children, label)" \
    "$(printf '0\t1\t0\t0\t%s\n' '可移动磁盘(A)' '本地磁盘(C)' '光盘驱动(D)' '光盘驱动(E)' \
        '本地磁盘(H)' '本地磁盘(Z)')" "$(e2e_shape)"

# H: is an empty folder: its root has not even a "." entry.
e2e_double_click "$(e2e_node '本地磁盘(H)')"
e2e_double_click "$(e2e_node '本地磁盘(C)')"
e2e_node windows >/dev/null
e2e_probe gone 'class:#32770' 0 || e2e_fail "listing the empty drive root H: showed a message box"
