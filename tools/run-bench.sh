#!/usr/bin/env bash
# Builds the benchmarks in Release and prints the line-path table: lines per second (medians of
# the repetitions) with 1 and 2 threads, the filtered calls in nanoseconds, and the ratios the
# line path is held to, of wall-clock time and of CPU time per line. Files are written below
# build/bench/files (the disk under test); set KVLOG_BENCH_DIR to measure another disk. Extra
# arguments go to the benchmark program, e.g.
#   tools/run-bench.sh --benchmark_repetitions=9
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
build=build/bench
jobs=${KVLOG_JOBS:-$(nproc)}

tools/install-deps.sh
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DKVLOG_BUILD_TESTS=OFF \
    -DKVLOG_BUILD_BENCH=ON >"$build.configure.log" 2>&1 || { cat "$build.configure.log"; exit 1; }
ninja -C "$build" -j "$jobs" kvlog_bench >"$build.build.log" 2>&1 ||
    { tail -n 80 "$build.build.log"; exit 1; }

export KVLOG_BENCH_DIR=${KVLOG_BENCH_DIR:-$root/$build/files}
result=$build/bench.json
# The repetitions of all benchmarks run in random order, so that a spell of other load on the
# machine falls on every row alike rather than on the few that run at the time.
"$build/bin/kvlog_bench" --benchmark_filter='^BM_(Kvlog|Spdlog|Reference|Filtered)' \
    --benchmark_repetitions=5 --benchmark_min_time=0.3 --benchmark_enable_random_interleaving=true \
    --benchmark_report_aggregates_only=true \
    --benchmark_out="$result" --benchmark_out_format=json "$@" >/dev/null 2>"$build.stderr.log"
python3 tools/bench-table.py "$result"
