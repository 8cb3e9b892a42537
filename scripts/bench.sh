#!/usr/bin/env bash
# Builds the benchmark with optimisation in its own build directory and runs it under an X
# display (a private Xvfb when DISPLAY is unset). Prints one table; writes build/bench.json.
#   scripts/bench.sh [brambleshot_bench options, e.g. --quick]
set -euo pipefail
cd "$(dirname "$0")/.."

build=${BENCH_BUILD:-build/bench}
jobs=${JOBS:-$(nproc)}

scripts/install-deps.sh bench
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DBRAMBLESHOT_TESTS=OFF \
  -DBRAMBLESHOT_BENCH=ON >/dev/null
cmake --build "$build" -j "$jobs" --target brambleshot brambleshot_bench brambleshot_bench_shaders \
  bench_tests
"$build/tools/bench/bench_tests"
scripts/with-display.sh "$build/tools/bench/brambleshot_bench" --json build/bench.json "$@"
# The pace once more through the drawing layer's shaders, beside the classic build's again:
# two rounds, the two builds taking turns (build/bench-pace-*.json keep the last round).
for round in 1 2; do
  for bench in brambleshot_bench brambleshot_bench_shaders; do
    scripts/with-display.sh "$build/tools/bench/$bench" --only pace --pace-runs 1 \
      --json "build/bench-pace-$bench.json" "$@" | grep -E "^ *pace|steps/s" || true
  done
done
