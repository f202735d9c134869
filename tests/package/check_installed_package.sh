#!/usr/bin/env bash
# Installs the project into a temporary prefix, builds the example application and a file holding
# every installed header against it through find_package, and runs the example without a screen.
# Then configures an application that takes the sources in with add_subdirectory and checks that
# only the libraries come along.
#
#   check_installed_package.sh CMAKE BUILD_DIR SOURCE_DIR CXX_COMPILER GENERATOR [CCACHE]
set -euo pipefail
cmake_command="$1" build="$2" source="$3" compiler="$4" generator="$5" ccache="${6:-}"

work="$(mktemp -d "${TMPDIR:-/tmp}/orv-package.XXXXXX")"
trap 'rm -rf "$work"' EXIT
prefix="$work/prefix"

"$cmake_command" --install "$build" --prefix "$prefix" >/dev/null

# What an installed tree must and must not hold.
fail=0
for header in listview/TOrvListView.h platform/TCustomListView.h markup/DrawMarkup.h; do
  [ -f "$prefix/include/orvlistview/$header" ] || { echo "missing header: $header"; fail=1; }
done
if [ -n "$(find "$prefix/include" -path '*/private/*' -print -quit)" ]; then
  echo "private headers were installed:"; find "$prefix/include" -path '*/private/*'; fail=1
fi
config="$(find "$prefix" -name OrvListViewConfig.cmake -print -quit)"
[ -n "$config" ] || { echo "no OrvListViewConfig.cmake installed"; fail=1; }
# The package must not point back into the tree it was built from.
if grep -rlF -e "$source" -e "$build" "$(dirname "${config:-$prefix}")" 2>/dev/null; then
  echo "the package refers to the source or build tree"; fail=1
fi
[ "$fail" -eq 0 ] || exit 1

args=(-S "$source/tests/package/consumer" -B "$work/build" -G "$generator"
      -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_COMPILER="$compiler"
      -DCMAKE_PREFIX_PATH="$prefix" -DORV_EXAMPLE_DIR="$source/examples")
if [ -n "$ccache" ]; then
  # Paths under the temporary folder are hashed relative to it, so runs share the cache.
  export CCACHE_BASEDIR="$work"
  args+=(-DCMAKE_CXX_COMPILER_LAUNCHER="$ccache")
fi
"$cmake_command" "${args[@]}" >/dev/null
"$cmake_command" --build "$work/build"

QT_QPA_PLATFORM=offscreen "$work/build/example/orvexample" --selftest

"$cmake_command" -S "$source/tests/package/subproject" -B "$work/subproject" -G "$generator" \
  -DCMAKE_CXX_COMPILER="$compiler" -DORV_SOURCE_DIR="$source" -DORV_EXAMPLE_DIR="$source/examples" >/dev/null
echo "add_subdirectory: only the libraries are built"
