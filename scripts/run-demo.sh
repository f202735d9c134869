#!/usr/bin/env bash
# Sets up the machine, builds, and starts the demo in its data folder.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/setup.sh"
"$root/scripts/build.sh"
build="${ORV_BUILD_DIR:-$root/build}"
# The demo reads and writes its files in the working directory.
work="${ORV_DEMO_DIR:-$build/demo-data}"
mkdir -p "$work"
cp -n "$root"/app/data/*.csv "$work"/ 2>/dev/null || true
cd "$work"
exec "$build/app/orvdemo" "$@"
