#!/usr/bin/env bash
# With an editor command the main window appears and its tree holds one root per drive:
# C: and Z: are local disks, shown with the drive picture and nothing below them.
source "$(dirname "$0")/lib.sh"
e2e_setup
e2e_only_default_drives
e2e_start_volane "$E2E_EDITOR"
e2e_wait_main >/dev/null

e2e_expect_eq "visible" 1 "$(e2e_window_field @main visible)"
tree=$(e2e_tree)
e2e_log "tree:"$'\n'"$tree"
# The tree view's image indexes count from 0; the drive picture is image 2 of the icon table.
root_image=1
expected=$(printf '0\t%s\t0\t0\t%s\n' "$root_image" '本地磁盘(C)' "$root_image" '本地磁盘(Z)')
actual=$(cut -f1,2,4,6,9 <<<"$tree")
e2e_expect_eq "drive roots (depth, image, expanded, children, text)" "$expected" "$actual"
# Every root is on screen, so a click can reach it.
if cut -f7,8 <<<"$tree" | grep -q -- '-'; then e2e_fail "a drive root is not visible"; fi
e2e_pass
