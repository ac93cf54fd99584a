#!/usr/bin/env bash
# Start-up. Without a command line Volane ends at once and shows no window. With one, the
# window appears with one root per shown drive, in drive order, each with its label and the
# drive picture: removable disks and CD-ROM drives (an empty one too) are shown; network
# shares, RAM disks and a drive without a root folder are not.
source "$(dirname "$0")/lib.sh"
e2e_setup
media=$E2E_PREFIX/media
mkdir -p "$media/floppy" "$media/cd" "$media/disk" "$media/net" "$media/ram"
e2e_drive A "$media/floppy" floppy
e2e_drive D "$media/cd" cdrom
e2e_drive E "$media/no-disc" cdrom
e2e_drive H "$media/disk" hd
e2e_drive M "$media/missing" hd
e2e_drive N "$media/net" network
e2e_drive R "$media/ram" ramdisk

e2e_start_probe
# Looks for the main window during the whole run of the bare start.
volane_wine "$PROBE_EXE" watch @main 2000 >/dev/null &
watcher=$!
read -r status ms <<<"$(e2e_run_volane)"
e2e_log "without a command line: status $status after $ms ms"
e2e_expect_eq "exit status without a command line" 0 "$status"
((ms < 10000)) || e2e_fail "a start without a command line ran $ms ms"
wait "$watcher" || e2e_fail "a start without a command line showed the main window"

e2e_start_ready
roots=$(e2e_tree | cut -f1-4,7)
expected=$(printf '0\t1\t0\t0\t%s\n' '可移动磁盘(A)' '本地磁盘(C)' '光盘驱动(D)' '光盘驱动(E)' \
    '本地磁盘(H)' '本地磁盘(Z)')
e2e_expect_eq "drive roots (depth, picture, expanded, children, label)" "$expected" "$roots"
e2e_pass
