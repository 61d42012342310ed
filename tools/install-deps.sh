#!/usr/bin/env bash
# Installs the Debian packages that are missing: the "demo" set builds the library, its tools and
# the demo; the "test" set (the default) adds what every test stage needs.
# Usage: tools/install-deps.sh [demo|test]
set -euo pipefail

demo_packages=(cmake ninja-build g++)
test_packages=(libgtest-dev googletest libbenchmark-dev libspdlog-dev
               g++-mingw-w64-x86-64-posix wine wine64 clang libclang-rt-14-dev python3 file
               pkg-config dpkg-dev chromium
               rsyslog) # rsyslog: the syslog output is tested against a real server

case ${1:-test} in
    demo) packages=("${demo_packages[@]}") ;;
    test) packages=("${demo_packages[@]}" "${test_packages[@]}") ;;
    *)
        echo "usage: $0 [demo|test]" >&2
        exit 2
        ;;
esac

missing=()
for package in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" ||
        missing+=("$package")
done

if ((${#missing[@]})); then
    echo "Installing: ${missing[*]}"
    sudo_cmd=()
    [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
    export DEBIAN_FRONTEND=noninteractive
    "${sudo_cmd[@]}" apt-get install -y --no-install-recommends "${missing[@]}" ||
        { "${sudo_cmd[@]}" apt-get update && "${sudo_cmd[@]}" apt-get install -y --no-install-recommends "${missing[@]}"; }
fi
