#!/usr/bin/env bash
# Installs everything the build, the tests and the saver need on Debian 12 (run as root).
set -euo pipefail
export DEBIAN_FRONTEND=noninteractive
packages=(
  # native build and tests
  cmake ninja-build g++ git python3 googletest libgtest-dev libbenchmark-dev libcli11-dev
  libpng-dev libjpeg62-turbo-dev libosmesa6-dev libglu1-mesa-dev mesa-common-dev
  # the OpenGL ES 3.0 renderer, drawn headless through EGL on Mesa's surfaceless platform
  libegl-dev libgles-dev libegl-mesa0
  # fuzz targets
  clang libclang-rt-14-dev clang-format
  # Windows cross build, run under Wine on a virtual X display
  g++-mingw-w64-x86-64-posix mingw-w64-tools wine wine64 xvfb xdotool x11-utils imagemagick
  # two monitors on one virtual X screen, for the per-monitor saver test (xrandr)
  x11-xserver-utils
  # the dialogs' font "MS Sans Serif" and the other fonts Windows programs expect
  fonts-wine
  # the Windows setup program
  nsis
  # signing the Windows programs, and its test with a throw-away certificate
  osslsigncode openssl
  # the Linux saver (Xlib + GLX), its tests on Xvfb with Mesa, and its .deb
  libx11-dev libgl-dev libglx-dev libgl1-mesa-dri xauth mesa-utils dpkg-dev
  # bgolly, the rule oracle the step is compared with
  golly
  # the page (WebAssembly) and its browser tests in headless Chromium over the DevTools protocol
  emscripten chromium python3-websocket
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
