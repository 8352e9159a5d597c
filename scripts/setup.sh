#!/usr/bin/env bash
# Installs the Debian packages the build needs (when any is missing),
# configures and builds one build tree, which also generates the data.
#   scripts/setup.sh <build dir> [extra cmake arguments...]
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build_dir=${1:?usage: setup.sh <build dir> [cmake args]}
shift

packages=(
  cmake ninja-build g++ pkg-config
  libsdl2-dev libsdl2-mixer-dev libepoxy-dev libgl-dev libegl-dev
  libpng-dev libjpeg-dev zlib1g-dev libfreetype-dev
  fonts-dejavu-core
  doctest-dev clang clang-format libclang-rt-14-dev
)

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$package")
  fi
done

if [ ${#missing[@]} -gt 0 ]; then
  install_line="apt-get install -y ${missing[*]}"
  if [ "$(id -u)" -eq 0 ]; then
    apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $install_line
  elif command -v sudo >/dev/null 2>&1; then
    sudo apt-get update -qq
    sudo DEBIAN_FRONTEND=noninteractive $install_line
  else
    echo "Kostrivane needs these Debian packages. Install them as root, then run this again:" >&2
    echo "  $install_line" >&2
    exit 1
  fi
fi

if [ ! -f "$build_dir/build.ninja" ]; then
  cmake -S "$root" -B "$build_dir" -G Ninja "$@"
fi
cmake --build "$build_dir"
