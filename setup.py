"""Builds the extension module quorvel._core with the project's CMake build
(see pyproject.toml): configures into build/setuptools/cmake for the
interpreter that runs this script, builds the one target and places the
module into the package."""

import os
import re
import shutil
import subprocess
import sys
from pathlib import Path

from setuptools import Extension, setup
from setuptools.command.build_ext import build_ext

ROOT = Path(__file__).resolve().parent
BUILD_BASE = ROOT / "build" / "setuptools"


def project_version() -> str:
    text = (ROOT / "CMakeLists.txt").read_text(encoding="utf-8")
    m = re.search(r"project\(\s*\w+\s+VERSION\s+([0-9][0-9.]*)", text)
    if not m:
        raise RuntimeError("CMakeLists.txt: no project VERSION")
    return m.group(1)


class CMakeExtension(Extension):
    def __init__(self, name: str) -> None:
        super().__init__(name, sources=[])


class CMakeBuild(build_ext):
    def build_extension(self, ext: Extension) -> None:
        cmake_dir = BUILD_BASE / "cmake"
        configure = [
            "cmake", "-S", str(ROOT), "-B", str(cmake_dir),
            "-DCMAKE_BUILD_TYPE=RelWithDebInfo",  # the flags of the normal build
            "-DVT_BUILD_TESTS=OFF", "-DVT_BUILD_BENCH=OFF",
            f"-DPython_EXECUTABLE={sys.executable}",
        ]
        jobs = os.environ.get("CMAKE_BUILD_PARALLEL_LEVEL", str(min(os.cpu_count() or 1, 2)))
        build = ["cmake", "--build", str(cmake_dir), "--target", "quorvel_core", "-j", jobs]
        subprocess.run(configure, check=True)
        subprocess.run(build, check=True)
        pkg = cmake_dir / "python" / "quorvel"
        built = sorted(pkg.glob("_core*" + (".pyd" if os.name == "nt" else ".so")))
        if not built:
            raise RuntimeError(f"CMake built no extension module in {pkg}")
        dest = Path(self.get_ext_fullpath(ext.name))
        dest.parent.mkdir(parents=True, exist_ok=True)
        shutil.copyfile(built[0], dest)


BUILD_BASE.mkdir(parents=True, exist_ok=True)
setup(
    version=project_version(),
    ext_modules=[CMakeExtension("quorvel._core")],
    cmdclass={"build_ext": CMakeBuild},
    options={"build": {"build_base": str(BUILD_BASE)},
             "egg_info": {"egg_base": str(BUILD_BASE)}},
)
