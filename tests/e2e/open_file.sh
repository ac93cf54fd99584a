#!/usr/bin/env bash
# Double-clicks list a drive and a folder under their nodes (sub-folders first, then the files
# whose extension setup.ini names), and a double-click on a file starts the editor command
# followed by a blank and the file's path, leaving the tree as it was; a path with blanks
# reaches the editor as one quoted argument. A right click on a node opens the popup, whose
# 刷新 leaves only the drive roots.
source "$(dirname "$0")/lib.sh"
e2e_setup
e2e_only_default_drives
work=$E2E_PREFIX/drive_c/work
mkdir -p "$work/sub"
echo '<?php' >"$work/a.php"
echo '<x/>' >"$work/b.xml"
mkdir -p "$E2E_PREFIX/drive_c/my work"
echo 'notes' >"$E2E_PREFIX/drive_c/my work/a b.txt"

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

e2e_double_click $(e2e_node_point "$(e2e_wait_node 'my work')")
e2e_double_click $(e2e_node_point "$(e2e_wait_node 'a b.txt')")
for _ in $(seq 50); do
    [ "$(wc -l <"$E2E_RECORD")" -ge 2 ] && break
    sleep 0.2
done
e2e_expect_eq "editor command line for a path with blanks" \
    "$E2E_EDITOR \"C:\\my work\\a b.txt\"" "$(tr -d '\r' <"$E2E_RECORD" | sed -n 2p)"

# 刷新, 置顶, a separator, 退出, 关于: 刷新 from the popup opened on a node.
e2e_right_click $(e2e_node_point "$(e2e_wait_node work)")
e2e_probe wait 'class:#32768' 3000 >/dev/null || e2e_fail "a right click on a node opened no menu"
e2e_click $(e2e_popup_item TTSTT 0)
for _ in $(seq 50); do
    [ "$(e2e_tree | wc -l)" -eq 2 ] && break
    sleep 0.2
done
e2e_expect_eq "tree after 刷新" "$(printf '0\t1\t本地磁盘(C)\n0\t1\t本地磁盘(Z)')" \
    "$(e2e_tree | cut -f1,2,9)"
e2e_pass
