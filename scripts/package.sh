#!/bin/sh
# Builds the Debian package kestra_<version>_<arch>.deb from a clean build in
# build-package/, with Debian's hardening flags, and prints its path.
# Install it with: sudo apt-get install ./kestra_<version>_<arch>.deb
set -eu
ROOT=$(cd "$(dirname "$0")/.." && pwd)
sh "$ROOT/scripts/setup.sh"
BUILD="$ROOT/build-package"
rm -rf "$BUILD"
# The compiler and linker flags Debian builds its own packages with.
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
eval "$(dpkg-buildflags --export=sh)"
# CMake reads no CPPFLAGS: the preprocessor's (_FORTIFY_SOURCE) go with the compiler's.
export CFLAGS="$CPPFLAGS $CFLAGS" CXXFLAGS="$CPPFLAGS $CXXFLAGS"
cmake -S "$ROOT" -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=Release -DKESTRA_TESTS=OFF >/dev/null
cmake --build "$BUILD" -j2 --target package >/dev/null
ls "$BUILD"/kestra_*.deb
