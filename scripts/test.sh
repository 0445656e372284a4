#!/usr/bin/env bash
# Installs what is missing, builds the three trees and runs every test:
#   build/native  Linux compiler, portable libraries and their tests
#   build/asan    the same under AddressSanitizer and UndefinedBehaviorSanitizer
#   build/fuzz    clang: the libFuzzer targets, each run for a few seconds
#   build/win32   MinGW-w64 i686: deliverables and all tests, run under Wine
# Exits non-zero when any build or test fails; prints the three summaries at
# the end.
set -uo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

bash scripts/install-deps.sh || exit 1

jobs=$(nproc)
summary=()
total_pass=0
total_fail=0
status=0

run_tree() {
    local name=$1 dir=$2 parallel=$3 verbose=$4
    shift 4
    echo "=== $name: configure and build ($dir)"
    if ! cmake -S "$root" -B "$dir" -G Ninja "$@" >"$dir.configure.log" 2>&1; then
        cat "$dir.configure.log"
        summary+=("$name: configure FAILED")
        status=1
        return
    fi
    if ! cmake --build "$dir" -j "$jobs"; then
        summary+=("$name: build FAILED")
        status=1
        return
    fi
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

mkdir -p build
run_tree native build/native "$jobs" "" -DCMAKE_BUILD_TYPE=Debug
run_tree sanitizers build/asan "$jobs" "" -DCMAKE_BUILD_TYPE=Debug -DTREVALTO_SANITIZE=ON \
    -DCMAKE_C_COMPILER=gcc -DCMAKE_CXX_COMPILER=g++
# Short libFuzzer runs of the readers of outside bytes (clang).
run_tree fuzz build/fuzz 1 "" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTREVALTO_FUZZ=ON \
    -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++
# One Wine test program at a time: they share the display and the wineserver.
run_tree wine build/win32 1 -V -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake"

echo
echo "=== Summary"
for s in "${summary[@]}"; do echo "$s"; done
echo "Totale: $total_pass passed, $total_fail failed"
exit $status
