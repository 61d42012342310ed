#!/usr/bin/env bash
# Installs the Debian packages that are missing: the "demo" set builds the library, its tools and
# the demo; the "test" set (the default) adds what every test stage needs, and 32-bit Wine where
# Debian's mirror provides it.
# Usage: tools/install-deps.sh [demo|test]
set -euo pipefail

demo_packages=(cmake ninja-build g++)
test_packages=(libgtest-dev googletest libbenchmark-dev libspdlog-dev
               libfmt-dev # the typed {} messages: linked natively, header-only for Windows
               g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix wine wine64 clang libclang-rt-14-dev python3 file
               pkg-config dpkg-dev lintian chromium
               strace # counts the system calls of the line path
               jq # reads every line of a ".jsonl" log file
               rsyslog # the syslog output is tested against a real server
               logrotate) # rotates a mapped log file with copytruncate while its program logs

case ${1:-test} in
    demo) packages=("${demo_packages[@]}") ;;
    test) packages=("${demo_packages[@]}" "${test_packages[@]}") ;;
    *)
        echo "usage: $0 [demo|test]" >&2
        exit 2
        ;;
esac

installed() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"; }

missing=()
for package in "${packages[@]}"; do
    installed "$package" || missing+=("$package")
done

sudo_cmd=()
[ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
export DEBIAN_FRONTEND=noninteractive
if ((${#missing[@]})); then
    echo "Installing: ${missing[*]}"
    "${sudo_cmd[@]}" apt-get install -y --no-install-recommends "${missing[@]}" ||
        { "${sudo_cmd[@]}" apt-get update && "${sudo_cmd[@]}" apt-get install -y --no-install-recommends "${missing[@]}"; }
fi

# 32-bit Wine runs the tests of the 32-bit module. It needs the i386 architecture, whose package
# lists only apt-get update fetches. Without it the 32-bit build is compiled but not run, so a
# failure here only leaves the machine as it was.
if [ "${1:-test}" = test ] && ! installed wine32:i386; then
    echo "Installing: wine32:i386"
    added_i386=no
    if ! dpkg --print-foreign-architectures | grep -qx i386; then
        "${sudo_cmd[@]}" dpkg --add-architecture i386
        added_i386=yes
    fi
    if ! { "${sudo_cmd[@]}" apt-get update &&
           "${sudo_cmd[@]}" apt-get install -y --no-install-recommends wine32:i386; }; then
        echo "32-bit Wine could not be installed: the 32-bit tests will be compiled, not run" >&2
        if [ "$added_i386" = yes ]; then
            "${sudo_cmd[@]}" dpkg --remove-architecture i386 &&
                { "${sudo_cmd[@]}" apt-get update >/dev/null || true; }
        fi
    fi
fi
