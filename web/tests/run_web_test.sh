#!/usr/bin/env bash
# Builds the page with Emscripten into BUILD_DIR and tests it in headless
# chromium (web/tests/test_page.py). Exit status 77 (skipped, with the reason)
# when the toolchain is not installed; scripts/install-deps.sh installs it.
# usage: run_web_test.sh BUILD_DIR NATIVE_QUORVEL SCREENSHOT_PNG
set -euo pipefail
root="$(cd "$(dirname "$0")/../.." && pwd)"
build="$1" quorvel="$2" shot="$3"
missing=()
command -v emcmake >/dev/null || missing+=(emscripten)
command -v chromium >/dev/null || missing+=(chromium)
command -v chromedriver >/dev/null || [[ -x /usr/bin/chromedriver ]] || missing+=(chromium-driver)
/usr/bin/python3 -c 'import selenium' 2>/dev/null || missing+=(python3-selenium)
if ((${#missing[@]})); then
  echo "SKIP: the browser test needs the Debian packages: ${missing[*]} (bash scripts/install-deps.sh)"
  exit 77
fi
# Debian's emscripten tools import their node modules from there.
export NODE_PATH=/usr/share/nodejs
emcmake cmake -S "$root/web" -B "$build" >/dev/null
cmake --build "$build" -j"$(nproc)"
exec /usr/bin/python3 "$root/web/tests/test_page.py" "$build/site" "$quorvel" "$shot"
