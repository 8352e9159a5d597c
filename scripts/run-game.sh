#!/usr/bin/env bash
# Builds Kostrivane (installing what it needs) and starts it from its data
# directory. Set KOSTRIVANE_WINDOWED=1 for a 1024x768 window.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build_dir="$root/build/release"
"$root/scripts/setup.sh" "$build_dir" -DCMAKE_BUILD_TYPE=Release -DKV_BUILD_TESTS=OFF -DKV_BUILD_BENCH=OFF
cd "$build_dir/data"
exec "$build_dir/kostrivane" "$@"
