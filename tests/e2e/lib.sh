# shellcheck shell=bash disable=SC2034 # the scenarios that source this read its variables
# Shared steps of the end-to-end scenarios (CMake sets VOLANE_EXE, PROBE_EXE, RECORDER_EXE and
# E2E_ARTIFACTS): a user's input through xdotool, a look into Volane's windows with probe.exe.

set -euo pipefail
source "$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)/scripts/wine-env.sh"

# Wine's menu builder and plug-and-play service play no part here and slow every cold start.
export WINEDLLOVERRIDES="$WINEDLLOVERRIDES;winemenubuilder.exe,plugplay.exe=d"
E2E_NAME=$(basename "$0" .sh)
E2E_EDITOR='C:\editor\recorder.exe'

e2e_fail() { echo "FAIL: $E2E_NAME: $*" >&2 && exit 1; }
e2e_expect_eq() { [ "$2" = "$3" ] || e2e_fail "$1: expected [$2], got [$3]"; }

# e2e_until SECONDS COMMAND...: fails when the command has not succeeded by then.
e2e_until() {
    local deadline=$((${EPOCHREALTIME/./} + $1 * 1000000))
    until "${@:2}"; do ((${EPOCHREALTIME/./} < deadline)) && sleep 0.1 || return 1; done
}

# A failing scenario leaves a screenshot; VOLANE_E2E_KEEP=1 keeps the prefix.
e2e_cleanup() {
    local status=$?
    if [ "$status" -ne 0 ] && [ -n "${DISPLAY:-}" ] && mkdir -p "$E2E_ARTIFACTS"; then
        import -window root "$E2E_ARTIFACTS/$E2E_NAME.png" && echo "screenshot: $E2E_ARTIFACTS/$E2E_NAME.png"
    fi
    volane_wine_kill "$E2E_PREFIX"
    jobs -p | xargs -r kill 2>/dev/null || true
    [ "${VOLANE_E2E_KEEP:-0}" = 1 ] || rm -rf "$E2E_PREFIX"
    volane_xvfb_stop
    exit "$status"
}

# An X display, a fresh prefix with only C: and Z:, Volane.exe beside a setup.ini, and the
# editor, which appends its starts to $E2E_RECORD, outside the program's folder.
e2e_setup() {
    E2E_PREFIX=$(mktemp -d "${TMPDIR:-/tmp}/volane-e2e-$E2E_NAME.XXXXXX")
    trap e2e_cleanup EXIT
    trap 'exit 143' TERM INT
    volane_xvfb_start || e2e_fail "Xvfb did not start"
    volane_wine_prefix "$E2E_PREFIX"
    export WINEPREFIX=$E2E_PREFIX
    find "$E2E_PREFIX/dosdevices" -name '?:' ! -name c: ! -name z: -delete
    E2E_APP_DIR="$E2E_PREFIX/drive_c/Program Files/Volane"
    mkdir -p "$E2E_APP_DIR" "$E2E_PREFIX/drive_c/editor"
    cp "$VOLANE_EXE" "$E2E_APP_DIR/Volane.exe"
    cp "$RECORDER_EXE" "$E2E_PREFIX/drive_c/editor/recorder.exe"
    printf '[setup]\r\nfileTypes=html;htm;css;js;php;txt;\r\n' >"$E2E_APP_DIR/setup.ini"
    export VOLANE_RECORD='C:\editor\starts.log'
    E2E_RECORD=$E2E_PREFIX/drive_c/editor/starts.log
}

# One probe (and the prefix's server) runs all along; its first answer shows the prefix is up.
e2e_start_probe() {
    [ -z "${E2E_PROBE_IN:-}" ] || return 0
    coproc E2E_PROBE { volane_wine "$PROBE_EXE" serve; }
    exec {E2E_PROBE_IN}>&"${E2E_PROBE[1]}" {E2E_PROBE_OUT}<&"${E2E_PROBE[0]}"
    e2e_probe gone class:VolaneNone 0 || e2e_fail "the probe does not answer"
}
e2e_probe() {
    local IFS=$'\t' line
    e2e_start_probe
    echo "$*" >&"$E2E_PROBE_IN"
    # No command waits longer than 40 s: a probe silent for 60 s hangs.
    while IFS= read -r -t 60 line <&"$E2E_PROBE_OUT" && [ "${line:0:1}" != $'\x1f' ]; do echo "$line"; done
    [ -n "$line" ] || e2e_fail "the probe ended or did not answer \"$*\" within 60 s"
    return "${line:1}"
}

# Volane.exe with the given command line, from its folder; wine ends with it, with its status.
e2e_start_volane() {
    e2e_start_probe
    (cd "$E2E_APP_DIR" && exec env LC_ALL="$VOLANE_WINE_LOCALE" wine 'C:\Program Files\Volane\Volane.exe' "$@") &
    E2E_LAUNCHER_PID=$!
}
# Wine frees an ended process's handles a moment late: a start before would hand over to no one.
e2e_name_free() { e2e_probe free 'Local\Volane.SingleInstance' 10000 || e2e_fail "the single-instance name is held 10 s on"; }
e2e_start_ready() { e2e_name_free && e2e_start_volane "$E2E_EDITOR" && e2e_shown @main; }

