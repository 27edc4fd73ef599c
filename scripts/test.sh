#!/usr/bin/env bash
# Fresh machine to green tests: installs the Debian packages, builds, runs CTest.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
bash "$root/scripts/build.sh"
cd "$root/build"
ctest --output-on-failure -j"$(nproc)" "$@"
