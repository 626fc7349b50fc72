#!/usr/bin/env bash
# The web edition: the core and the tool's commands in WebAssembly, and the
# page in web/.
#
#   scripts/web.sh build         puts the site into build-web/site/ (index.html
#                                at its top, the sample data in sample/, the
#                                app's manifest, icons and service worker)
#   scripts/web.sh serve [PORT]  builds it and serves it on 127.0.0.1:PORT
#                                (default 8080) until Ctrl+C
#   scripts/web.sh test          builds it with the core's tests, runs them and
#                                the module's hostile rows under Node, and the
#                                page's tests in headless Chromium
#   scripts/web.sh bench         every search at scale 100 and a monster over
#                                an 8 MB drop table, in Node against the native
#                                tool (within twice its time); and the page's
#                                times in headless Chromium against their
#                                limits (the scale-1000 folder opened within
#                                1,000 ms, in under twice its largest file and
#                                150 MB, its item search and every search at
#                                scale 100 within twice the tool's time; the
#                                scale-300 folder's opening and item search),
#                                ready within 1,000 ms of opening, 427 files
#                                loaded within 1,000 ms, no pause over 250 ms
#                                while a 200 MB file is read)
#
# Needs what scripts/install-deps.sh --web installs. The site is static: copy
# build-web/site/ to any web server.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
out=$root/build-web
site=$out/site
# Emscripten's tools need Debian's Node modules (acorn), which a Node from
# elsewhere does not look for.
export NODE_PATH=/usr/share/nodejs${NODE_PATH:+:$NODE_PATH}
# Debian's Python modules (selenium) are for Debian's Python.
python=/usr/bin/python3

launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)

# The module (and with "tests", the core's tests) built for the browser.
build_module() {
  emcmake cmake -S "$root" -B "$out/cmake" -DCMAKE_BUILD_TYPE=Release "${launcher[@]}" \
    -DDROPCALC_TESTS="$([ "${1:-}" = tests ] && echo ON || echo OFF)" >/dev/null
  cmake --build "$out/cmake" -j2 --target dropcalc-web ${1:+core_tests}
}

# The site: the page, the module, the sample data and its list of files, the
# app's manifest and icons, and the service worker that keeps all of them.
assemble() {
  rm -rf "$site"
  mkdir -p "$site"
  cp "$root"/web/*.html "$root"/web/*.css "$root"/web/*.js "$root"/web/*.webmanifest "$site"/
  cp "$out/cmake/dropcalc-core.js" "$out/cmake/dropcalc-core.wasm" "$site"/
  cp -r "$root/examples/data" "$site/sample"
  (cd "$site/sample" && find . -type f | LC_ALL=C sort | sed 's|^\./||' |
    node -e 'const lines = require("fs").readFileSync(0, "utf8").split("\n").filter(Boolean);
             process.stdout.write(JSON.stringify(lines) + "\n")' >files.json)
  # The desktop icon, and the sizes an installed app needs.
  cp "$root/packaging/dropcalc.svg" "$site/icon.svg"
  for size in 192 512; do
    rsvg-convert -w "$size" -h "$size" "$root/packaging/dropcalc.svg" -o "$site/icon-$size.png"
  done
  # The service worker learns every file of the site, and a build name that
  # changes with any of them: a changed site is a changed worker, which the
  # browser installs in place of the old one.
  # shellcheck disable=SC2016 # the ${...} are JavaScript's own
  (cd "$site" && find . -type f ! -name sw.js | LC_ALL=C sort | sed 's|^\./||' |
    node -e 'const fs = require("fs");
             const files = fs.readFileSync(0, "utf8").split("\n").filter(Boolean);
             const hash = require("crypto").createHash("sha256");
             for (const file of files) hash.update(`${file}\0${fs.readFileSync(file).length}\0`).update(fs.readFileSync(file));
             const build = hash.digest("hex").slice(0, 16);
             const worker = fs.readFileSync("sw.js", "utf8")
               .replace(/^const BUILD = .*;$/m, () => `const BUILD = ${JSON.stringify(build)};`)
               .replace(/^const FILES = .*;$/m, () => `const FILES = ${JSON.stringify(files)};`);
             if (!worker.includes(build) || !worker.includes(JSON.stringify(files)))
               throw new Error("sw.js: no BUILD or FILES line to fill in");
             fs.writeFileSync("sw.js", worker);
             console.log(`web.sh: build ${build}, ${files.length} files`);')
  echo "web.sh: the site is in $site"
}

# The native tool that the page's answers are compared with.
native_cli() {
  if [ -x "${DROPCALC_CLI:-}" ]; then
    echo "$DROPCALC_CLI"
    return
  fi
  cmake -S "$root" -B "$out/native" -DDROPCALC_GUI=OFF -DDROPCALC_TESTS=OFF "${launcher[@]}" >/dev/null
  cmake --build "$out/native" -j2 --target dropcalc-cli >/dev/null
  echo "$out/native/dropcalc-cli"
}

case "${1:-}" in
build)
  build_module
  assemble
  ;;
serve)
  build_module
  assemble
  echo "web.sh: serving on http://127.0.0.1:${2:-8080}/ (Ctrl+C ends)"
  exec "$python" -m http.server --bind 127.0.0.1 --directory "$site" "${2:-8080}"
  ;;
test)
  build_module tests
  assemble
  cli=$(native_cli)
  ctest --test-dir "$out/cmake" --output-on-failure
  node "$root/tests/web/api_test.js" "$site"
  "$python" "$root/tests/web/page_test.py" --site "$site" --cli "$cli" --shots "${DROPCALC_SHOTS:-$out/shots}"
  ;;
bench)
  build_module
  cmake -S "$root" -B "$out/native-bench" -DCMAKE_BUILD_TYPE=Release -DDROPCALC_GUI=OFF \
    -DDROPCALC_TESTS=OFF -DDROPCALC_BENCH=ON "${launcher[@]}" >/dev/null
  cmake --build "$out/native-bench" -j2 --target dropcalc-bench dropcalc-cli >/dev/null
  "$out/native-bench/dropcalc-bench" --scale 100 --only "item, all" --keep "$out/bench"
  "$out/native-bench/dropcalc-bench" --scale 300 --only "item, all" --keep "$out/bench300"
  "$out/native-bench/dropcalc-bench" --scale 1000 --only "item, all" --keep "$out/bench1000"
  # The sample with a drop table of 8 MB: its lines over and over.
  rm -rf "$out/long" && mkdir -p "$out/long" && cp -r "$root/examples/data" "$out/long/data"
  lurker=$out/long/data/Normal/lurker.txt
  for _ in $(seq 1 16); do cat "$lurker" "$lurker" >"$lurker.twice" && mv "$lurker.twice" "$lurker"; done
  status=0
  node "$root/bench/web.js" "$out/cmake/dropcalc-core.js" "$out/native-bench/dropcalc-cli" \
    "$out/bench/data" "$out/long/data" || status=$?
  # The page's times, which its tests leave alone: they depend on what else
  # the machine runs.
  assemble
  "$python" "$root/tests/web/page_test.py" --site "$site" --cli "$out/native-bench/dropcalc-cli" \
    --bench --scale100 "$out/bench/data" --scale300 "$out/bench300/data" --scale1000 "$out/bench1000/data" \
    || status=$?
  exit "$status"
  ;;
*)
  sed -n '2,24p' "$0" | sed 's/^# \{0,1\}//'
  exit 2
  ;;
esac
