#!/usr/bin/env bash
# Builds the page and its WebAssembly engine into build-web/site and serves it
# on http://127.0.0.1:PORT/ (default 8017) until interrupted. Nothing is
# fetched at run time: every file the page uses is in build-web/site.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
port="${1:-8017}"
bash "$root/scripts/install-deps.sh"
export NODE_PATH=/usr/share/nodejs  # Debian's emscripten imports its node modules from there
emcmake cmake -S "$root/web" -B "$root/build-web" >/dev/null
cmake --build "$root/build-web" -j"$(nproc)"
echo "serving http://127.0.0.1:$port/ (Ctrl-C stops)"
exec /usr/bin/python3 -m http.server "$port" --bind 127.0.0.1 --directory "$root/build-web/site"
