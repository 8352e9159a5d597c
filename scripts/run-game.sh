#!/usr/bin/env bash
# Builds Kostrivane (installing what it needs) and starts it from its data
# directory. Set KOSTRIVANE_WINDOWED=1 for a 1024x768 window.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build_dir="$root/build/release"
"$root/scripts/setup.sh" "$build_dir" -DCMAKE_BUILD_TYPE=Release -DKV_BUILD_TESTS=OFF -DKV_BUILD_BENCH=OFF
# A sanitizer build of the game reads the GL driver's leak suppressions from
# here too (they are also built into it).
if [ -f "$root/scripts/lsan.supp" ]; then
  export LSAN_OPTIONS="suppressions=$root/scripts/lsan.supp${LSAN_OPTIONS:+:$LSAN_OPTIONS}"
fi
cd "$build_dir/data"
exec "$build_dir/kostrivane" "$@"
