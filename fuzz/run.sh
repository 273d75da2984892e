#!/usr/bin/env bash
# Runs both fuzzers for a bounded time and fails on any crash, leak, timeout or memory blow-up.
# Usage: fuzz/run.sh BUILD_DIR [SECONDS]   (the DIB fuzzer gets a sixth of the time)
# The corpora grow in BUILD_DIR/fuzz-corpus; a failing input lands in BUILD_DIR/fuzz-artifacts.
# Inputs that once failed are kept in tests/data and replayed as seeds.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$1
seconds=${2:-180}
corpus=$build/fuzz-corpus
artifacts=$build/fuzz-artifacts/
mkdir -p "$corpus/scene" "$corpus/dib" "$artifacts"
"$here/seeds.sh" "$build/fixtures" "$corpus/seeds-scene" "$corpus/seeds-dib"

# Each input is bounded in size, time and memory; the largest picture the decoder accepts
# (64 Mpixel, as a DIB and drawn) must still fit under the memory limit.
limits=(-timeout=25 -rss_limit_mb=3072 -malloc_limit_mb=1024 -print_final_stats=1
        -artifact_prefix="$artifacts")
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}

"$build/fuzz/rs_fuzz_scene" "${limits[@]}" -max_len=32768 -dict="$here/avi.dict" \
    -max_total_time="$seconds" "$corpus/scene" "$corpus/seeds-scene" "$here/../tests/data"
"$build/fuzz/rs_fuzz_dib" "${limits[@]}" -max_len=4096 \
    -max_total_time=$((seconds / 6 > 10 ? seconds / 6 : 10)) "$corpus/dib" "$corpus/seeds-dib"
