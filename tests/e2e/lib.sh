# Shared steps of the end-to-end tests. A test sources this file, calls e2e_setup, and then
# drives Volane.exe under Wine with real X input while probe.exe looks into its windows.
#
# Set by CMake (see CMakeLists.txt): VOLANE_EXE, PROBE_EXE, RECORDER_EXE, E2E_ARTIFACTS.
# Every test gets its own Wine prefix, copied from the template, in which Volane.exe lives as
# C:\volane\Volane.exe beside its own setup.ini. On exit the prefix's processes are ended and
# the prefix removed; a failing test first leaves a screenshot in E2E_ARTIFACTS.

set -euo pipefail

# shellcheck source=../../scripts/wine-env.sh
source "$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)/scripts/wine-env.sh"

: "${VOLANE_EXE:?VOLANE_EXE names the Volane.exe under test}"
: "${PROBE_EXE:?PROBE_EXE names probe.exe}"
: "${RECORDER_EXE:?RECORDER_EXE names recorder.exe}"
E2E_NAME=$(basename "$0" .sh)
E2E_ARTIFACTS=${E2E_ARTIFACTS:-$VOLANE_ROOT/build/mingw/e2e-artifacts}
E2E_PREFIX=
E2E_APP_DIR=
E2E_APP_EXE='C:\volane\Volane.exe'
E2E_EDITOR='C:\volane\editor\recorder.exe'
E2E_RECORD=
E2E_LAUNCHER_PID=
E2E_PID=
E2E_STARTED=$SECONDS

e2e_log() { echo "[$E2E_NAME $((SECONDS - E2E_STARTED))s] $*" >&2; }

e2e_fail() {
    echo "FAIL: $E2E_NAME: $*" >&2
    exit 1
}

e2e_pass() {
    e2e_log "passed"
    exit 0
}

e2e_cleanup() {
    local status=$?
    trap - EXIT
    if [ "$status" -ne 0 ] && [ -n "${DISPLAY:-}" ]; then
        mkdir -p "$E2E_ARTIFACTS"
        import -window root "$E2E_ARTIFACTS/$E2E_NAME.png" 2>/dev/null &&
            echo "screenshot: $E2E_ARTIFACTS/$E2E_NAME.png" >&2
    fi
    if [ -n "$E2E_PREFIX" ]; then
        volane_wine_kill "$E2E_PREFIX"
        if [ -n "$E2E_LAUNCHER_PID" ]; then
            kill "$E2E_LAUNCHER_PID" 2>/dev/null || true
            wait "$E2E_LAUNCHER_PID" 2>/dev/null || true
        fi
        if [ "${VOLANE_E2E_KEEP:-0}" = 1 ]; then
            echo "prefix kept: $E2E_PREFIX" >&2
        else
            rm -rf "$E2E_PREFIX"
        fi
    fi
    volane_xvfb_stop
    exit "$status"
}

# Makes a fresh prefix with Volane.exe, a setup.ini and the recording editor in place, on a
# display of its own when none is given.
e2e_setup() {
    trap e2e_cleanup EXIT
    trap 'exit 143' TERM INT
    volane_xvfb_start || e2e_fail "no X display"
    E2E_PREFIX=$(mktemp -d "${TMPDIR:-/tmp}/volane-e2e-$E2E_NAME.XXXXXX")
    volane_wine_prefix "$E2E_PREFIX"
    export WINEPREFIX=$E2E_PREFIX
    E2E_APP_DIR=$E2E_PREFIX/drive_c/volane
    mkdir -p "$E2E_APP_DIR/editor"
    cp "$VOLANE_EXE" "$E2E_APP_DIR/Volane.exe"
    cp "$RECORDER_EXE" "$E2E_APP_DIR/editor/recorder.exe"
    e2e_setup_ini 'html;htm;css;js;php;txt;'
    E2E_RECORD=$E2E_PREFIX/drive_c/volane/editor/record.log
    export VOLANE_RECORD='C:\volane\editor\record.log'
    # A pointer left over a window by an earlier test would change what hovers and clicks do.
    xdotool mousemove 0 0
    e2e_log "prefix $E2E_PREFIX on $DISPLAY"
}

e2e_setup_ini() {
    printf '[setup]\r\nfileTypes=%s\r\n' "$1" >"$E2E_APP_DIR/setup.ini"
}

# Adds drive LETTER pointing at TARGET (a Linux folder, which may be missing) with TYPE as
# Wine's drive table names it: hd, cdrom, floppy, network or ramdisk.
e2e_drive() {
    local letter=$1 target=$2 type=$3
    ln -sfn "$target" "$E2E_PREFIX/dosdevices/${letter,,}:"
    printf '[HKEY_LOCAL_MACHINE\\Software\\Wine\\Drives]\r\n"%s:"="%s"\r\n\r\n' \
        "${letter,,}" "$type" >>"$E2E_PREFIX/drives.reg"
}

