#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (instrumented for coverage, ASan and
# UBSan) and runs each for a bounded number of inputs from its seed corpus.
# Exits non-zero on any crash or sanitizer finding. Skipped without clang.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build_dir="$root/build/fuzz"
runs=${KV_FUZZ_RUNS:-500000}

if ! command -v clang++ >/dev/null 2>&1; then
  echo "clang++ not found: fuzzers skipped"
  exit 0
fi
if [ ! -f "$build_dir/build.ninja" ]; then
  CC=clang CXX=clang++ cmake -S "$root" -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DKV_BUILD_FUZZERS=ON -DKV_BUILD_TESTS=OFF -DKV_BUILD_BENCH=OFF
fi
cmake --build "$build_dir" --target fuzz_map_file

# A scratch copy of the seeds, so what a run discovers does not pile up.
corpus=$(mktemp -d)
trap 'rm -rf "$corpus"' EXIT
cp "$build_dir"/fuzz/map_corpus/* "$corpus"/
(cd "$corpus" && "$build_dir/fuzz/fuzz_map_file" -runs="$runs" -seed=1 -max_len=8192 -print_final_stats=1 \
  -artifact_prefix="$build_dir/fuzz/" "$corpus")
