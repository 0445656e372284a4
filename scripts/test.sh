#!/usr/bin/env bash
# Installs what is missing, builds the trees and runs every test:
#   build/native  Linux compiler, portable libraries and their tests
#   build/asan    the same under AddressSanitizer and UndefinedBehaviorSanitizer
#   build/fuzz    clang: the libFuzzer targets, each run for a few seconds
#   build/win32   MinGW-w64 i686: deliverables and all tests, run under
#                 32-bit Wine where this machine executes 32-bit code
#   build/win64   MinGW-w64 x86_64: deliverables and all tests, run under
#                 64-bit Wine
# Both Windows trees are always built. Whether a tree's tests can run here is
# found out by trying its Wine loader; a tree that cannot run is named in the
# summary with the reason, and a machine that runs neither fails.
# Exits non-zero when any build or test fails; prints the summaries at the
# end.
set -uo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

bash scripts/install-deps.sh || exit 1

jobs=$(nproc)
summary=()
total_pass=0
total_fail=0
status=0

configure_build() {
    local name=$1 dir=$2
    shift 2
    echo "=== $name: configure and build ($dir)"
    if ! cmake -S "$root" -B "$dir" -G Ninja "$@" >"$dir.configure.log" 2>&1; then
        cat "$dir.configure.log"
        summary+=("$name: configure FAILED")
        status=1
        return 1
    fi
    if ! cmake --build "$dir" -j "$jobs"; then
        summary+=("$name: build FAILED")
        status=1
        return 1
    fi
}

run_tests() {
    local name=$1 dir=$2 parallel=$3 verbose=$4
    echo "=== $name: tests"
    local log="$dir/ctest.log"
    (cd "$dir" && ctest --output-on-failure $verbose -j "$parallel") 2>&1 | tee "$log"
    local rc=${PIPESTATUS[0]}
    local line
    line=$(grep -E '^[0-9]+% tests passed' "$log" | tail -n 1)
    if [ -z "$line" ]; then
        summary+=("$name: no test result")
        status=1
        return
    fi
    local failed all
    failed=$(sed -E 's/.* ([0-9]+) tests? failed out of ([0-9]+).*/\1/' <<<"$line")
    all=$(sed -E 's/.* failed out of ([0-9]+).*/\1/' <<<"$line")
    total_pass=$((total_pass + all - failed))
    total_fail=$((total_fail + failed))
    if [ -n "$verbose" ]; then
        # Each Wine program is one ctest test: count the test cases it ran.
        local cases
        cases=$(grep -E '^[0-9]+: \[==========\] [0-9]+ tests? from .* ran' "$log" |
            awk '{ n += $3 } END { print n + 0 }')
        line="$line ($cases test cases in the programs)"
    fi
    summary+=("$name: $line")
    [ "$rc" -eq 0 ] || status=1
}

run_tree() {
    local name=$1 dir=$2 parallel=$3 verbose=$4
    shift 4
    configure_build "$name" "$dir" "$@" && run_tests "$name" "$dir" "$parallel" "$verbose"
}

mkdir -p build
run_tree native build/native "$jobs" "" -DCMAKE_BUILD_TYPE=Debug
run_tree sanitizers build/asan "$jobs" "" -DCMAKE_BUILD_TYPE=Debug -DTREVALTO_SANITIZE=ON \
    -DCMAKE_C_COMPILER=gcc -DCMAKE_CXX_COMPILER=g++
# Short libFuzzer runs of the readers of outside bytes (clang).
run_tree fuzz build/fuzz 1 "" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTREVALTO_FUZZ=ON \
    -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++

# The Windows trees. One Wine test program at a time: they share the display
# and the wineserver.
source "$root/cmake/wine-common.sh"
windows_ran=0
win32_built=0
if configure_build win32 build/win32 -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake"; then
    win32_built=1
fi
win32_runs=0
if why32=$(wine_can_run win32); then win32_runs=1; fi
if [ "$win32_built" -eq 1 ]; then
    if [ "$win32_runs" -eq 1 ]; then
        run_tests win32 build/win32 1 -V
        windows_ran=1
    else
        summary+=("win32: built; tests not run: 32-bit Wine does not run on this machine ($why32)")
    fi
fi
# The 64-bit tree's test of both Varniko builds side by side needs the 32-bit
# one, where this machine runs it. Its x64 package carries the 32-bit
# Varniko.dll on every machine: the 32-bit tree is built wherever it runs.
varniko32=""
[ "$win32_built" -eq 1 ] && [ "$win32_runs" -eq 1 ] && varniko32="$root/build/win32/bin/Varniko.dll"
if configure_build win64 build/win64 -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-x86_64.cmake" -DTREVALTO_VARNIKO32="$varniko32" \
    -DTREVALTO_WIN32_TREE="$root/build/win32"; then
    if why64=$(wine_can_run win64); then
        run_tests win64 build/win64 1 -V
        windows_ran=1
    else
        summary+=("win64: built; tests not run: 64-bit Wine does not run on this machine ($why64)")
    fi
fi
if [ "$windows_ran" -eq 0 ]; then
    summary+=("Windows: FAILED: no Windows tree's tests could run on this machine")
    status=1
fi

# Our C and C++ files as clang-format writes them (the root .clang-format).
formato=$(git -C "$root" ls-files '*.cpp' '*.cc' '*.c' '*.h' '*.hpp' |
    (cd "$root" && xargs clang-format --dry-run -Werror 2>&1 >/dev/null) |
    grep -oE '^[^:]+\.(cpp|cc|c|h|hpp):' | sort -u | tr -d ':')
if [ -n "$formato" ]; then
    summary+=("format: FAILED, not as clang-format writes them: $(echo $formato)")
    status=1
else
    summary+=("format: every C and C++ file as clang-format writes it")
fi

# The layers: a folder includes only from itself and the folders below it.
strati=""
for regola in "util:util" "jet:util|jet" "database:util|jet|database" \
    "modulelist:util|modulelist" "chart:util|jet|database|chart|modulelist"; do
    cartella=${regola%%:*}
    fuori=$(grep -rhoE '#include "[a-z]+/' "$root/$cartella" | sed -E 's/#include "//; s#/##' |
        sort -u | grep -vE "^(${regola#*:})$" | tr '\n' ' ')
    [ -n "$fuori" ] && strati+="$cartella includes $fuori; "
done
if [ -n "$strati" ]; then
    summary+=("layers: FAILED: $strati")
    status=1
else
    summary+=("layers: util <- jet <- database <- chart, modulelist on util: no include upwards")
fi

# The share of tests among the C and C++ lines: tests, their support, the
# test stand-ins and the fuzz targets on one side, the program on the
# other; benchmarks apart.
quota_test() {
    local file tst=0 prog=0 bench=0 n
    while IFS= read -r file; do
        n=$(wc -l <"$file")
        if [[ "$file" =~ ^bench/ ]]; then
            bench=$((bench + n))
        elif [[ "$file" =~ (^|/)tests?/|_test\.|fuzz ]]; then
            tst=$((tst + n))
        else
            prog=$((prog + n))
        fi
    done < <(git -C "$root" ls-files '*.cpp' '*.cc' '*.c' '*.h' '*.hpp')
    echo "Test lines: $tst, program lines: $prog, tests' share: $((100 * tst / (tst + prog)))% (benchmarks apart: $bench lines)"
}

echo
echo "=== Summary"
for s in "${summary[@]}"; do echo "$s"; done
quota_test
echo "Totale: $total_pass passed, $total_fail failed"
exit $status
