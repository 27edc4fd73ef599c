#!/usr/bin/env bash
# Fresh machine to speech: installs, builds, and synthesises the built-in
# default utterance into ./quorvel-demo.wav.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
bash "$root/scripts/build.sh"
"$root/build/synth/quorvel" -o "$root/quorvel-demo.wav" "$@"
