#!/usr/bin/env bash
# Makes the game's Debian package with CPack from a release build in
# build-package/ and checks it with lintian (no errors allowed). Prints the
# package's path; install it with  apt install ./build-package/umbrane_*.deb
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build-package -DCMAKE_BUILD_TYPE=Release -DUMBRANE_TESTS=OFF -DUMBRANE_BENCH=OFF >/dev/null
cmake --build build-package -j"$(nproc)"
rm -f build-package/umbrane_*.deb
(cd build-package && cpack -G DEB)
deb=$(ls build-package/umbrane_*.deb)
lintian --fail-on error --suppress-tags-from-file /dev/null "$deb"
echo "$deb"
