#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, when missing.
# Prints one line per phase; apt-get's full output goes to a log file, whose
# name is printed, and whose last lines are shown when a phase fails.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
pkgs=(cmake g++ make pkg-config libgtest-dev libgmock-dev libbenchmark-dev
      octave liboctave-dev libsndfile1-dev nlohmann-json3-dev libcli11-dev
      clang-format libavformat-dev libavcodec-dev libavutil-dev libswscale-dev ffmpeg sox
      pybind11-dev python3-dev python3-numpy python3-pytest python3-venv python3-pip
      python3-setuptools python3-wheel python3-matplotlib python3-distributed python3-tqdm
      dpkg-dev file libssl-dev)
# Octave's pictures without a display: the gnuplot toolkit, the font it renders with and
# Ghostscript, through which Octave's print writes PNG files.
pkgs+=(gnuplot-nox fonts-freefont-otf ghostscript)
# The page's WebAssembly build and its headless-browser test.
pkgs+=(emscripten chromium chromium-driver python3-selenium)
missing=()
for p in "${pkgs[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
((${#missing[@]})) || exit 0

mkdir -p "$root/build"
log="$root/build/install-deps.log"
: >"$log"
echo "install-deps: ${#missing[@]} Debian packages missing (${missing[*]}); log: $log"
if [[ $(id -u) -ne 0 ]]; then SUDO=sudo; else SUDO=; fi
export DEBIAN_FRONTEND=noninteractive

# phase TEXT COMMAND...: one line for the phase, its output into the log.
phase() {
  local text=$1
  shift
  echo "install-deps: $text"
  if ! "$@" >>"$log" 2>&1; then
    echo "install-deps: failed while $text; the last lines of $log:" >&2
    tail -n 40 "$log" >&2
    exit 1
  fi
}
phase "updating the package lists" $SUDO apt-get update
phase "downloading the packages and their dependencies" \
  $SUDO apt-get install -y --no-install-recommends --download-only "${missing[@]}"
size=$(grep -o 'Need to get [^ ]* [kMG]*B[^ ]* of archives' "$log" | tail -n 1 || true)
[[ -z $size ]] || echo "install-deps: downloaded ${size#Need to get }"
phase "installing" $SUDO apt-get install -y --no-install-recommends "${missing[@]}"
echo "install-deps: done"
