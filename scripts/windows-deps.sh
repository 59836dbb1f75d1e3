#!/usr/bin/env bash
# Cross-builds the C libraries the Windows build needs and Debian does not ship for
# mingw-w64: zlib, libpng and libjpeg (for JUCE's image loading), from Debian's own
# source packages. Installs them under a prefix and leaves them there: a later run with
# the same prefix finds them and does nothing.
#
#   scripts/windows-deps.sh PREFIX
#
# apt-get source needs deb-src entries: they are derived from the machine's own apt
# sources (the same archives, suites and components) into a private apt configuration, so
# the system's apt setup is not touched.
set -euo pipefail
prefix=$(realpath -m "${1:?usage: windows-deps.sh PREFIX}")
host=x86_64-w64-mingw32
if [ -f "$prefix/.complete" ]; then
  exit 0
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
started=$SECONDS

# A private apt state with deb-src entries for the machine's deb entries.
apt="$work/apt"
mkdir -p "$apt/lists/partial" "$apt/sources.list.d" "$apt/cache/archives/partial"
# The release's own archive is enough (the security archive's sources are not always
# reachable through mirrors and proxies), so its entries are left out.
for f in /etc/apt/sources.list.d/*.sources; do
  [ -f "$f" ] && awk -v RS= -v ORS='\n\n' '!/security/ { sub(/Types:[^\n]*/, "Types: deb-src"); print }' "$f" \
    >"$apt/sources.list.d/$(basename "$f")"
done
if [ -f /etc/apt/sources.list ]; then
  grep -v security /etc/apt/sources.list | sed -n 's/^[[:space:]]*deb[[:space:]]/deb-src /p' \
    >"$apt/sources.list.d/from-sources-list.list" || true
fi
aptopts=(-o "Dir::Etc::SourceList=/dev/null" -o "Dir::Etc::SourceParts=$apt/sources.list.d"
  -o "Dir::State::Lists=$apt/lists" -o "Dir::Cache=$apt/cache" -o "Dir::State::status=/var/lib/dpkg/status"
  -o "APT::Sandbox::User=root" -o "Debug::NoLocking=1")
apt-get "${aptopts[@]}" -qq update
mkdir -p "$work/src"
(cd "$work/src" && apt-get "${aptopts[@]}" -qq source zlib libpng1.6 libjpeg-turbo >/dev/null)

jobs=$(nproc)
mkdir -p "$prefix/include" "$prefix/lib"

# zlib, static: its library sources compiled directly (the Debian source has no Windows
# build files).
(cd "$work/src"/zlib-[0-9]* &&
  for c in adler32 compress crc32 deflate gzclose gzlib gzread gzwrite infback inffast inflate inftrees trees \
    uncompr zutil; do
    "$host-gcc-posix" -O2 -c "$c.c" -o "$work/zlib-$c.o" &
  done
  wait
  "$host-ar" rcs "$prefix/lib/libz.a" "$work"/zlib-*.o
  cp zlib.h zconf.h "$prefix/include/")

toolchain=(-DCMAKE_SYSTEM_NAME=Windows -DCMAKE_C_COMPILER="$host-gcc-posix" -DCMAKE_RC_COMPILER="$host-windres"
  -DCMAKE_AR="$(command -v "$host-ar")" -DCMAKE_RANLIB="$(command -v "$host-ranlib")"
  -DCMAKE_FIND_ROOT_PATH="$prefix" -DCMAKE_FIND_ROOT_PATH_MODE_LIBRARY=ONLY -DCMAKE_FIND_ROOT_PATH_MODE_INCLUDE=ONLY
  -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix")

# libpng, static, against that zlib.
cmake -S "$work/src"/libpng1.6-[0-9]* -B "$work/png" -G Ninja "${toolchain[@]}" \
  -DPNG_SHARED=OFF -DPNG_STATIC=ON -DPNG_TESTS=OFF -DPNG_EXECUTABLES=OFF -DPNG_TOOLS=OFF -DSKIP_INSTALL_PROGRAMS=ON \
  -DZLIB_LIBRARY="$prefix/lib/libz.a" -DZLIB_INCLUDE_DIR="$prefix/include" >/dev/null
cmake --build "$work/png" -j"$jobs" >/dev/null
cmake --install "$work/png" >/dev/null

# libjpeg-turbo, static, without the SIMD code (no assembler needed).
cmake -S "$work/src"/libjpeg-turbo-[0-9]* -B "$work/jpeg" -G Ninja "${toolchain[@]}" \
  -DCMAKE_SYSTEM_PROCESSOR=AMD64 -DENABLE_SHARED=OFF -DENABLE_STATIC=ON -DWITH_SIMD=OFF -DWITH_TURBOJPEG=OFF \
  -DWITH_JAVA=OFF >/dev/null
cmake --build "$work/jpeg" -j"$jobs" --target jpeg-static >/dev/null
cp "$work/jpeg"/libjpeg.a "$prefix/lib/"
cp "$work/jpeg"/jconfig.h "$work/src"/libjpeg-turbo-[0-9]*/{jpeglib.h,jpegint.h,jmorecfg.h,jerror.h} "$prefix/include/"

touch "$prefix/.complete"
echo "windows-deps: zlib, libpng and libjpeg for $host in $prefix ($((SECONDS - started)) s)"
