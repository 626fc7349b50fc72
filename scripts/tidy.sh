#!/bin/sh
# Lists clang-tidy's findings on the project's own sources (the core, the tool
# and the window; not the tests), one a line, and exits 1 when there are any.
#
#   scripts/tidy.sh [BUILD_DIR]
#
# Needs a configured build folder (compile_commands.json; default build/) in
# which the window's generated files were built, as the test command does.
set -eu

root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
[ -f "$build/compile_commands.json" ] || {
    echo "tidy.sh: no $build/compile_commands.json; configure with cmake -S . -B $build first" >&2
    exit 2
}

out=$(mktemp)
trap 'rm -f "$out" "$out.compiled"' EXIT
cd "$root"
# Only what this build compiles: another system's sources (data/*_win.cpp)
# are not in its compile commands.
sed -n "s|^ *\"file\": \"$root/\(.*\)\",*\$|\1|p" "$build/compile_commands.json" >"$out.compiled"
git ls-files 'results/*.cpp' 'data/*.cpp' 'search/*.cpp' 'check/*.cpp' 'cli/*.cpp' 'app/*.cpp' |
    grep -F -x -f "$out.compiled" |
    xargs -P 2 -n 4 clang-tidy --quiet -p "$build" >"$out" 2>/dev/null || true
findings=$(grep -E '^/.*: (warning|error): ' "$out" | sed "s|^$root/||" | LC_ALL=C sort -u)
if [ -n "$findings" ]; then
    echo "$findings"
    echo "$(echo "$findings" | wc -l) clang-tidy findings" >&2
    exit 1
fi
echo "no clang-tidy findings"
