#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (instrumented for coverage, ASan and
# UBSan) and runs each for a bounded number of inputs from its seed corpus.
# Exits non-zero on any crash or sanitizer finding. Skipped without clang.
#   KV_FUZZ_RUNS      inputs for each file fuzzer (500000)
#   KV_FUZZ_NET_RUNS  inputs for the network fuzzer, which plays each one
#                     into a fresh battle with its physics (a twentieth)
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build_dir="$root/build/fuzz"
runs=${KV_FUZZ_RUNS:-500000}
net_runs=${KV_FUZZ_NET_RUNS:-$((runs / 20))}

if ! command -v clang++ >/dev/null 2>&1; then
  echo "clang++ not found: fuzzers skipped"
  exit 0
fi
if [ ! -f "$build_dir/build.ninja" ]; then
  CC=clang CXX=clang++ cmake -S "$root" -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DKV_BUILD_FUZZERS=ON -DKV_BUILD_TESTS=OFF -DKV_BUILD_BENCH=OFF
fi
cmake --build "$build_dir" --target fuzz_map_file fuzz_mesh_file fuzz_net_packet

# Each fuzzer runs on a scratch copy of its seeds, so what a run discovers
# does not pile up.
corpus=""
trap 'rm -rf "$corpus"' EXIT
for target in map_file mesh_file net_packet; do
  what=${target%%_*}
  corpus=$(mktemp -d)
  cp "$build_dir"/fuzz/${what}_corpus/* "$corpus"/
  target_runs=$runs
  if [ "$target" = net_packet ]; then
    target_runs=$net_runs
  fi
  (cd "$corpus" && "$build_dir/fuzz/fuzz_${target}" -runs="$target_runs" -seed=1 -max_len=8192 -print_final_stats=1 \
    -artifact_prefix="$build_dir/fuzz/" "$corpus")
  rm -rf "$corpus"
done
