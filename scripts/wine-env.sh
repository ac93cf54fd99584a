# shellcheck shell=bash
# Helpers for running Volane and its Windows tools under Wine. Source this file; it only
# defines variables and functions.
#
#   volane_wine_template          boots the template prefix once (build/wine/template)
#   volane_wine_prefix DIR        makes DIR a fresh copy of the template
#   volane_wine_kill [PREFIX]     ends every Wine process of a prefix
#   volane_wine CMD...            runs `wine CMD...` with the Chinese locale
#   volane_xvfb_start             starts Xvfb on a free display when DISPLAY is empty
#   volane_xvfb_stop              stops the Xvfb that volane_xvfb_start started
#
# The caller owns cleanup: call volane_xvfb_stop and volane_wine_kill from its EXIT trap.

VOLANE_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export VOLANE_ROOT

# Wine keeps its user folders under HOME, which a bare CI environment may leave unset.
: "${HOME:=$(getent passwd "$(id -u)" | cut -d: -f6)}"
export HOME
export WINEDEBUG=-all
# No Mono or Gecko: their installers would prompt and download.
export WINEDLLOVERRIDES="mscoree,mshtml="
export WINEARCH=win64
# The locale is passed to Wine only, never exported: the shell and the tools it runs would
# warn on every start when the locale is not generated, and Wine does not need it generated
# to pick code page 936 and the Chinese fonts.
VOLANE_WINE_LOCALE=${VOLANE_WINE_LOCALE:-zh_CN.UTF-8}
VOLANE_WINE_TEMPLATE=${VOLANE_WINE_TEMPLATE:-$VOLANE_ROOT/build/wine/template}
# Wine converts file names through the C library's locale: with zh_CN.UTF-8 named but not
# generated it falls back to ASCII and every name outside it fails to open. The project
# generates the locale into its own build folder instead of changing the system's.
export LOCPATH=${LOCPATH:-$VOLANE_ROOT/build/locale}
VOLANE_XVFB_PID=
VOLANE_XVFB_DISPLAY=

volane_wine() {
    LC_ALL=$VOLANE_WINE_LOCALE wine "$@"
}

# Generates the Chinese locale into LOCPATH once (about 6 s).
volane_locale() {
    [ -f "$LOCPATH/$VOLANE_WINE_LOCALE/LC_CTYPE" ] && return 0
    mkdir -p "$LOCPATH"
    (
        flock 8
        [ -f "$LOCPATH/$VOLANE_WINE_LOCALE/LC_CTYPE" ] && exit 0
        echo "wine-env: generating the $VOLANE_WINE_LOCALE locale in $LOCPATH" >&2
        localedef -i zh_CN -f UTF-8 "$LOCPATH/$VOLANE_WINE_LOCALE" >/dev/null 2>&1 || true
    ) 8>"$LOCPATH.lock"
}

# Boots the template prefix once per Wine version and revision of the settings below; a lock
# makes concurrent callers wait for the first one. A prefix made by another Wine version would
# be updated on every start.
volane_wine_template() {
    local template=$VOLANE_WINE_TEMPLATE version
    volane_locale
    version="$(wine --version 2>/dev/null), settings 2"
    [ "$(cat "$template/.volane-ready" 2>/dev/null)" = "$version" ] && return 0
    mkdir -p "$(dirname "$template")"
    (
        flock 9
        [ "$(cat "$template/.volane-ready" 2>/dev/null)" = "$version" ] && exit 0
        rm -rf "$template"
        echo "wine-env: booting the Wine prefix template in $template" >&2
        WINEPREFIX=$template volane_wine wineboot -i >/dev/null 2>&1
        # Without a window manager Wine must draw captions and frames itself, so windows
        # stand exactly at their Windows rectangles.
        WINEPREFIX=$template volane_wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed \
            /t REG_SZ /d N /f >/dev/null 2>&1
        # Debian keeps Wine's own fonts in /usr/share/wine/fonts, where this Wine does not
        # find them; without Marlett the caption buttons show letters instead of glyphs.
        if [ -f /usr/share/wine/fonts/marlett.ttf ]; then
            cp /usr/share/wine/fonts/marlett.ttf "$template/drive_c/windows/Fonts/"
        fi
        # A name that starts with a dot is hidden only on Unix: Windows shows ".a" as it is.
        WINEPREFIX=$template volane_wine reg add 'HKCU\Software\Wine' /v ShowDotFiles \
            /t REG_SZ /d Y /f >/dev/null 2>&1
        # 96 dots per inch: twips convert at 15 per pixel.
        WINEPREFIX=$template volane_wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels \
            /t REG_DWORD /d 96 /f >/dev/null 2>&1
        WINEPREFIX=$template wineserver -w
        echo "$version" >"$template/.volane-ready"
    ) 9>"$template.lock"
}

# Makes DIR a fresh prefix, copied from the template (about 2 s instead of 15 s of booting).
volane_wine_prefix() {
    local dir=$1
    volane_wine_template
    rm -rf "$dir"
    mkdir -p "$(dirname "$dir")"
    cp -a "$VOLANE_WINE_TEMPLATE" "$dir"
    rm -f "$dir/.volane-ready"
}

# Ends every process of the prefix and waits until its server is gone. Exited Wine processes
# can stay behind as zombies when PID 1 does not reap them, so nothing here looks at ps.
volane_wine_kill() {
    local prefix=${1:-${WINEPREFIX:-}}
    [ -n "$prefix" ] && [ -d "$prefix" ] || return 0
    WINEPREFIX=$prefix wineserver -k >/dev/null 2>&1 || true
    WINEPREFIX=$prefix timeout 10 wineserver -w >/dev/null 2>&1 || true
}

# Starts Xvfb when DISPLAY is empty and exports DISPLAY. Returns 0 when a display is usable.
# Xvfb picks a free display number itself and tells it, so callers that start at the same time
# never settle on the same one.
volane_xvfb_start() {
    [ -n "${DISPLAY:-}" ] && return 0
    local number
    number=$(mktemp "${TMPDIR:-/tmp}/volane-display.XXXXXX")
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$number" >/dev/null 2>&1 &
    VOLANE_XVFB_PID=$!
    for _ in $(seq 100); do
        if [ -s "$number" ]; then
            VOLANE_XVFB_DISPLAY=:$(tr -d '\n' <"$number")
            export DISPLAY=$VOLANE_XVFB_DISPLAY
            rm -f "$number"
            return 0
        fi
        kill -0 "$VOLANE_XVFB_PID" 2>/dev/null || break
        sleep 0.1
    done
    rm -f "$number"
    kill "$VOLANE_XVFB_PID" 2>/dev/null || true
    VOLANE_XVFB_PID=
    echo "wine-env: could not start Xvfb" >&2
    return 1
}

volane_xvfb_stop() {
    [ -n "$VOLANE_XVFB_PID" ] || return 0
    kill "$VOLANE_XVFB_PID" 2>/dev/null || true
    wait "$VOLANE_XVFB_PID" 2>/dev/null || true
    if [ "${DISPLAY:-}" = "$VOLANE_XVFB_DISPLAY" ]; then unset DISPLAY; fi
    VOLANE_XVFB_PID=
    VOLANE_XVFB_DISPLAY=
}

# Converts a Linux path to the Windows path Wine gives it through drive Z:.
volane_winpath() {
    local p
    p=$(realpath -m "$1")
    p=${p//\//\\}
    echo "Z:$p"
}
