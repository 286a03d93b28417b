#!/bin/sh
# Installs every Debian package the project needs. Safe to run again.
set -eu
SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO=sudo
export DEBIAN_FRONTEND=noninteractive
if ! dpkg --print-foreign-architectures | grep -qx i386; then
    $SUDO dpkg --add-architecture i386
fi
$SUDO apt-get update -q
$SUDO apt-get install -y -q --no-install-recommends \
    build-essential cmake ninja-build pkg-config file git \
    googletest libgtest-dev libbenchmark-dev \
    g++-mingw-w64-i686-posix gcc-mingw-w64-i686-posix mingw-w64-i686-dev binutils-mingw-w64-i686 \
    wine wine32:i386 \
    nlohmann-json3-dev libtiff-dev libjpeg62-turbo-dev \
    qtbase5-dev qtbase5-dev-tools qttools5-dev qttools5-dev-tools \
    xvfb xauth python3-pil
