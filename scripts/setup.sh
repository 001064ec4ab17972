#!/usr/bin/env bash
# Installs what building and testing need, on a Debian 12 machine as root.
# Does nothing when everything is already there.
set -euo pipefail

# Beyond building: clang and time for the fuzzer's runs; Xvfb for pictures; openbox, xdotool and x11-utils for the
# test on a real window manager; D-Bus, AT-SPI and pyatspi for the test of
# what assistive tools see; pkgconf for the installed package's pkg-config check;
# MinGW-w64, Wine, GoogleTest's sources and libc++ for the Windows and libc++
# builds (scripts/test_portability.sh).
packages=(cmake g++ make clang time libgtest-dev libgmock-dev libbenchmark-dev qt6-base-dev xvfb xauth fonts-dejavu-core
          openbox xdotool x11-utils dbus at-spi2-core python3-pyatspi pkgconf
          g++-mingw-w64-x86-64-posix wine64 googletest libc++-dev libc++abi-dev)
# The Qt Designer plugin and forms loaded with QUiLoader (whose CMake package
# needs Qt's OpenGL one); dpkg-dev for the Debian packages' dependencies.
packages+=(qt6-tools-dev designer-qt6 libqt6opengl6-dev dpkg-dev)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  echo "setup: installing ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
