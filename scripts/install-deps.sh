#!/usr/bin/env bash
# Installs the Debian 12 packages that building, testing and CI need, without
# the packages they merely recommend.
#
#   scripts/install-deps.sh            install them (as root, or through sudo)
#   scripts/install-deps.sh --windows  also the Windows cross compiler and Wine,
#                                      which scripts/windows.sh needs (Wine
#                                      alone is about 1.1 GB)
#   scripts/install-deps.sh --web      also what the web edition needs, and
#                                      axe-core (npm) into tests/web/node_modules
#   scripts/install-deps.sh --list     print them, one a line (after --windows
#                                      or --web: with those too)
set -euo pipefail

packages=(
  # The build, the core's and the tool's tests, the benchmarks.
  build-essential cmake
  libcli11-dev libgtest-dev libbenchmark-dev nlohmann-json3-dev
  # Number reading and writing, both header-only.
  libfast-float-dev libfmt-dev
  # The window and its tests, offscreen; XKB keeps Qt's configure quiet.
  qt6-base-dev libgl-dev libxkbcommon-dev qt6-qpa-plugins qt6-wayland fonts-dejavu-core
  # The fuzzers: clang and its libFuzzer runtime.
  clang libclang-rt-14-dev
  # CI's format and tidy steps.
  clang-format clang-tidy
  # The man page, the validators of the desktop files, the Debian package.
  help2man desktop-file-utils appstream dpkg-dev file
)

# The Windows side: the cross compiler with POSIX threads (std::thread),
# GoogleTest's sources to build for the target, Wine to run the result, zip
# for the package.
windows_packages=(g++-mingw-w64-x86-64-posix googletest wine64 zip)
# The web edition: the compiler, the icon's rasteriser, and the browser, its
# driver and Debian's Python bindings that run the page's tests.
web_packages=(emscripten nodejs librsvg2-bin chromium chromium-driver python3-selenium)
# The accessibility audit of the page's tests, from npm at this version.
axe_core=axe-core@4.14.1
web=false
while [ "${1:-}" = "--windows" ] || [ "${1:-}" = "--web" ]; do
  if [ "$1" = "--windows" ]; then
    packages+=("${windows_packages[@]}")
  else
    packages+=("${web_packages[@]}")
    web=true
  fi
  shift
done

if [ "${1:-}" = "--list" ]; then
  printf '%s\n' "${packages[@]}"
  exit 0
fi

if [ "$(id -u)" -eq 0 ]; then
  as_root=()
elif command -v sudo >/dev/null 2>&1; then
  as_root=(sudo)
else
  {
    echo "install-deps.sh: installing packages needs root, and sudo is not installed."
    echo "Run this as root (for example with su -), then build as yourself:"
    echo "  apt-get update && apt-get install -y --no-install-recommends ${packages[*]}"
  } >&2
  exit 1
fi

export DEBIAN_FRONTEND=noninteractive
"${as_root[@]}" apt-get update -q
"${as_root[@]}" apt-get install -y -q --no-install-recommends "${packages[@]}"

if $web; then
  # A Node.js that comes with its own npm needs no other; Debian's needs its.
  command -v npm >/dev/null || "${as_root[@]}" apt-get install -y -q --no-install-recommends npm
  root=$(cd "$(dirname "$0")/.." && pwd)
  npm install --prefix "$root/tests/web" --no-save --no-package-lock --no-audit --no-fund "$axe_core"
fi
