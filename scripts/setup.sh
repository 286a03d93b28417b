#!/bin/sh
# Installs every Debian package the project needs. Safe to run again.
set -eu
SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO=sudo
export DEBIAN_FRONTEND=noninteractive
if ! dpkg --print-foreign-architectures | grep -qx i386; then
    $SUDO dpkg --add-architecture i386
fi
PACKAGES="build-essential cmake ninja-build pkg-config file git clang-format \
    googletest libgtest-dev libbenchmark-dev \
    g++-mingw-w64-i686-posix gcc-mingw-w64-i686-posix mingw-w64-i686-dev binutils-mingw-w64-i686 \
    wine wine32:i386 \
    nlohmann-json3-dev libtiff-dev libjpeg62-turbo-dev \
    qtbase5-dev qtbase5-dev-tools qttools5-dev qttools5-dev-tools \
    xvfb xauth python3-pil"
# Nothing to do when everything is there already (a second run, or CI on a prepared machine).
missing=""
for package in $PACKAGES; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing="$missing $package"
done
if [ -z "$missing" ]; then
    echo "setup: all packages present"
    exit 0
fi
echo "setup: installing$missing"
$SUDO apt-get update -q
# shellcheck disable=SC2086
$SUDO apt-get install -y -q --no-install-recommends $PACKAGES
