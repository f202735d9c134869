#!/usr/bin/env bash
# Builds the libraries, the demo and every test suite with clang, AddressSanitizer and
# UndefinedBehaviorSanitizer into build-sanitize/ and runs the whole test suite there, leak
# checking included. Any sanitizer report fails the run. Extra arguments go to ctest, e.g.
#   ./scripts/run-sanitized.sh -R pictures
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${ORV_SANITIZE_BUILD_DIR:-$root/build-sanitize}"
"$root/scripts/setup.sh" clang libclang-rt-14-dev
# The same instrumented build also holds the fuzz targets (scripts/run-fuzzers.sh). The installed
# package is checked by the ordinary test run: a consumer built without the sanitizers could not
# link these libraries.
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
      -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g1" \
      -DORV_SANITIZE=ON -DORV_BUILD_FUZZ=ON -DORV_BUILD_TESTS=ON -DORV_BUILD_BENCH=OFF -DORV_INSTALL=OFF >/dev/null
cmake --build "$build"
source "$root/scripts/sanitizer-env.sh"
export QT_QPA_PLATFORM=offscreen
cd "$build"
ctest --output-on-failure -j2 --timeout 1800 "$@"
