#!/usr/bin/env bash
# Builds the library, its tools and the demo in build/demo (Release, no tests), then runs the demo
# inside a suite installation of its own under out/suite, where it leaves its HTML log and its
# settings file (folder out/suite/log). `cmake --install build/demo --prefix P` installs the build.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

tools/install-deps.sh demo # installs only what is missing
cmake -S . -B build/demo -G Ninja -DCMAKE_BUILD_TYPE=Release -DKVLOG_BUILD_TESTS=OFF
cmake --build build/demo

suite=$root/out/suite
mkdir -p "$suite/ctrl" "$suite/log"
touch "$suite/ctrl/RVT.exe" # the marker that makes a folder a suite root
KORVEL_ROOT_DIR=$suite build/demo/bin/kvlog_demo "$@"

echo
echo "Files in $suite/log:"
ls -l "$suite/log"
