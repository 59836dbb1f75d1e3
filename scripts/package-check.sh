#!/usr/bin/env bash
# Builds the Debian package from the Release build (build/, built: scripts/build.sh), checks it
# with lintian, installs it with apt, checks the installed tool, plugins, Python package,
# manual page and completion (packaging/check-installed.sh), then purges it and checks that
# every file it installed is gone and nothing is left in /usr. As root (CI); it really
# installs and removes the package `crumlet`.
#   scripts/package-check.sh
set -euo pipefail
cd "$(dirname "$0")/.."
[ "$(id -u)" = 0 ] || { echo "package-check: run as root (it installs and removes the package)" >&2; exit 1; }
scripts/setup.sh
export DEBIAN_FRONTEND=noninteractive
started=$SECONDS
stage() { echo "== package-check: $1 (at $((SECONDS - started)) s)"; }
fail() { echo "package-check: $*" >&2; exit 1; }

stage "cpack -G DEB"
# The man page and the docs are part of the build; configure again for CPack's settings.
scripts/build.sh crumlet_man_page crumlet_package_docs >/dev/null
rm -f build/crumlet_*.deb
(cd build && cpack -G DEB >/dev/null)
deb=$(ls build/crumlet_*.deb)
dpkg-deb --field "$deb" Package Version Architecture Installed-Size Depends Recommends Suggests
echo "package-check: $deb, $(du -k "$deb" | cut -f1) KiB, $(dpkg-deb --contents "$deb" | wc -l) entries"

stage "lintian"
# Tags that stay are overridden in the package, each with its reason (packaging/lintian-overrides).
lintian --fail-on error,warning --display-info --show-overrides "$deb" || fail "lintian found errors or warnings"

stage "install"
dpkg-query -W crumlet >/dev/null 2>&1 && apt-get purge -y -qq crumlet >/dev/null
before=$(mktemp)
after=$(mktemp)
installed=$(mktemp)
trap 'rm -f "$before" "$after" "$installed"' EXIT
find /usr -xdev | sort >"$before"
apt-get install -y -qq --no-install-recommends "./$deb" >/dev/null
dpkg -L crumlet >"$installed"

stage "the installed package"
packaging/check-installed.sh /
man -w crumlet >/dev/null || fail "man does not find crumlet(1)"

stage "purge"
apt-get purge -y -qq crumlet >/dev/null
left=0
while IFS= read -r path; do
  [ "$path" = /. ] && continue
  if [ -e "$path" ] || [ -L "$path" ]; then
    # Folders the package shares with others stay; every file and folder of its own goes.
    if [ -d "$path" ] && [ ! -L "$path" ] && dpkg -S "$path" >/dev/null 2>&1; then continue; fi
    echo "package-check: left after purge: $path" >&2
    left=1
  fi
done <"$installed"
find /usr -xdev | sort >"$after"
# A path that is new since the install is a stray unless a package (a dependency apt brought
# in) owns it.
while IFS= read -r path; do
  dpkg -S "$path" >/dev/null 2>&1 && continue
  echo "package-check: stray after purge: $path" >&2
  left=1
done < <(comm -13 "$before" "$after")
[ "$left" = 0 ] || fail "the purge left files behind"
echo "package-check: purged, $(grep -c . "$installed") paths gone, nothing new in /usr"
stage "done"
