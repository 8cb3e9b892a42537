#!/usr/bin/env bash
# Builds one libFuzzer target with clang (CMake's BRAMBLESHOT_FUZZ build: ASan, UBSan and
# clang's integer checks) and runs it for a while.
#   scripts/fuzz.sh mesh|bitmap|wav|demo|scores|ppm|measurewav SECONDS      (SECONDS 0: until interrupted)
# Seeds come from fuzz/corpus/TARGET (never written to); new inputs and any crash go under
# build/fuzz/ (FUZZ_BUILD). Exits non-zero if the fuzzer finds a crash, leak, hang or UB.
set -euo pipefail
cd "$(dirname "$0")/.."

target=${1:?usage: scripts/fuzz.sh mesh|bitmap|wav|demo|scores|ppm|measurewav SECONDS}
seconds=${2:-60}
out=${FUZZ_BUILD:-build/fuzz}
cxx=${FUZZ_CXX:-clang++-14}

case "$target" in
  mesh|bitmap|wav|demo|scores|ppm|measurewav) ;;
  *) echo "unknown fuzz target: $target (mesh, bitmap, wav, demo, scores, ppm or measurewav)" >&2; exit 2 ;;
esac

mkdir -p "$out/$target-corpus" "$out/$target-artifacts"
cmake -S . -B "$out/cmake" -DCMAKE_CXX_COMPILER="$cxx" -DCMAKE_BUILD_TYPE=Debug \
  -DCMAKE_CXX_FLAGS_DEBUG="-g -O1" -DBRAMBLESHOT_FUZZ=ON -DBRAMBLESHOT_TESTS=OFF > /dev/null
cmake --build "$out/cmake" -j "${JOBS:-$(nproc)}" --target "${target}_fuzz"
binary="$out/cmake/fuzz/${target}_fuzz"

echo "fuzzing $target for ${seconds}s"
# -close_fd_mask=1 silences the loaders' messages on standard output; -rss_limit_mb and the
# malloc limit catch an allocation sized from the input.
exec env UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 "$binary" \
  -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -malloc_limit_mb=512 \
  -max_len=16384 -close_fd_mask=1 -print_final_stats=1 \
  -artifact_prefix="$out/$target-artifacts/" -dict="fuzz/$target.dict" \
  "$out/$target-corpus" "fuzz/corpus/$target"
