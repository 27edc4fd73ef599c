#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, when missing.
set -euo pipefail
pkgs=(cmake g++ make pkg-config libgtest-dev libgmock-dev libbenchmark-dev
      octave liboctave-dev libsndfile1-dev nlohmann-json3-dev libcli11-dev
      clang-format libavformat-dev libavcodec-dev libavutil-dev libswscale-dev ffmpeg sox
      pybind11-dev python3-dev python3-numpy python3-pytest python3-venv python3-pip
      python3-setuptools python3-wheel)
# The page's WebAssembly build and its headless-browser test.
pkgs+=(emscripten chromium chromium-driver python3-selenium)
missing=()
for p in "${pkgs[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  if [[ $(id -u) -ne 0 ]]; then SUDO=sudo; else SUDO=; fi
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -qq
  $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
