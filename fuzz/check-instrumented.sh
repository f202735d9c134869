#!/usr/bin/env bash
# Fails unless every object file with code in the given static libraries was compiled with
# libFuzzer's coverage counters and AddressSanitizer: a fuzz target learns nothing from code
# without counters, and ASan sees nothing inside it.
#   fuzz/check-instrumented.sh LIBRARY.a...
set -euo pipefail
status=0
for lib in "$@"; do
  name="$(basename "$lib")"
  # Members that define functions of their own (the sanitizers' module constructors aside).
  code="$(nm -A --defined-only "$lib" 2>/dev/null |
    awk '$(NF-1) ~ /^[Tt]$/ && $NF !~ /^(asan|sancov)\./ { split($1, p, ":"); print p[2] }' | sort -u)"
  # Members with a coverage counter section, and members calling ASan's checks.
  counted="$(objdump -h "$lib" | awk '/file format/ { m = $1; sub(/:$/, "", m) } /__sancov_cntrs/ { print m }' | sort -u)"
  checked="$(nm -A -u "$lib" 2>/dev/null | awk '$NF ~ /^__asan_/ { split($1, p, ":"); print p[2] }' | sort -u)"
  if [ -z "$code" ]; then
    echo "$name: no code found"
    status=1
    continue
  fi
  missing="$(comm -23 <(echo "$code") <(echo "$counted"))"
  unchecked="$(comm -23 <(echo "$code") <(echo "$checked"))"
  for m in $missing; do echo "$name($m): no coverage counters"; done
  for m in $unchecked; do echo "$name($m): no AddressSanitizer checks"; done
  [ -z "$missing$unchecked" ] || status=1
  echo "$name: $(wc -l <<<"$code") objects with code checked"
done
exit "$status"
