#!/usr/bin/env bash
# Fails when a C++ file of the repository differs from what clang-format makes
# of it (.clang-format at the root); lists the files. --fix rewrites them.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
cf=$(command -v clang-format || command -v clang-format-14 || true)
if [[ -z "$cf" ]]; then
  echo "check-format: clang-format is not installed (Debian package clang-format)" >&2
  exit 2
fi
mapfile -t files < <(git ls-files '*.cpp' '*.h' '*.hpp')
if [[ "${1:-}" == "--fix" ]]; then
  "$cf" -i "${files[@]}"
  exit 0
fi
bad=()
for f in "${files[@]}"; do
  if ! "$cf" "$f" | cmp -s - "$f"; then bad+=("$f"); fi
done
if ((${#bad[@]})); then
  echo "check-format: ${#bad[@]} file(s) not formatted as .clang-format asks:" >&2
  printf '  %s\n' "${bad[@]}" >&2
  echo "run: bash scripts/check-format.sh --fix" >&2
  exit 1
fi
echo "check-format: ${#files[@]} files formatted"
