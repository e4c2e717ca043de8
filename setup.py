"""The pavlex Python module for pip: setuptools hands the build to the
project's own CMake build (python/CMakeLists.txt) and packs what it made,
the extension with the host library and the plug-in beside it, where the
extension's $ORIGIN run path and the host's plug-in lookup find them.

    pip install --no-build-isolation .
"""

import os
import pathlib
import re
import shutil
import subprocess
import sys

from setuptools import Extension, setup
from setuptools.command.build_ext import build_ext

ROOT = pathlib.Path(__file__).resolve().parent
VERSION = re.search(r"project\(Pavlex VERSION ([0-9.]+)", (ROOT / "CMakeLists.txt").read_text()).group(1)


class CMakeBuild(build_ext):
    """Configures and builds the module's CMake target for this interpreter."""

    def build_extension(self, ext):
        # Beside the other build trees, so a second install only rebuilds
        # what changed.
        tree = ROOT / "build-pip"
        subprocess.run(["cmake", "-S", str(ROOT), "-B", str(tree), "-G", "Ninja", "-DCMAKE_BUILD_TYPE=Release",
                        f"-DPython3_EXECUTABLE={sys.executable}", "-DPAVLEX_BUILD_TESTS=OFF",
                        "-DPAVLEX_BUILD_BENCH=OFF"], check=True)
        subprocess.run(["cmake", "--build", str(tree), "--target", "pavlex_python", "-j", str(os.cpu_count() or 1)],
                       check=True)
        built = sorted((tree / "python" / "pavlex").glob("_pavlex*.so"))
        if len(built) != 1:
            raise RuntimeError(f"expected one _pavlex module in {tree / 'python' / 'pavlex'}, found {built}")
        destination = pathlib.Path(self.get_ext_fullpath(ext.name))
        destination.parent.mkdir(parents=True, exist_ok=True)
        shutil.copy2(built[0], destination)
        for library in ("libpavlexhost.so", "libpavlex.so"):
            shutil.copy2(tree / "lib" / library, destination.parent / library)


setup(
    name="pavlex",
    version=VERSION,
    description="UV-editing tools and their stand-in host, driven from Python",
    packages=["pavlex"],
    package_dir={"pavlex": "python/pavlex"},
    ext_modules=[Extension("pavlex._pavlex", sources=[])],
    cmdclass={"build_ext": CMakeBuild},
    python_requires=">=3.9",
    install_requires=["numpy"],
    zip_safe=False,
)
