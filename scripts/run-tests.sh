#!/usr/bin/env bash
# Builds and runs the whole test suite twice: an optimised build, then an
# AddressSanitizer + UndefinedBehaviorSanitizer build, and then runs the
# fuzzers for a bounded number of inputs. Installs what it needs first. Exits
# non-zero on any failing test or fuzzer finding.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
jobs=$(nproc)
# The tests set their own video and audio drivers and sanitizer options
# (ctest properties, tests/CMakeLists.txt), so nothing is exported here.

run_suite() {
  local build_dir=$1
  shift
  "$root/scripts/setup.sh" "$build_dir" "$@"
  (cd "$build_dir" && timeout -k 30 1200 ctest --output-on-failure -j "$jobs")
}

echo "== Optimised build"
run_suite "$root/build/test-release" -DCMAKE_BUILD_TYPE=Release
echo "== Formatting (.clang-format)"
(cd "$root" && find src tools tests bench fuzz -name '*.cpp' -o -name '*.h' | sort | xargs clang-format --dry-run --Werror)
echo "== AddressSanitizer + UndefinedBehaviorSanitizer build"
run_suite "$root/build/test-sanitize" -DCMAKE_BUILD_TYPE=Debug -DKV_SANITIZE=ON -DKV_BUILD_BENCH=OFF
echo "== Fuzzers (libFuzzer, bounded runs)"
timeout -k 30 600 "$root/scripts/run-fuzzers.sh"