e2e_run_volane() {
    e2e_start_volane "$@"
    e2e_wait_exit "$E2E_LAUNCHER_PID" 10 || e2e_fail "Volane.exe $* still runs 10 s later"
    e2e_expect_eq "exit status of Volane.exe $*" 0 "$E2E_STATUS"
}

# e2e_wait_exit PID SECONDS: E2E_STATUS is then the status of this shell's child PID (a zombie
# until waited for, which a subshell could not do).
e2e_ended() { [[ "$(sed 's/.*) //' "/proc/$1/stat" 2>/dev/null)" =~ ^(Z|$) ]]; }
e2e_wait_exit() {
    e2e_until "$2" e2e_ended "$1" || return 1
    E2E_STATUS=0
    wait "$1" || E2E_STATUS=$?
}

# e2e_wait_eq WHAT EXPECTED COMMAND...: polls the command up to 10 s for that output.
e2e_prints() { [ "$("${@:2}")" = "$1" ]; }
e2e_wait_eq() { e2e_until 10 e2e_prints "$2" "${@:3}" || e2e_expect_eq "$1" "$2" "$("${@:3}")"; }

# KEY's value in `probe window WIN`; the same once it reads VALUE.
e2e_window_field() { e2e_probe window "$1" | sed -n "s/^$2=//p"; }
e2e_wait_field() { e2e_wait_eq "$1 $2" "$3" e2e_window_field "$1" "$2"; }

# Waits until WIN is visible and X shows it: Wine marks a window visible before it maps its X
# window, and a click in between would go to whatever lies beneath.
e2e_x_windows() { xdotool search --onlyvisible --maxdepth 1 --classname volane.exe getwindowgeometry --shell %@ | tr '\n' ' '; }
e2e_x_shows() {
    local l t r b
    read -r l t r b <<<"$(e2e_window_field "$1" rect)"
    e2e_x_windows | grep -q "X=$l Y=$t WIDTH=$((r - l)) HEIGHT=$((b - t)) "
}
e2e_shown() {
    e2e_probe wait "$1" 40000 >/dev/null || e2e_fail "$1 did not show within 40 s"
    e2e_until 20 e2e_x_shows "$1" || e2e_fail "X does not show $1 at $(e2e_window_field "$1" rect): $(e2e_x_windows)"
}

# Real pointer input at a screen point "X Y". A click near the one before and within the
# double-click time (500 ms) would make a double-click: e2e_click waits it out.
E2E_LAST_CLICK="0 -9 -9"
e2e_click() {
    local x y time last_x last_y
    read -r x y <<<"$1"
    shift
    read -r time last_x last_y <<<"$E2E_LAST_CLICK"
    while ((x - last_x < 9 && last_x - x < 9 && y - last_y < 9 && last_y - y < 9 &&
        ${EPOCHREALTIME/./} < time + 700000)); do sleep 0.05; done
    xdotool mousemove "$x" "$y" click "${@:-1}"
    E2E_LAST_CLICK="${EPOCHREALTIME/./} $x $y"
}
e2e_double_click() { e2e_click "$1" --repeat 2 --delay 20 1; }

# A point of the tree beside the drive roots; a click there gives the main window the focus.
e2e_blank() { read -r left _ _ bottom <<<"$(e2e_window_field @main rect)" && echo "$((left + 60)) $((bottom - 100))"; }
# Menus from the keyboard, as Wine hands out no other process's menu items: Shift+F10 opens the
# 文件 menu as the tree's popup; in an open menu N Ups and Enter run the Nth item from the
# bottom, whether the first one is selected or none is: 1 关于, 2 退出, 3 置顶, 4 刷新.
e2e_menu() {
    e2e_shown 'class:#32768'
    xdotool key --delay 50 --repeat "$1" Up && xdotool key Return
}
e2e_file_menu() { e2e_click "$(e2e_blank)" && xdotool key shift+F10 && e2e_menu "$1"; }
e2e_popup() { e2e_click "$(e2e_blank)" 3; }

# The main window's tree, a line per node: depth, picture, expanded, children, label centre x
# and y ("-" out of view), text; its shape, the same without the centres.
e2e_tree() { e2e_probe tree @main 15000 | sed -n 's/^node\t//p'; }
e2e_shape() { e2e_tree | cut -f1-4,7; }

# The screen point of the label TEXT, once it is in view.
e2e_node_point() { e2e_tree | awk -F'\t' -v t="$1" '$7 == t && $5 != "-" { print $5, $6; exit }'; }
e2e_has_node() { [ -n "$(e2e_node_point "$1")" ]; }
e2e_node() { e2e_until 10 e2e_has_node "$1" || e2e_fail "no node $1 in view"; e2e_node_point "$1"; }
