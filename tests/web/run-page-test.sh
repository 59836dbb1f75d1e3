#!/usr/bin/env bash
# The audition page in headless chromium (web/test/page-test.mjs): builds the page into
# WORK/site with the given tool (its WebAssembly module in WORK/wasm), then drives it. Skips
# (exit 77) with the reason when the browser, node, the test's node modules or emscripten are
# missing.
#
#   run-page-test.sh SOURCE_DIR CRUMLET WORK
set -euo pipefail
source_dir=$1 crumlet=$2 work=$3
skip() {
  echo "SKIP: $*"
  exit 77
}
[ -x /usr/bin/chromium ] || [ -n "${CRUMLET_CHROMIUM:-}" ] || skip "no chromium (scripts/setup.sh installs it)"
command -v node >/dev/null || skip "no node (scripts/setup.sh installs it)"
[ -d "$source_dir/web/test/node_modules/puppeteer-core" ] ||
  skip "puppeteer-core is not installed (npm ci --prefix $source_dir/web/test)"
command -v em++ >/dev/null || skip "no em++ (scripts/setup.sh installs emscripten)"
mkdir -p "$work"
CRUMLET=$crumlet CRUMLET_WEB_WASM_BUILD=$work/wasm "$source_dir/scripts/build-web.sh" "$work/site" >"$work/build.log" 2>&1 || {
  cat "$work/build.log"
  exit 1
}
exec node "$source_dir/web/test/page-test.mjs" --site "$work/site" --crumlet "$crumlet" --work "$work/run"
