#!/usr/bin/env bash
# Builds the libFuzzer targets (clang; the parsers themselves instrumented with coverage, ASan and
# UBSan, in the same build folder as scripts/run-sanitized.sh) and runs each in turn for a set
# time, one at a time, with its dictionary from fuzz/dict/. Prints executions, coverage and corpus
# size per target; fails on any finding (crash, leak, timeout or memory blow-up), whose input
# libFuzzer writes into build-sanitize/fuzz-findings/.
#   ./scripts/run-fuzzers.sh [seconds per target, default 60] [target names...]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
seconds="${1:-60}"
shift || true
build="${ORV_SANITIZE_BUILD_DIR:-$root/build-sanitize}"
"$root/scripts/setup.sh" clang libclang-rt-14-dev
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
      -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g1" \
      -DORV_SANITIZE=ON -DORV_BUILD_FUZZ=ON -DORV_BUILD_TESTS=ON -DORV_BUILD_BENCH=OFF -DORV_INSTALL=OFF >/dev/null
names=("$@")
if ((${#names[@]} == 0)); then
  for src in "$root"/fuzz/*_fuzzer.cpp; do
    n="${src##*/}"
    names+=("${n%_fuzzer.cpp}")
  done
fi
targets=()
for n in "${names[@]}"; do targets+=("fuzz_$n"); done
cmake --build "$build" --target "${targets[@]}"

source "$root/scripts/sanitizer-env.sh"
export QT_QPA_PLATFORM=offscreen
findings="$build/fuzz-findings"
mkdir -p "$findings"
summary=()
failed=0
for n in "${names[@]}"; do
  corpus="$build/fuzz-corpus/$n"
  mkdir -p "$corpus"
  # A hang is an input still running after a minute of wall time: legitimate inputs (a native
  # file declaring two million empty rows) take seconds under the sanitizers, more on a busy
  # machine.
  args=(-max_total_time="$seconds" -timeout=60 -rss_limit_mb=3072 -max_len=262144
        -artifact_prefix="$findings/$n-" -print_final_stats=1)
  [ -f "$root/fuzz/dict/$n.dict" ] && args+=(-dict="$root/fuzz/dict/$n.dict")
  case "$n" in
    rtf | markup | picture | picture_hires)
      # These draw with Qt, whose font and glyph caches grow from input to input: libFuzzer
      # would take every input for a leak and scan the whole heap after it, a tenth of the speed.
      # Their leaks are checked when the sanitized test run replays the corpus.
      args+=(-detect_leaks=0) ;;
  esac
  log="$build/fuzz-$n.log"
  echo "== fuzz_$n for ${seconds}s"
  if "$build/fuzz/fuzz_$n" "${args[@]}" "$corpus" "$root/fuzz/corpus/$n" >"$log" 2>&1; then
    status=ok
  else
    status=FINDING
    failed=1
    tail -40 "$log"
  fi
  execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  cov=$(grep -o 'cov: [0-9]*' "$log" | tail -1 | cut -d' ' -f2)
  ft=$(grep -o 'ft: [0-9]*' "$log" | tail -1 | cut -d' ' -f2)
  files=$(find "$corpus" -type f | wc -l)
  summary+=("$(printf '%-16s %-8s execs %-10s cov %-6s ft %-7s corpus %s files' "$n" "$status" "${execs:-?}" "${cov:-?}" "${ft:-?}" "$files")")
done
printf '%s\n' "${summary[@]}"
exit "$failed"
