# Shared by wine-env.sh and wine-run.sh: the environment of the test prefix.
wine_environment() {
    local dir=$1
    export WINEPREFIX="$dir/prefix"
    export WINEARCH=win32
    export WINEDEBUG=-all
    # No Mono or Gecko installer may wait for an answer.
    export WINEDLLOVERRIDES="mscoree,mshtml="
    # Italian regional settings: formatted amounts, dates and month names.
    export LANG=it_IT.UTF-8 LC_ALL=it_IT.UTF-8
    if [ -f "$dir/display" ]; then
        DISPLAY=":$(cat "$dir/display")"
        export DISPLAY
    fi
}
