#!/bin/sh
# Builds the XML reader's fuzz target with libFuzzer and the address and undefined-behaviour
# sanitizers, then runs it for a bounded time on a copy of the seed corpus.
# Usage: tools/run-fuzz.sh [build-folder] [seconds]   (defaults: build/fuzz, 60)
# Exits non-zero when the build fails or the fuzzer finds a crash, leak or hang.
set -eu

root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-build/fuzz}
seconds=${2:-60}
mkdir -p "$build"
build=$(cd "$build" && pwd)

# The whole utility library, so that the target follows its sources as they change.
sources="$root/tests/fuzz/XmlParseFuzzer.cpp"
sources="$sources $(ls "$root"/source/utility/*.cpp)"
sources="$sources $(ls "$root"/source/framework/*.cpp "$root"/source/framework/posix/*.cpp)"

# shellcheck disable=SC2086 # the source list is split on purpose
${CXX:-clang++} -std=c++17 -g -O1 -fsanitize=fuzzer,address,undefined \
    -fno-sanitize-recover=undefined -I"$root/source/framework" -I"$root/source/utility" \
    $sources -o "$build/XmlParseFuzzer" -lpthread

corpus="$build/corpus"
mkdir -p "$corpus"
cp "$root"/tests/fuzz/corpus/* "$corpus/"
cd "$build"
./XmlParseFuzzer -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
    -max_len=65536 -print_final_stats=1 "$corpus"
