#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for a set time (default 60 s).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
seconds="${1:-60}"
build="$root/build-fuzz"
"$root/scripts/setup.sh"
command -v clang++ >/dev/null || { apt-get install -y -qq clang libclang-rt-dev; }
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DORV_BUILD_FUZZ=ON \
      -DORV_BUILD_TESTS=OFF -DORV_BUILD_BENCH=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build"
export QT_QPA_PLATFORM=offscreen
for f in "$build"/fuzz/fuzz_*; do
  name="${f##*/fuzz_}"
  mkdir -p "$build/corpus-$name"
  "$f" -max_total_time="$seconds" "$build/corpus-$name" "$root/fuzz/corpus/$name"
done
