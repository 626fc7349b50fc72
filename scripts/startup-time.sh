#!/bin/sh
# Measures how fast the window opens: the time from starting the program to
# its first mapped window, against an empty Qt window of the same size
# (723x505), on a private Xvfb display without a window manager.
#
#   scripts/startup-time.sh [RUNS] [PROGRAM]
#
# Runs the two programs alternately RUNS times each (default 20) in the
# sample data folder, PROGRAM being the dropcalc of the build folder unless
# named, and prints for each the median wall time and main-thread CPU time to
# the mapping
# in milliseconds, and the ratio of the medians. A first run of each, not
# counted, brings the libraries into memory.
#
# startup/mapwait.c takes the times: wall time from the fork to the MapNotify
# of the first top-level window, seen on the root window; the CPU time of the
# main thread from /proc/PID/schedstat at that moment (work done meanwhile
# by other threads is not in it; the wall time is the figure that counts). The empty window (startup/emptywindow.cpp)
# is built with the same Qt. Builds the program in build/ (or $BUILD_DIR)
# first; needs Xvfb, the X11 headers and pkg-config.
set -eu

root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build}
runs=${1:-20}
program=${2:-$build/dropcalc}
tools=$build/startup-time
mkdir -p "$tools"

if [ ! -f "$build/CMakeCache.txt" ]; then
    cmake -S "$root" -B "$build" >/dev/null
fi
cmake --build "$build" -j2 --target dropcalc >/dev/null
cc -O2 -o "$tools/mapwait" "$root/scripts/startup/mapwait.c" -lX11
# shellcheck disable=SC2046
c++ -O2 -fPIC -o "$tools/emptywindow" "$root/scripts/startup/emptywindow.cpp" \
    $(pkg-config --cflags --libs Qt6Widgets)

# Xvfb picks a free display and writes its number once it is ready.
: >"$tools/display"
Xvfb -displayfd 3 -noreset -screen 0 1280x1024x24 -nolisten tcp 3>"$tools/display" >/dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null' EXIT INT TERM
while [ ! -s "$tools/display" ]; do sleep 0.1; done
display=:$(cat "$tools/display")

export DISPLAY="$display"
unset QT_QPA_PLATFORM WAYLAND_DISPLAY
export XDG_RUNTIME_DIR="$tools/runtime"
mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
cd "$root/examples/data"
: >"$tools/empty.txt"
: >"$tools/dropcalc.txt"
"$tools/mapwait" "$tools/emptywindow" >/dev/null
"$tools/mapwait" "$program" >/dev/null
i=0
while [ "$i" -lt "$runs" ]; do
    "$tools/mapwait" "$tools/emptywindow" >>"$tools/empty.txt"
    "$tools/mapwait" "$program" >>"$tools/dropcalc.txt"
    i=$((i + 1))
done

median() { sort -n -k"$2" "$1" | awk -v k="$2" '{ v[NR] = $k } END {
    m = NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2; printf "%.1f", m }'; }
empty_wall=$(median "$tools/empty.txt" 1)
empty_cpu=$(median "$tools/empty.txt" 2)
app_wall=$(median "$tools/dropcalc.txt" 1)
app_cpu=$(median "$tools/dropcalc.txt" 2)
echo "runs: $runs each, alternating; median milliseconds to the first mapped window"
echo "empty window: wall $empty_wall  main-thread cpu $empty_cpu"
echo "dropcalc:     wall $app_wall  main-thread cpu $app_cpu"
awk -v a="$app_wall" -v e="$empty_wall" -v c="$app_cpu" -v d="$empty_cpu" \
    'BEGIN { printf "ratio: wall %.2fx  cpu %.2fx\n", a / e, c / d }'
