#!/bin/sh
# Measures how fast the window opens: the time from starting the program to
# its first mapped window, against an empty Qt window of the same size
# (723x505) and against that window with one label and one line edit, the
# least a window with text costs; on a private Xvfb display without a window
# manager.
#
#   scripts/startup-time.sh [RUNS] [PROGRAM]
#
# Runs the three programs in turn RUNS times each (default 20) in the sample
# data folder, PROGRAM being the dropcalc of the build folder unless named,
# and prints for each the median wall time and main-thread CPU time to the
# mapping in milliseconds, and the ratios of the medians to the empty
# window's. A first run of each, not counted, brings the libraries into
# memory.
#
# startup/mapwait.c takes the times: wall time from the fork to the MapNotify
# of the first top-level window, seen on the root window; the CPU time of the
# main thread from /proc/PID/schedstat at that moment (work done meanwhile by
# other threads is not in it; the wall time is the figure that counts). The
# two reference windows (startup/emptywindow.cpp, startup/textwindow.cpp) are
# built with the same Qt. Builds the program in build/ (or $BUILD_DIR) first;
# needs Xvfb, the X11 headers and pkg-config.
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
for window in emptywindow textwindow; do
    # shellcheck disable=SC2046
    c++ -O2 -fPIC -o "$tools/$window" "$root/scripts/startup/$window.cpp" \
        $(pkg-config --cflags --libs Qt6Widgets)
done

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
: >"$tools/text.txt"
: >"$tools/dropcalc.txt"
"$tools/mapwait" "$tools/emptywindow" >/dev/null
"$tools/mapwait" "$tools/textwindow" >/dev/null
"$tools/mapwait" "$program" >/dev/null
i=0
while [ "$i" -lt "$runs" ]; do
    "$tools/mapwait" "$tools/emptywindow" >>"$tools/empty.txt"
    "$tools/mapwait" "$tools/textwindow" >>"$tools/text.txt"
    "$tools/mapwait" "$program" >>"$tools/dropcalc.txt"
    i=$((i + 1))
done

median() { sort -n -k"$2" "$1" | awk -v k="$2" '{ v[NR] = $k } END {
    m = NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2; printf "%.1f", m }'; }
empty_wall=$(median "$tools/empty.txt" 1)
empty_cpu=$(median "$tools/empty.txt" 2)
echo "runs: $runs each, in turn; median milliseconds to the first mapped window"
for name in empty text dropcalc; do
    wall=$(median "$tools/$name.txt" 1)
    cpu=$(median "$tools/$name.txt" 2)
    case $name in
    empty) label="empty window:" ;;
    text) label="text window: " ;;
    *) label="dropcalc:    " ;;
    esac
    awk -v l="$label" -v w="$wall" -v c="$cpu" -v ew="$empty_wall" -v ec="$empty_cpu" \
        'BEGIN { printf "%s wall %5.1f  main-thread cpu %5.1f  ratio wall %.2fx  cpu %.2fx\n", l, w, c, w / ew, c / ec }'
done
