#!/usr/bin/env bash
# Removable disks and CD-ROM drives are shown with their labels, an empty CD-ROM drive too;
# network shares, RAM disks and drives without a root folder are left out. Roots follow the
# order of the drive letters.
source "$(dirname "$0")/lib.sh"
e2e_setup
e2e_only_default_drives
media=$E2E_PREFIX/media
mkdir -p "$media/floppy" "$media/cd" "$media/net" "$media/ram" "$media/disk"
e2e_drive A "$media/floppy" floppy
e2e_drive D "$media/cd" cdrom
e2e_drive E "$media/no-disc" cdrom
e2e_drive H "$media/disk" hd
e2e_drive M "$media/missing" hd
e2e_drive N "$media/net" network
e2e_drive R "$media/ram" ramdisk
e2e_apply_drives

# Wine must see the drive kinds this test means, or the test proves nothing.
drives=$(e2e_probe drives | tr '\t' ' ')
expected_types=$(printf '%s\n' 'A:\ 2' 'C:\ 3' 'D:\ 5' 'E:\ 5' 'H:\ 3' 'M:\ 1' 'N:\ 4' \
    'R:\ 6' 'Z:\ 3')
e2e_expect_eq "drive types as Wine reports them" "$expected_types" "$drives"

e2e_start_volane "$E2E_EDITOR"
e2e_wait_main >/dev/null
tree=$(e2e_tree)
e2e_log "tree:"$'\n'"$tree"
expected=$(printf '0\t%s\n' '可移动磁盘(A)' '本地磁盘(C)' '光盘驱动(D)' '光盘驱动(E)' '本地磁盘(H)' \
    '本地磁盘(Z)')
e2e_expect_eq "drive roots" "$expected" "$(cut -f1,9 <<<"$tree")"
# Whatever the kind of drive, a root shows the drive picture.
e2e_expect_eq "root pictures" "1 1 1 1 1 1" "$(cut -f2 <<<"$tree" | paste -sd' ')"
e2e_pass
