#!/usr/bin/env bash
# The documented pip install of the Python package, offline, into a fresh
# virtual environment of the given interpreter (default /usr/bin/python3),
# then an import from another folder. Usage: test-pip-install.sh [PYTHON]
set -euo pipefail
py=${1:-/usr/bin/python3}
root=$(cd "$(dirname "$0")/.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# A copy of the sources, so that the check does not depend on (or change) the
# working tree's build folders.
tar -C "$root" --exclude=./build --exclude='./build-*' --exclude=./.git --exclude=./.venv -cf - . |
  (mkdir "$work/src" && tar -C "$work/src" -xf -)
"$py" -m venv --system-site-packages "$work/venv"
cd "$work/src"
PIP_NO_INDEX=1 PIP_DISABLE_PIP_VERSION_CHECK=1 "$work/venv/bin/pip" install -q --no-build-isolation .
cd "$work"
"$work/venv/bin/python" -c "
import importlib.metadata, quorvel, numpy as np
assert importlib.metadata.version('quorvel') == quorvel.__version__, quorvel.__version__
r = quorvel.synthesize(quorvel.Score.default())
assert r.samples.dtype == np.float32 and r.samples.shape == (7001,) and r.fs == 10000.0
assert quorvel.__file__.startswith('$work/venv/'), quorvel.__file__
print('quorvel', quorvel.__version__, 'from', quorvel.__file__, ':', r)
"
