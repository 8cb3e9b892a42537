#!/usr/bin/env bash
# Builds one libFuzzer target with clang (ASan + UBSan) and runs it for a while. The file
# loaders are also built with clang's integer checks: any overflow, wrap-around or lossy
# conversion in them is an error, as none of their arithmetic is meant to wrap.
#   scripts/fuzz.sh mesh|bitmap|wav|demo|scores|ppm SECONDS      (SECONDS 0: until interrupted)
# Seeds come from fuzz/corpus/TARGET (never written to); new inputs and any crash go under
# build/fuzz/ (FUZZ_BUILD). Exits non-zero if the fuzzer finds a crash, leak, hang or UB.
set -euo pipefail
cd "$(dirname "$0")/.."

target=${1:?usage: scripts/fuzz.sh mesh|bitmap|wav|demo|scores|ppm SECONDS}
seconds=${2:-60}
out=${FUZZ_BUILD:-build/fuzz}
cxx=${FUZZ_CXX:-clang++-14}

include=()
integer=()  # clang's integer checks, for targets whose code never means to wrap
case "$target" in
  mesh) sources=(fuzz/mesh_fuzz.cpp src/assets/mesh.cpp src/assets/vec.cpp src/assets/material.cpp
              src/assets/resource_file.cpp)
        extra=(-dict=fuzz/mesh.dict) libs=(-lGL) integer=(-fsanitize=integer) ;;
  bitmap) sources=(fuzz/bitmap_fuzz.cpp src/assets/bitmap.cpp src/assets/resource_file.cpp)
          extra=(-dict=fuzz/bitmap.dict) libs=(-lGL) integer=(-fsanitize=integer) ;;
  wav) sources=(fuzz/wav_fuzz.cpp src/audio/wav.cpp src/assets/resource_file.cpp)
       extra=(-dict=fuzz/wav.dict) libs=() integer=(-fsanitize=integer) ;;
  demo) sources=(fuzz/demo_fuzz.cpp src/demo/demo_reader.cpp)
        extra=(-dict=fuzz/demo.dict) libs=() integer=(-fsanitize=integer) ;;
  scores) sources=(fuzz/scores_fuzz.cpp src/scores/score_table.cpp)
          extra=(-dict=fuzz/scores.dict) libs=() integer=(-fsanitize=integer) ;;
  ppm) sources=(fuzz/ppm_fuzz.cpp tools/common/ppm_stream.cpp) include=(-Itools/common)
       extra=(-dict=fuzz/ppm.dict) libs=() integer=(-fsanitize=integer) ;;
  *) echo "unknown fuzz target: $target (mesh, bitmap, wav, demo, scores or ppm)" >&2; exit 2 ;;
esac

mkdir -p "$out/$target-corpus" "$out/$target-artifacts"
binary="$out/${target}_fuzz"
"$cxx" -std=c++20 -g -O1 -fno-omit-frame-pointer \
  -fsanitize=fuzzer,address,undefined "${integer[@]}" -fno-sanitize-recover=all \
  -fsanitize-ignorelist=fuzz/integer.ignore \
  -Isrc "${include[@]}" "${sources[@]}" "${libs[@]}" -o "$binary"

echo "fuzzing $target for ${seconds}s"
# -close_fd_mask=1 silences the loaders' messages on standard output; -rss_limit_mb and the
# malloc limit catch an allocation sized from the input.
exec env UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 "$binary" \
  -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -malloc_limit_mb=512 \
  -max_len=16384 -close_fd_mask=1 -print_final_stats=1 \
  -artifact_prefix="$out/$target-artifacts/" "${extra[@]}" \
  "$out/$target-corpus" "fuzz/corpus/$target"
