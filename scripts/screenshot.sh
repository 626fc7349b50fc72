#!/bin/sh
# Renders the window after a monster search on the sample data into a PNG,
# without a display (Qt's offscreen platform).
#
#   scripts/screenshot.sh [OUT.png] [MONSTER]
#
# Builds what it needs in build/ (or $BUILD_DIR) first. The default output is
# build/dropcalc-window.png, the default monster "Cave Lurker".
set -eu

root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build}
out=${1:-$build/dropcalc-window.png}
monster=${2:-Cave Lurker}

case $out in
/*) ;;
*) out=$(pwd)/$out ;;
esac

if [ ! -f "$build/CMakeCache.txt" ]; then
    cmake -S "$root" -B "$build" >/dev/null
fi
make -C "$build" -j2 dropcalc-screenshot >/dev/null

cd "$root/examples/data"
QT_QPA_PLATFORM=offscreen "$build/dropcalc-screenshot" "$out" "$monster"
echo "$out"