# Drops every drive but C: and Z:, so that the drive list does not depend on the machine.
e2e_only_default_drives() {
    local link
    for link in "$E2E_PREFIX"/dosdevices/?:; do
        case "${link##*/}" in c: | z:) ;; *) rm -f "$link" ;; esac
    done
}

# The server reads drive types and drive links when it starts; this writes the queued drive
# types and restarts it.
e2e_apply_drives() {
    if [ -f "$E2E_PREFIX/drives.reg" ]; then
        {
            printf 'Windows Registry Editor Version 5.00\r\n\r\n'
            cat "$E2E_PREFIX/drives.reg"
        } >"$E2E_PREFIX/drives-import.reg"
        volane_wine reg import "$(volane_winpath "$E2E_PREFIX/drives-import.reg")" \
            >/dev/null 2>&1 || e2e_fail "could not import the drive types"
    fi
    wineserver -k 2>/dev/null || true
    wineserver -w
}

# Starts the server and Wine's desktop process ahead, so that timings measure Volane alone
# and Volane and the probe do not race to start the server of a fresh prefix.
e2e_warm_up() {
    e2e_probe title >/dev/null || e2e_fail "Wine does not start in $E2E_PREFIX"
}

# VOLANE_E2E_TRACE=1 logs every probe call with its time.
e2e_probe() {
    if [ "${VOLANE_E2E_TRACE:-0}" = 1 ]; then
        local start=$(date +%s%N) status=0
        volane_wine "$PROBE_EXE" "$@" || status=$?
        e2e_log "probe $* -> $status in $((($(date +%s%N) - start) / 1000000)) ms"
        return "$status"
    fi
    volane_wine "$PROBE_EXE" "$@"
}

# Starts Volane.exe in the background with the given command-line words.
e2e_start_volane() {
    e2e_warm_up
    e2e_log "start Volane.exe $*"
    (cd "$E2E_APP_DIR" && exec env LC_ALL="$VOLANE_WINE_LOCALE" wine "$E2E_APP_EXE" "$@") &
    E2E_LAUNCHER_PID=$!
}

# Waits for the main window to be shown; prints its handle.
# Starts Volane with the recording editor and waits until its tree holds the drive roots; sets
# E2E_PID to the process that owns the main window.
e2e_start_ready() {
    e2e_start_volane "$E2E_EDITOR"
    e2e_wait_main >/dev/null
    e2e_tree >/dev/null
    E2E_PID=$(e2e_main_pid)
}

e2e_wait_main() {
    local status=0
    e2e_probe wait @main "${1:-20000}" || status=$?
    [ "$status" -eq 0 ] || e2e_fail "the main window did not appear (probe status $status)"
}

# Prints the value of KEY from `probe window WIN`.
e2e_window_field() {
    local win=$1 key=$2
    e2e_probe window "$win" | sed -n "s/^$key=//p"
}

e2e_main_pid() {
    local pid
    pid=$(e2e_window_field @main pid)
    [ -n "$pid" ] || e2e_fail "no main window to take the process from"
    echo "$pid"
}

# Waits for the Windows process PID to end; prints its exit code.
e2e_wait_exit() {
    e2e_probe exit "$1" "${2:-10000}"
}

# Real pointer input through X. Screen coordinates of Windows equal X root coordinates. No
# --sync: it waits for a motion event, and none comes when the pointer is already there.
E2E_LAST_CLICK_MS=0
# A click that follows another within the double-click time (Wine's default, 500 ms) would
# arrive as a double click: e2e_click waits out the rest of that time first.
e2e_click() {
    local now wait_ms
    now=$(($(date +%s%N) / 1000000))
    wait_ms=$((E2E_LAST_CLICK_MS + 550 - now))
    if ((wait_ms > 0)); then sleep "$(awk -v m="$wait_ms" 'BEGIN { print m / 1000 }')"; fi
    xdotool mousemove "$1" "$2" click 1
    E2E_LAST_CLICK_MS=$(($(date +%s%N) / 1000000))
}
e2e_right_click() { xdotool mousemove "$1" "$2" click 3; }
e2e_double_click() { xdotool mousemove "$1" "$2" click --repeat 2 --delay 80 1; }

# The tree of the main window, one line per node (see probe.cpp): depth, image, selected
# image, expanded, selected, children, centre x, centre y, text.
e2e_tree() {
    e2e_probe tree @main "${1:-15000}" | sed -n 's/^node\t//p'
}

# Waits until a node with exactly TEXT is shown in the tree; prints its line.
e2e_wait_node() {
    local text=$1 timeout=${2:-10} line deadline=$((SECONDS + ${2:-10}))
    while :; do
        line=$(e2e_tree 5000 | awk -F'\t' -v t="$text" '$9 == t && $7 != "-" { print; exit }')
        [ -n "$line" ] && { echo "$line"; return 0; }
        ((SECONDS < deadline)) || e2e_fail "no node $text in the tree after ${timeout}s"
        sleep 0.2
    done
}

