#!/usr/bin/env bash
# Rebuilds tests/data/versionfixture.dll, the library whose version resource the file-version
# tests read on every platform. Needs the MinGW-w64 cross tools; commit the result.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
source_dir=$root/tests/data/versionfixture
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

x86_64-w64-mingw32-windres --input-format=rc --output-format=coff \
    -o "$work/VersionFixture.res.o" "$source_dir/VersionFixture.rc"
x86_64-w64-mingw32-gcc-posix -O2 -c -o "$work/VersionFixture.o" "$source_dir/VersionFixture.c"
# No C runtime: the library only has to load and carry its resource.
x86_64-w64-mingw32-gcc-posix -shared -nostdlib -s -Wl,--entry,VersionFixtureEntry \
    -Wl,--no-insert-timestamp -o "$root/tests/data/versionfixture.dll" \
    "$work/VersionFixture.o" "$work/VersionFixture.res.o"
echo "written: $root/tests/data/versionfixture.dll"
