#!/usr/bin/env bash
# The Windows tool, cross-built with MinGW-w64 and tested under Wine.
#
#   scripts/windows.sh build     core, tool and tests into build-windows/,
#                                with dropcalc-cli.exe at its top
#   scripts/windows.sh test      the tests under Wine (builds first)
#   scripts/windows.sh package   build-windows/dropcalc-cli-VERSION-windows-
#                                x86_64.zip: the .exe, the READMEs, the
#                                licence if there is one, and the sample data
#                                in data/ (builds first)
#
# The test step compares the .exe with the Linux tool of build/, which it
# builds (configured without the window when build/ is new). Wine keeps its
# set-up in WINEPREFIX, by default a folder of build-windows/; its first start
# there takes a minute.
set -euo pipefail
cd "$(dirname "$0")/.."
top=$PWD
out=build-windows

build() {
  cmake -S . -B "$out" -DCMAKE_TOOLCHAIN_FILE="$top/cmake/mingw-w64.cmake" -DDROPCALC_GUI=OFF \
    "$@"
  cmake --build "$out" -j2
}

wine_env() {
  export WINEPREFIX=${WINEPREFIX:-$top/$out/wine}
  export WINEDEBUG=${WINEDEBUG:--all}
  # No window of Wine's own, and no Mono or Gecko installer asked for.
  export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
  export DISPLAY=
}

case "${1:-}" in
build)
  shift
  build "$@"
  ;;
test)
  shift
  wine_env
  [ -f build/CMakeCache.txt ] || cmake -S . -B build -DDROPCALC_GUI=OFF
  cmake --build build -j2 --target dropcalc-cli dropcalc-datagen
  build -DDROPCALC_LINUX_CLI="$top/build/dropcalc-cli" \
    -DDROPCALC_LINUX_DATAGEN="$top/build/tests/dropcalc-datagen" "$@"
  # One server for the whole run: one that ends while the next test starts
  # leaves that test without it.
  wineserver=$(command -v wineserver || echo /usr/lib/wine/wineserver)
  "$wineserver" -p
  trap '"$wineserver" -k' EXIT
  # Wine's services start with the first program and keep its output open;
  # started here, they hold no test's output, for which ctest would wait.
  "$(command -v wine64 || echo /usr/lib/wine/wine64)" cmd /c exit </dev/null >/dev/null 2>&1
  # Now and then Wine fails to start a program, which then prints nothing at
  # all; such a test gets two more tries. A real failure fails all three.
  ctest --test-dir "$out" --output-on-failure -j2 --repeat until-pass:3
  ;;
package)
  build
  version=$(sed -n 's/^project([^)]* VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
  name=dropcalc-cli-$version-windows-x86_64
  stage=$(mktemp -d)
  trap 'rm -rf "$stage"' EXIT
  mkdir "$stage/$name"
  # The debugging information stays in build-windows/.
  x86_64-w64-mingw32-strip -o "$stage/$name/dropcalc-cli.exe" "$out/dropcalc-cli.exe"
  for doc in README.md Readme.txt LICENSE LICENSE.txt COPYING; do
    if [ -f "$doc" ]; then cp "$doc" "$stage/$name/"; fi
  done
  cp -r examples/data "$stage/$name/data"
  rm -f "$out/$name.zip"
  (cd "$stage" && zip -q -r -X "$top/$out/$name.zip" "$name")
  echo "$out/$name.zip"
  ;;
*)
  sed -n '2,16p' "$0" | sed 's/^# \{0,1\}//' >&2
  exit 2
  ;;
esac