# The screen point at the centre of a node line from e2e_tree.
e2e_node_point() { cut -f7,8 <<<"$1" | tr '\t' ' '; }

# Centre of the first item of the main window's menu bar. The bar lies between the caption
# and the client area; Wine cannot report menu rectangles to another process.
e2e_menu_bar_first_item() {
    local client cymenu
    client=$(e2e_window_field @main client)
    cymenu=$(e2e_probe metrics | sed -n 's/^cymenu=//p')
    set -- $client
    echo "$(($1 + 16)) $(($2 - cymenu / 2 - 1))"
}

# Centre of item INDEX (0-based) of the open popup menu whose items, top to bottom, are given
# by LAYOUT: T for a text item, S for a separator. Wine makes a text item SM_CYMENUSIZE high
# and a separator half that, and puts an equal margin above and below the items; the margin
# is what the popup's height leaves over, and anything implausible fails the test.
e2e_popup_item() {
    local layout=$1 index=$2 line height item separator margin y i
    line=$(e2e_probe list '#32768' | grep -m1 $'^window\t') || e2e_fail "no popup menu is open"
    local -a f
    IFS=$'\t' read -r -a f <<<"$line"
    local -a rect=(${f[4]})
    height=$((rect[3] - rect[1]))
    item=$(e2e_probe metrics | sed -n 's/^cymenusize=//p')
    separator=$((item / 2))
    local texts=${layout//S/} seps=${layout//T/}
    margin=$(((height - ${#texts} * item - ${#seps} * separator) / 2))
    ((margin >= 0 && margin <= 8)) ||
        e2e_fail "popup of height $height does not hold the items $layout"
    y=$((rect[1] + margin))
    for ((i = 0; i < index; i++)); do
        if [ "${layout:i:1}" = T ]; then y=$((y + item)); else y=$((y + separator)); fi
    done
    echo "$(((rect[0] + rect[2]) / 2)) $((y + item / 2))"
}

e2e_expect_eq() {
    local what=$1 expected=$2 actual=$3
    [ "$expected" = "$actual" ] || e2e_fail "$what: expected [$expected], got [$actual]"
}

# The About box's title, as identity.h has it.
e2e_app_title() {
    sed -n 's/^#define VOLANE_APP_TITLE "\(.*\)"$/\1/p' "$VOLANE_ROOT/resources/identity.h"
}

# Twips to pixels at 96 DPI as Volane converts them: the nearest pixel, halves away from zero.
e2e_px() {
    awk -v t="$1" 'BEGIN { p = t * 96 / 1440; s = p < 0 ? -1 : 1; print s * int(s * p + 0.5) }'
}

# The main window's menu read from inside its process (see probehook.cpp): depth, position,
# id, state, checked, screen rectangle of a bar item, text.
e2e_menu() {
    local dump
    dump=$(e2e_probe menu "${1:-@main}") || e2e_fail "could not read the menu"
    sed -n 's/^item\t//p' <<<"$dump"
}

# Centre of the menu-bar item with exactly TEXT.
e2e_bar_item() {
    local rect
    rect=$(e2e_menu | awk -F'\t' -v t="$1" '$1 == 0 && $7 == t { print $6; exit }')
    [ -n "$rect" ] || e2e_fail "no menu-bar item $1"
    set -- $rect
    echo "$((($1 + $3) / 2)) $((($2 + $4) / 2))"
}

# Captions of the menu bar, then "text=checked" for every item of the 文件 menu.
e2e_menu_state() {
    e2e_menu "${1:-@main}" | awk -F'\t' '$1 == 0 { bar = bar (bar ? " " : "") $7 }
        $1 == 1 && $7 != "-" { sub_ = sub_ (sub_ ? " " : "") $7 "=" $5 }
        END { print bar " | " sub_ }'
}

# Polls `probe window WIN` until KEY has VALUE; fails after TIMEOUT seconds.
e2e_wait_field() {
    local win=$1 key=$2 value=$3 timeout=${4:-10} deadline actual
    deadline=$((SECONDS + timeout))
    while :; do
        actual=$(e2e_window_field "$win" "$key")
        [ "$actual" = "$value" ] && return 0
        ((SECONDS < deadline)) || e2e_fail "$win $key stayed [$actual], expected [$value]"
        sleep 0.1
    done
}

# Starts Volane.exe once more in the foreground and waits for it to end; prints the status and
# the milliseconds it took.
e2e_second_start() {
    local start status=0
    start=$(date +%s%N)
    # shellcheck disable=SC2068
    (cd "$E2E_APP_DIR" && timeout 60 env LC_ALL="$VOLANE_WINE_LOCALE" wine "$E2E_APP_EXE" $@) ||
        status=$?
    echo "$status $((($(date +%s%N) - start) / 1000000))"
}

# Collapses the main window through a real click on 收起 and waits for the strip.
e2e_collapse() {
    e2e_click $(e2e_bar_item 收起)
    e2e_wait_field @main rect "$1" 5
}
