#!/usr/bin/env bash
# wine-env.sh setup|teardown DIR ARCH   (ARCH: win32 or win64)
#
# setup: starts a virtual X display, makes the tree's test prefix in
#        DIR/prefix (once per build folder; 32-bit for win32, 64-bit for
#        win64) and starts one persistent wineserver that every test program
#        of the run shares.
# teardown: stops the wineserver and the display.
set -euo pipefail
cmd=$1
dir=$(realpath -m "$2")
arch=${3:-win32}
here=$(cd "$(dirname "$0")" && pwd)
source "$here/wine-common.sh"
mkdir -p "$dir"

start_display() {
    if [ -f "$dir/xvfb.pid" ] && kill -0 "$(cat "$dir/xvfb.pid")" 2>/dev/null; then
        # A display whose number was never written down is of no use.
        [ -s "$dir/display" ] && return
        kill "$(cat "$dir/xvfb.pid")" 2>/dev/null || true
    fi
    # A leftover of an earlier run would be read before Xvfb truncates it.
    rm -f "$dir/display" "$dir/display.tmp"
    # -displayfd picks a free display number and writes it once the server
    # accepts connections.
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$dir/display.tmp" \
        >"$dir/xvfb.log" 2>&1 &
    echo $! >"$dir/xvfb.pid"
    for _ in $(seq 1 100); do
        if [ -s "$dir/display.tmp" ]; then
            tr -d '\n' <"$dir/display.tmp" >"$dir/display"
            return
        fi
        sleep 0.1
    done
    echo "Xvfb did not start" >&2
    cat "$dir/xvfb.log" >&2
    exit 1
}

case "$cmd" in
setup)
    start_display
    wine_environment "$dir" "$arch"
    if ! why=$(wine_can_run "$arch"); then
        echo "This machine cannot run the $arch tree: $why" >&2
        exit 1
    fi
    if [ ! -f "$WINEPREFIX/.trevalto-ready" ]; then
        rm -rf "$WINEPREFIX"
        "$WINE" wineboot -i >"$dir/wineboot.log" 2>&1
        # A crashing test program must end, not wait on a crash dialog.
        "$WINE" reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashNotification /t REG_DWORD \
            /d 0 /f >/dev/null 2>&1
        wineserver -w
        touch "$WINEPREFIX/.trevalto-ready"
    fi
    # One persistent wineserver for the whole run (a leftover of an
    # interrupted run is stopped first).
    wineserver -k >/dev/null 2>&1 || true
    wineserver -p </dev/null >/dev/null 2>&1
    echo "Wine prefix $WINEPREFIX on display $DISPLAY"
    ;;
teardown)
    wine_environment "$dir" "$arch"
    wineserver -k 2>/dev/null || true
    if [ -f "$dir/xvfb.pid" ]; then
        kill "$(cat "$dir/xvfb.pid")" 2>/dev/null || true
        rm -f "$dir/xvfb.pid" "$dir/display"
    fi
    ;;
*)
    echo "usage: $0 setup|teardown DIR [win32|win64]" >&2
    exit 2
    ;;
esac
