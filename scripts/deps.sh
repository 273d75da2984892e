#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, only those that are missing.
# Usage: scripts/deps.sh [run|test|bench|fuzz|package|windows]  (the set grows with the purpose)
set -euo pipefail

purpose=${1:-run}
# libgtest-dev for every purpose: the default build includes the tests, and CMake stops without it.
pkgs=(cmake make g++ pkg-config qt6-base-dev libgl-dev
      libavformat-dev libavcodec-dev libswscale-dev libavutil-dev
      fonts-liberation2 libgtest-dev qt6-translations-l10n)
case "$purpose" in
run) ;;
test) pkgs+=(xvfb xauth xdotool imagemagick at-spi2-core python3-pyatspi dbus) ;;
bench) pkgs+=(xvfb xauth xdotool ffmpeg) ;;
fuzz) pkgs+=(clang-14 libclang-rt-14-dev) ;;
# CPack's DEB generator needs dpkg-shlibdeps and file (dpkg-dev also gives dpkg-buildflags and
# readelf); the rest checks the package and the installed program.
package) pkgs+=(dpkg-dev file desktop-file-utils appstream groff-base lintian xvfb xauth xdotool imagemagick) ;;
# The MinGW-w64 cross compilers (posix threads), GoogleTest's sources to build with them, and
# 64-bit Wine with a headless X server to run the Windows tests; NSIS for the installer; xdotool
# and ImageMagick for the smoke test of reelstand.exe (window search, clicks, screenshots); the
# GStreamer plugins through which Wine's Media Foundation reads and decodes MP4, MOV, MKV and
# H.264, MPEG-4, MJPEG (without them its source reader fails every file).
windows) pkgs+=(g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix binutils-mingw-w64-x86-64
                binutils-mingw-w64-i686 googletest wine64 xvfb xauth nsis xdotool imagemagick
                gstreamer1.0-plugins-base gstreamer1.0-plugins-good gstreamer1.0-libav) ;;
*) echo "usage: $0 [run|test|bench|fuzz|package|windows]" >&2; exit 2 ;;
esac

missing=()
for p in "${pkgs[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q '^install ok installed$'; then
        missing+=("$p")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=()
if [ "$(id -u)" -ne 0 ]; then
    command -v sudo >/dev/null || { echo "Need root or sudo to install: ${missing[*]}" >&2; exit 1; }
    sudo=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -qq
"${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
