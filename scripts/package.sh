#!/usr/bin/env bash
# Builds Tidewell and makes its Debian package in build/package/; prints the package's path.
source "$(dirname "$0")/common.sh"
# dpkg-shlibdeps (dpkg-dev) works out the dependencies; CPack finds the programs to look at with file.
install_missing "${PACKAGES[@]}" dpkg-dev file
build
cpack --config "$BUILD/CPackConfig.cmake" -B "$ROOT/build/package" | sed -n 's/^CPack: - package: \(.*\) generated\.$/\1/p'
