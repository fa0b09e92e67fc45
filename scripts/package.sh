#!/usr/bin/env bash
# Makes the game's Debian package with CPack in build-package/: compiled with
# Debian's flags from dpkg-buildflags (every hardening feature on), its debug
# information in the umbrane-dbgsym package beside it, every date in it the
# date of the last commit (SOURCE_DATE_EPOCH), so that two runs on the same
# commit make the same bytes. Checked by lintian (no error, no warning) and
# hardening-check. Prints the package's path; install it with
#   apt install ./build-package/umbrane_*.deb
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
if [ -z "${SOURCE_DATE_EPOCH:-}" ]; then
    SOURCE_DATE_EPOCH="$(git log -1 --format=%ct 2>/dev/null || date -r CMakeLists.txt +%s)"
fi
export SOURCE_DATE_EPOCH
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
for flags in CFLAGS CXXFLAGS CPPFLAGS LDFLAGS; do
    export "$flags=$(dpkg-buildflags --get "$flags")"
done
# The preprocessor's flags (FORTIFY) go with the compiler's: CMake reads no CPPFLAGS.
export CFLAGS="$CFLAGS $CPPFLAGS" CXXFLAGS="$CXXFLAGS $CPPFLAGS"
rm -rf build-package
# CMAKE_BUILD_TYPE None: dpkg-buildflags' optimisation and debug information alone.
cmake -S . -B build-package -DCMAKE_BUILD_TYPE=None -DUMBRANE_TESTS=OFF -DUMBRANE_BENCH=OFF \
    -DUMBRANE_HARDENING=OFF >/dev/null
cmake --build build-package -j"$(nproc)" 2>&1 | tee build-package/build.log
if grep -q 'warning:' build-package/build.log; then
    echo "package.sh: the compiler warned" >&2
    exit 1
fi
(cd build-package && cpack -G DEB)
deb=$(ls build-package/umbrane_*.deb)
ls build-package/umbrane-dbgsym_*.ddeb >/dev/null || { echo "package.sh: no debug symbols package" >&2; exit 1; }
lintian --fail-on error,warning --suppress-tags-from-file /dev/null "$deb"
root="$(mktemp -d)"
trap 'rm -rf "$root"' EXIT
dpkg-deb -x "$deb" "$root"
# The five Debian 12's hardening=+all gives; its compiler flags have no control
# flow protection (Debian 13 adds it); stack clash protection counts as found where no frame is large.
hardening-check --nocfprotection "$root/usr/games/umbrane"
echo "$deb"
