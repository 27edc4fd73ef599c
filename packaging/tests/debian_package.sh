#!/usr/bin/env bash
# Builds the Debian package with CPack and checks it without installing it:
#   debian_package.sh BUILD_DIR WORK_DIR VERSION MEXDIR
# name, declared dependencies, contents (listed in the test output), and the
# unpacked programs and Octave modules run.
set -euo pipefail
build=$1 work=$2 version=$3 mexdir=$4
fail() { echo "FAIL: $*" >&2; exit 1; }
rm -rf "$work"
mkdir -p "$work"
cpack --config "$build/CPackConfig.cmake" -B "$work" >"$work/cpack.log" 2>&1 ||
  { cat "$work/cpack.log"; fail "cpack"; }
deb="$work/quorvel_${version}_amd64.deb"
[[ -f $deb ]] || fail "no $(basename "$deb") (made: $(ls "$work"))"

depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
echo "Recommends: $(dpkg-deb -f "$deb" Recommends)"
for lib in libsndfile1 libavformat libavcodec libswscale libstdc++6; do
  [[ $depends == *"$lib"* ]] || fail "Depends lacks $lib"
done

dpkg-deb -c "$deb" | awk '{print $6}' | grep -v '/$' | tee "$work/contents.txt"
for f in usr/bin/quorvel usr/bin/brellix usr/bin/vantrix usr/lib/libquorvel.a \
         usr/lib/cmake/Quorvel/QuorvelConfig.cmake usr/lib/pkgconfig/quorvel.pc \
         usr/include/quorvel/quorvel_version.h usr/share/quorvel/examples/tracts/a.txt \
         usr/share/doc/quorvel/COPYING; do
  grep -qx "./$f" "$work/contents.txt" || fail "$f is not in the package"
done

dpkg-deb -x "$deb" "$work/root"
v=$("$work/root/usr/bin/quorvel" --version)
[[ $v == "quorvel $version" ]] || fail "unpacked quorvel --version: $v"
help=$("$work/root/usr/bin/quorvel" --help)
[[ $help == *"Score format"* ]] || fail "unpacked quorvel --help"
if [[ $mexdir != none ]]; then
  octave-cli --no-gui --norc --quiet --eval \
    "addpath('$work/root/usr/$mexdir'); assert(strcmp(quorvel_version(), '$version')); \
     assert(any(strfind(evalc('help quorvel'), 'QUORVEL')))" || fail "unpacked Octave modules"
fi
