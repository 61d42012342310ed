#!/usr/bin/env bash
# Builds the library and runs the demo inside a suite installation of its own under out/suite,
# where it leaves its HTML log and its settings file (folder out/suite/log).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

tools/install-deps.sh # installs only what is missing
cmake -S . -B build/demo -G Ninja -DCMAKE_BUILD_TYPE=Release -DKVLOG_BUILD_TESTS=OFF >/dev/null
ninja -C build/demo kvlog_demo >/dev/null

suite=$root/out/suite
mkdir -p "$suite/ctrl" "$suite/log"
touch "$suite/ctrl/RVT.exe" # the marker that makes a folder a suite root
KORVEL_ROOT_DIR=$suite build/demo/bin/kvlog_demo "$@"

echo
echo "Files in $suite/log:"
ls -l "$suite/log"
