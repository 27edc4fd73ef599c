#!/usr/bin/env bash
# Checks of an installed tree (cmake --install into a temporary prefix), one
# step per call:  install_tree.sh STEP BUILD_DIR SOURCE_DIR PREFIX VERSION MEXDIR
#   install    installs, then checks that every installed part is in place
#   programs   the installed programs report the release and synthesise
#   cmake      examples/consumer built with find_package(Quorvel) synthesises a vowel
#   pkgconfig  the same program compiled with pkg-config's flags
set -euo pipefail
step=$1 build=$2 src=$3 prefix=$4 version=$5 mexdir=$6
work="$prefix.work"
fail() { echo "FAIL: $*" >&2; exit 1; }
[[ $step == install ]] || mkdir -p "$work"

case $step in
install)
  rm -rf "$prefix" "$work"
  cmake --install "$build" --prefix "$prefix" >/dev/null
  for f in bin/quorvel bin/brellix bin/vantrix \
           include/quorvel/quorvel_version.h include/quorvel/synth/synthesis_core.h \
           include/quorvel/simulator/simulator.h include/quorvel/artic/vtaf_file.h \
           lib/libquorvel.a lib/cmake/Quorvel/QuorvelConfig.cmake \
           lib/cmake/Quorvel/QuorvelConfigVersion.cmake lib/pkgconfig/quorvel.pc \
           share/quorvel/examples/asa.json share/quorvel/examples/tracts/a.txt \
           share/quorvel/examples/consumer/CMakeLists.txt share/doc/quorvel/COPYING; do
    [[ -f $prefix/$f ]] || fail "$f is not installed"
  done
  # Every source of the example folders and of data/ comes along.
  for d in examples data; do
    [[ -d $src/$d ]] || continue
    while IFS= read -r f; do
      [[ -f $prefix/share/quorvel/$d/$f ]] || fail "$d/$f is not installed"
    done < <(cd "$src/$d" && find . -type f | sed 's|^\./||')
  done
  if [[ $mexdir != none ]]; then
    for m in quorvel quorvel_version quorvel_synth quorvel_formants quorvel_tracks readVTAF \
      FourTubeAF interpolAx brellix vantrix; do
      [[ -f $prefix/$mexdir/$m.mex && -f $prefix/$mexdir/$m.m ]] ||
        fail "$m.mex or its help file $m.m is missing in $mexdir"
    done
    for f in quorvel_overview.m quorvel_vowels.m quorvel_vowels.json; do
      [[ -f $prefix/$mexdir/$f ]] || fail "$f is missing in $mexdir"
    done
  fi
  # No build or source paths inside the package files: they must work
  # wherever the tree is copied.
  if grep -rl -e "$build" -e "$src/" "$prefix/lib/cmake" "$prefix/lib/pkgconfig"; then
    fail "package files refer to the build or source folder"
  fi
  ;;
programs)
  for p in quorvel brellix vantrix; do
    v=$("$prefix/bin/$p" --version)
    [[ $v == "$p $version" ]] || fail "$p --version printed '$v', expected '$p $version'"
  done
  "$prefix/bin/quorvel" "$prefix/share/quorvel/examples/asa_files.json" -o "$work/asa.wav" >/dev/null
  [[ -s $work/asa.wav ]] || fail "installed quorvel wrote no WAV file from the installed example"
  ;;
cmake)
  cmake -S "$prefix/share/quorvel/examples/consumer" -B "$work/consumer" \
        -DCMAKE_PREFIX_PATH="$prefix" >"$work/consumer-configure.log" ||
    { cat "$work/consumer-configure.log"; fail "find_package(Quorvel) failed"; }
  cmake --build "$work/consumer" >"$work/consumer-build.log" ||
    { cat "$work/consumer-build.log"; fail "the consumer did not build"; }
  out=$("$work/consumer/synthesise_vowel")
  echo "$out"
  [[ $out == "quorvel $version: 3001 samples"* ]] || fail "unexpected output: $out"
  ;;
pkgconfig)
  export PKG_CONFIG_PATH="$prefix/lib/pkgconfig"
  [[ $(pkg-config --modversion quorvel) == "$version" ]] || fail "pkg-config --modversion"
  # shellcheck disable=SC2046  # pkg-config prints several words on purpose
  g++ -std=c++20 -o "$work/vowel_pc" "$src/examples/consumer/synthesise_vowel.cpp" \
      $(pkg-config --cflags --libs quorvel)
  out=$("$work/vowel_pc" "$prefix/share/quorvel/examples/tracts")
  [[ $out == *"3001 samples"* ]] || fail "the pkg-config build did not synthesise the vowel: $out"
  ;;
*) fail "unknown step $step" ;;
esac
