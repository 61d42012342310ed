#!/usr/bin/env bash
# Runs every test: native (Release), native under AddressSanitizer + UndefinedBehaviorSanitizer
# and under ThreadSanitizer (Debug), every target compiled with clang, the XML reader's fuzz target
# for a bounded time, and the Windows build under Wine. Stops at the first failing stage.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
jobs=${KVLOG_JOBS:-$(nproc)}

stage() { printf '\n==== %s ====\n' "$1"; }

build() { # folder, cmake options... (a later -DCMAKE_BUILD_TYPE wins over Debug)
    local dir=$1
    shift
    cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Debug "$@" >"$dir.configure.log" 2>&1 ||
        { cat "$dir.configure.log"; return 1; }
    ninja -C "$dir" -j "$jobs" >"$dir.build.log" 2>&1 || { tail -n 80 "$dir.build.log"; return 1; }
}

build_and_test() { # folder, cmake options...
    build "$@"
    ctest --test-dir "$1" --output-on-failure -j "$jobs"
}

tools/install-deps.sh # installs only what is missing
mkdir -p build

stage "native, Release"
build_and_test build/native -DCMAKE_BUILD_TYPE=Release -DKVLOG_BUILD_BENCH=ON # benchmarks are built, not run

stage "native, AddressSanitizer + UndefinedBehaviorSanitizer"
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
    build_and_test build/asan -DKVLOG_SANITIZE=address,undefined

stage "native, ThreadSanitizer"
TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1" \
    build_and_test build/tsan -DKVLOG_SANITIZE=thread

stage "every target compiled with clang"
build build/clang -DCMAKE_CXX_COMPILER=clang++ -DKVLOG_BUILD_BENCH=ON

if [ -x tools/run-fuzz.sh ]; then
    stage "fuzzing the XML reader"
    tools/run-fuzz.sh build/fuzz
fi

stage "Windows (MinGW-w64) under Wine"
wineprefix=$(mktemp -d)
trap 'wineserver -k >/dev/null 2>&1 || true; rm -rf "$wineprefix"' EXIT
export WINEPREFIX=$wineprefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
wineboot --init >/dev/null 2>&1 || true
build_and_test build/windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake

stage "all test stages passed"
