#!/usr/bin/env bash
# Runs every test: native (Release), native under AddressSanitizer + UndefinedBehaviorSanitizer
# and under ThreadSanitizer (Debug), every target compiled with clang, the XML reader's fuzz target
# for a bounded time, the 32-bit Windows build (Release; its module and C programs under 32-bit
# Wine where it is installed) and the Windows build under Wine. Stops at the first failing stage.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
jobs=${KVLOG_JOBS:-$(nproc)}

stage() { printf '\n==== %s ====\n' "$1"; }

build() { # folder, cmake options... (a later -DCMAKE_BUILD_TYPE wins over Debug; KVLOG_TARGETS limits)
    local dir=$1
    shift
    cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Debug "$@" >"$dir.configure.log" 2>&1 ||
        { cat "$dir.configure.log"; return 1; }
    # shellcheck disable=SC2086 # the target list splits at blanks
    ninja -C "$dir" -j "$jobs" ${KVLOG_TARGETS:-} >"$dir.build.log" 2>&1 ||
        { tail -n 80 "$dir.build.log"; return 1; }
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
build build/clang -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_C_COMPILER=clang -DKVLOG_BUILD_BENCH=ON

if [ -x tools/run-fuzz.sh ]; then
    stage "fuzzing the XML reader"
    tools/run-fuzz.sh build/fuzz
fi

wineprefix=$(mktemp -d)
trap 'wineserver -k >/dev/null 2>&1 || true; rm -rf "$wineprefix"' EXIT
export WINEPREFIX=$wineprefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
{ /usr/lib/wine/wine64 wineboot --init || wineboot --init; } >/dev/null 2>&1 || true

# A Wine server and desktop started by a test would inherit that test's output pipe and keep ctest
# waiting for it to close: they are started here, without it, and kept until the end.
start_wine() {
    wineserver -p >/dev/null 2>&1 </dev/null || true
    { /usr/lib/wine/wine64 wineboot || wineboot; } >/dev/null 2>&1 </dev/null || true
}

stage "Windows 32-bit (MinGW-w64 i686), Release"
# The module, the programs of its C and C++ interfaces and the utility tests (the registry views
# among them) only: the rest of the code is the same as in the 64-bit build. They run under
# 32-bit Wine (wine32:i386); without it they are compiled and the import library is checked,
# which needs no Wine. The 64-bit zip takes the 32-bit module from here.
KVLOG_TARGETS="kvlog kvlog_msvc_import_library kvlog_c_program kvlog_same_log_program utility_tests" \
    build build/windows32 -DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-i686.cmake
windows32_tests=capi_import_library
if dpkg-query -W -f='${Status}' wine32:i386 2>/dev/null | grep -q "install ok installed" &&
    wine --version >/dev/null 2>&1; then
    windows32_tests="capi_|utility_tests"
else
    # Without it, or on a kernel that runs no 32-bit programs, only the import library is checked.
    echo "32-bit Wine (wine32:i386) is not installed or cannot run here: the 32-bit build is compiled, not run"
fi
start_wine
ctest --test-dir build/windows32 --output-on-failure -j "$jobs" -R "$windows32_tests"

stage "Windows (MinGW-w64) under Wine, with the 32-bit module in its zip"
build build/windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
    -DKVLOG_X86_BUILD_DIR="$root/build/windows32"
start_wine
ctest --test-dir build/windows --output-on-failure -j "$jobs"

stage "all test stages passed"
