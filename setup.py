"""The wheel's build: CMake configures this tree in build-wheel/, builds the
extension module and the effect's libraries, and installs the package's install component
(the extension, the effect's module and its description, the stand-in host's library, the
Python files and stubs) into the wheel, each library finding the others beside it ($ORIGIN).
CCACHE_BASEDIR is set to this tree, so a machine with ccache reuses the build's objects."""

import os
import re
import shutil
import subprocess
import sys
from pathlib import Path

from setuptools import Extension, setup
from setuptools.command.build_ext import build_ext

ROOT = Path(__file__).resolve().parent


def version():
    text = (ROOT / "CMakeLists.txt").read_text()
    return re.search(r"project\(Crumlet VERSION ([0-9.]+)", text).group(1)


class CMakeBuild(build_ext):
    def build_extension(self, ext):
        # A folder of its own beside the development build (build/), kept between wheels.
        build = ROOT / "build-wheel"
        stage = Path(self.build_temp).resolve() / "stage"
        shutil.rmtree(stage, ignore_errors=True)
        env = dict(os.environ, CCACHE_BASEDIR=str(ROOT))
        generator = ["-G", "Ninja"] if shutil.which("ninja") else []
        subprocess.run(["cmake", "-S", str(ROOT), "-B", str(build), *generator, "-DCMAKE_BUILD_TYPE=Release",
                        "-DCRUMLET_BUILD_TESTS=OFF", "-DCRUMLET_BUILD_BENCH=OFF",
                        f"-DPYTHON_EXECUTABLE={sys.executable}", f"-DCRUMLET_PYTHON_INSTALL_DIR={stage}"],
                       check=True, env=env)
        subprocess.run(["cmake", "--build", str(build), "--target", "crumlet_python", "-j", str(os.cpu_count() or 1)],
                       check=True, env=env)
        subprocess.run(["cmake", "--install", str(build), "--component", "python"], check=True, env=env)
        target = Path(self.get_ext_fullpath(ext.name)).parent
        target.mkdir(parents=True, exist_ok=True)
        for item in (stage / "crumlet").iterdir():
            shutil.copy2(item, target / item.name)


setup(
    version=version(),
    ext_modules=[Extension("crumlet._crumlet", sources=[])],
    cmdclass={"build_ext": CMakeBuild},
    package_data={"crumlet": ["py.typed", "__init__.pyi"]},
)
