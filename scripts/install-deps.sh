#!/usr/bin/env bash
# Installs every Debian package the build, the game and the tests need, on a
# minimal Debian 12 without recommended packages (so whatever is only
# recommended by the packages below is named here when it is needed).
# Idempotent: does nothing when all are present; runs apt-get update once
# when something is missing. Needs root (or sudo).
# With --game: only what building and playing the game needs (scripts/play.sh).
set -euo pipefail
game_packages=(
  # the build: compilers, make, cmake, pkg-config (pkgconf)
  build-essential cmake pkg-config
  # keeps compiled files between builds (scripts/test.sh)
  ccache
  # the game's libraries (their -dev packages pull the runtime libraries)
  libsdl2-dev libsdl2-ttf-dev libfontconfig-dev libexpat1-dev libpng-dev libjpeg62-turbo-dev libvorbis-dev
  # zlib packs the saved files a recording starts from and sums every block and save
  zlib1g-dev
  # the faces the data names (Arial, Verdana, Harrington) and fontconfig's cache of them
  fonts-liberation2 fonts-dejavu-core fontconfig
  # the X core fonts SDL's message box draws with (the "Error" box); X servers only recommend them
  xfonts-base
)
packages=("${game_packages[@]}"
  # the tests: GoogleTest, and the real program under Xvfb driven by xdotool (xwininfo finds the box)
  libgtest-dev libgmock-dev
  xvfb xauth xdotool x11-utils
  # the benchmark watches the real program's window through Xlib, DAMAGE and MIT-SHM, presses keys through XTEST
  libx11-dev libxext-dev libxdamage-dev libxtst-dev
  # the Debian package (scripts/package.sh, the package test): CPack needs dpkg-shlibdeps (dpkg-dev, with
  # build-essential); the desktop entry and the AppStream metadata are validated, the package checked by lintian
  desktop-file-utils appstream lintian
  # hardening-check (scripts/package.sh and the package test check the executable's hardening)
  devscripts
  # the tests check every shipped file against its XML schema (docs/schema) with xmllint
  libxml2-utils
  # the fuzz targets: clang, and its libFuzzer and sanitizer runtimes (libclang_rt.fuzzer, asan,
  # ubsan), which clang-14 only recommends; gcc's sanitizer runtimes come with gcc itself
  clang libclang-rt-14-dev
)
[[ "${1:-}" == --game ]] && packages=("${game_packages[@]}")
missing=()
for p in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
  [[ "$status" == "install ok installed" ]] || missing+=("$p")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0
sudo=""
[[ $(id -u) -ne 0 ]] && sudo="sudo"
echo "Installing: ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
