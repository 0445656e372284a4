# Shared by wine-env.sh, wine-run.sh and the demo: the environment of a
# Wine prefix for one Windows tree.
#
# wine_environment DIR ARCH   (ARCH: win32 or win64)
#   WINEPREFIX is DIR/prefix. WINE is the loader to call: the 32-bit one for
#   a win32 prefix, the 64-bit one (wine64) for a win64 prefix. Debian's
#   `wine` wrapper cannot be used for win64: it picks the 32-bit loader
#   whenever that is installed, even on a machine that cannot execute it.
wine_loader() {
    local arch=$1 name=wine
    [ "$arch" = win64 ] && name=wine64
    if [ -x "/usr/lib/wine/$name" ]; then
        echo "/usr/lib/wine/$name"
    else
        command -v "$name" || echo "$name"
    fi
}

wine_environment() {
    local dir=$1 arch=$2
    export WINEPREFIX="$dir/prefix"
    export WINEARCH=$arch
    WINE=$(wine_loader "$arch")
    # Programs the prefix starts by itself (rundll32, services, cscript) use
    # the same loader.
    export WINELOADER=$WINE
    export WINEDEBUG=-all
    # No Mono or Gecko installer may wait for an answer; and no shortcut a
    # test's installation makes may become a menu entry of the Linux
    # desktop (winemenubuilder).
    export WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe="
    # Italian regional settings: formatted amounts, dates and month names.
    export LANG=it_IT.UTF-8 LC_ALL=it_IT.UTF-8
    if [ -f "$dir/display" ]; then
        DISPLAY=":$(cat "$dir/display")"
        export DISPLAY
    fi
}

# wine_can_run ARCH: whether this machine executes that Wine loader at all.
# Prints the reason in one line when it does not.
wine_can_run() {
    local loader out
    loader=$(wine_loader "$1")
    if out=$("$loader" --version 2>&1); then
        return 0
    fi
    # The shell's own "script: line N:" prefix says nothing about the cause.
    tail -n 1 <<<"$out" | sed -E 's/^.*line [0-9]+: //'

    return 1
}
