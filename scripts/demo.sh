#!/usr/bin/env bash
# The demo: installs what is missing, builds the Windows tree, prepares a
# Wine prefix with the stand-in Quandora (its executable, template and demo
# database), Trevalto and the registered Varniko, and starts Trevalto.
#
# The 32-bit program where this machine executes 32-bit code (the host is a
# 32-bit application), the 64-bit one otherwise; it says which.
#
# On the user's display when there is one. Without a display it starts the
# program on a virtual one, runs a chart of the demo data (1 January to
# today, all accounts) and saves a screenshot, whose path it prints.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

bash scripts/install-deps.sh
source "$root/cmake/wine-common.sh"

user_lang=${LANG:-}
if why32=$(wine_can_run win32); then
    arch=win32 tree=win32 toolchain=mingw-i686.cmake
    echo "Demo: the 32-bit Trevalto (build/win32) in a 32-bit Wine prefix"
else
    arch=win64 tree=win64 toolchain=mingw-x86_64.cmake
    echo "Demo: the 64-bit Trevalto (build/win64) in a 64-bit Wine prefix;" \
        "32-bit Wine does not run on this machine ($why32)"
    if ! why64=$(wine_can_run win64); then
        echo "64-bit Wine does not run on this machine either ($why64)" >&2
        exit 1
    fi
fi

build=$root/build/$tree
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/$toolchain" >/dev/null
cmake --build "$build" -j "$(nproc)" --target Trevalto Varniko quandora crea_host pilota_demo

demo=$root/build/demo
mkdir -p "$demo/$arch"
wine_environment "$demo/$arch" "$arch"
# The user's own language where it has one; Italian otherwise.
unset LC_ALL
export LANG=${user_lang:-it_IT.UTF-8}
case "$LANG" in C|C.*|POSIX) export LANG=it_IT.UTF-8 ;; esac

xvfb_pid=""
cleanup() {
    wineserver -k 2>/dev/null || true
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
}

virtual=0
if [ -z "${DISPLAY:-}" ] || ! xdpyinfo >/dev/null 2>&1; then
    virtual=1
    Xvfb -displayfd 3 -screen 0 1280x900x24 -nolisten tcp 3>"$demo/display" \
        >"$demo/xvfb.log" 2>&1 &
    xvfb_pid=$!
    for _ in $(seq 1 100); do [ -s "$demo/display" ] && break; sleep 0.1; done
    export DISPLAY=":$(tr -d '\n' <"$demo/display")"
    trap cleanup EXIT
fi

if [ ! -f "$WINEPREFIX/.trevalto-demo" ]; then
    echo "Preparing the Wine prefix (once)..."
    "$WINE" wineboot -i >"$demo/wineboot.log" 2>&1
    wineserver -w
    touch "$WINEPREFIX/.trevalto-demo"
fi

drive_c=$WINEPREFIX/drive_c
# The stand-in Quandora: executable, template and demo accounts up to today.
mkdir -p "$drive_c/Quandora"
cp "$build/bin/host/quandora/quandora.exe" "$drive_c/Quandora/"
"$WINE" "$build/bin/crea_host.exe" 'C:\Quandora' "$(date +%Y-%m-%d)" </dev/null >/dev/null 2>&1
"$WINE" reg add 'HKLM\Software\Microsoft\Windows\CurrentVersion\App Paths\quandora.exe' \
    /ve /d 'C:\Quandora\quandora.exe' /f >/dev/null 2>&1
# Trevalto and Varniko.
mkdir -p "$drive_c/Trevalto"
cp "$build/bin/Trevalto.exe" "$build/bin/Varniko.dll" "$build/bin/Leggimi.htm" \
    "$drive_c/Trevalto/"
"$WINE" regsvr32 /s 'C:\Trevalto\Varniko.dll' </dev/null >/dev/null 2>&1

if [ "$virtual" -eq 0 ]; then
    echo "Starting Trevalto on $DISPLAY"
    exec "$WINE" 'C:\Trevalto\Trevalto.exe'
fi

echo "No display: Trevalto runs on the virtual display $DISPLAY"
"$WINE" 'C:\Trevalto\Trevalto.exe' </dev/null >"$demo/trevalto.log" 2>&1 &
if ! "$WINE" "$build/bin/pilota_demo.exe" </dev/null; then
    echo "The demo run did not complete; see $demo/trevalto.log" >&2
    exit 1
fi
shot=$demo/trevalto-demo.png
import -window root "$shot"
echo "Screenshot: $shot"
