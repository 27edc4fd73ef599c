#!/usr/bin/env bash
# The Octave package as a new user meets it:
#   octave_package.sh PACKAGE.tar.gz WORK_DIR QUORVEL_CLI EXAMPLES_DIR VERSION
# installs it with `pkg install` into a fresh user folder (HOME is WORK_DIR),
# then, in a second Octave session, loads it with `pkg load` and runs its
# functions (octave_package_check.m).
set -euo pipefail
tarball=$1 work=$2 cli=$3 examples=$4 version=$5
here="$(cd "$(dirname "$0")" && pwd)"
rm -rf "$work"
mkdir -p "$work/home"
export HOME="$work/home"
octave=(octave-cli --no-gui --norc --quiet)
# -local: as root, pkg would otherwise install for every user of the machine.
if ! "${octave[@]}" --eval "pkg install -local '$tarball'" >"$work/install.log" 2>&1; then
  cat "$work/install.log"
  echo "FAIL: pkg install" >&2
  exit 1
fi
# The samples the command-line program writes unscaled, to compare with.
"$cli" "$examples/asa.json" --raw -o "$work/asa_cli.wav" >/dev/null
cd "$work"
QUORVEL_EXPECTED_VERSION="$version" QUORVEL_EXAMPLES="$examples" QUORVEL_WORK="$work" \
  "${octave[@]}" --eval "run('$here/octave_package_check.m')"
