#!/usr/bin/env bash
# Double-clicks list a drive and a folder under their nodes (sub-folders first, then the files
# whose extension setup.ini names), and a double-click on a file starts the editor command
# followed by a blank and the file's path, leaving the tree as it was.
source "$(dirname "$0")/lib.sh"
e2e_setup
e2e_only_default_drives
work=$E2E_PREFIX/drive_c/work
mkdir -p "$work/sub"
echo '<?php' >"$work/a.php"
echo '<x/>' >"$work/b.xml"

e2e_start_volane "$E2E_EDITOR"
e2e_wait_main >/dev/null
e2e_double_click $(e2e_node_point "$(e2e_wait_node '本地磁盘(C)')")
e2e_double_click $(e2e_node_point "$(e2e_wait_node work)")
e2e_wait_node a.php >/dev/null

tree=$(e2e_tree)
e2e_log "tree:"$'\n'"$tree"
# Below work: the folder picture (3) for sub, the php picture (8) for a.php; b.xml is left out.
listing=$(awk -F'\t' '$1 == 1 && $9 == "work" { on = 1; next } $1 <= 1 { on = 0 }
    on { print $1 "\t" $2 "\t" $9 }' <<<"$tree")
e2e_expect_eq "listing of C:\\work" "$(printf '2\t2\tsub\n2\t7\ta.php')" "$listing"

[ ! -e "$E2E_RECORD" ] || e2e_fail "the editor ran before any file was opened"
e2e_double_click $(e2e_node_point "$(e2e_wait_node a.php)")
for _ in $(seq 50); do
    [ -s "$E2E_RECORD" ] && break
    sleep 0.2
done
[ -s "$E2E_RECORD" ] || e2e_fail "the editor was not started"
e2e_expect_eq "editor command line" "$E2E_EDITOR C:\\work\\a.php" "$(tr -d '\r' <"$E2E_RECORD")"
e2e_expect_eq "tree after opening a file" "$(cut -f1,2,9 <<<"$tree")" "$(e2e_tree | cut -f1,2,9)"
e2e_pass
