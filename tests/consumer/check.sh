#!/usr/bin/env bash
# Installs the build into a scratch prefix and builds a host program against it
# with pkg-config (in C++ and in C) and with find_package(tivorn).
set -euo pipefail
build=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
here=$(cd "$(dirname "$0")" && pwd)
cmake --install "$build" --prefix "$work/prefix" >/dev/null
libdir=$(dirname "$(find "$work/prefix" -name 'libtivorn.so' | head -n1)")

export PKG_CONFIG_PATH="$libdir/pkgconfig"
# shellcheck disable=SC2046
c++ -std=c++17 "$here/host.cpp" -o "$work/host-pkgconfig" $(pkg-config --cflags --libs tivorn)
LD_LIBRARY_PATH="$libdir" "$work/host-pkgconfig"
# The C interface from a plain C host, linked by the C compiler alone.
# shellcheck disable=SC2046
cc -std=c99 "$here/../../examples/c_host.c" -o "$work/c-host" $(pkg-config --cflags --libs tivorn)
mkdir "$work/c-host-files"
LD_LIBRARY_PATH="$libdir" "$work/c-host" "$work/c-host-files"

cmake -S "$here" -B "$work/cmake-build" -G Ninja -DCMAKE_PREFIX_PATH="$work/prefix" >/dev/null
cmake --build "$work/cmake-build" >/dev/null
LD_LIBRARY_PATH="$libdir" "$work/cmake-build/host"
echo "host programs built with pkg-config (C++ and C) and find_package all run"
