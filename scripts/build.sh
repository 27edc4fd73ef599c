#!/usr/bin/env bash
# Installs what is missing, configures and builds into ./build.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
bash "$root/scripts/install-deps.sh"
# A build folder copied or moved with the checkout still names the old source
# folder in its cache, and CMake refuses to configure it: start it afresh.
cache="$root/build/CMakeCache.txt"
if [[ -f $cache ]]; then
  home=$(sed -n 's/^CMAKE_HOME_DIRECTORY:INTERNAL=//p' "$cache")
  if [[ -n $home && $(cd "$home" 2>/dev/null && pwd -P) != $(cd "$root" && pwd -P) ]]; then
    echo "build.sh: build/ was configured for $home; configuring it afresh for $root"
    rm -rf "$cache" "$root/build/CMakeFiles"
  fi
fi
cmake -S "$root" -B "$root/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$root/build" -j"$(nproc)"
