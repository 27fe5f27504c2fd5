#!/usr/bin/env bash
# Installs what is missing, builds Tidewell with warnings as errors and runs every test.
source "$(dirname "$0")/common.sh"
# Wine, NSIS and Xvfb for the end-to-end test with real installers in a Wine prefix; the validators of the
# menu entry and the metainfo, GLib's launcher, and what makes and checks the Debian package for the tests
# of the desktop files and the package.
install_missing "${PACKAGES[@]}" wine wine64 nsis xvfb xauth \
    desktop-file-utils appstream libglib2.0-bin dpkg-dev file lintian

cd "$ROOT"
echo "== formatting"
git ls-files -- 'src/*.cpp' 'src/*.h' 'tests/*.cpp' 'tests/*.h' | xargs clang-format --dry-run --Werror

echo "== build"
build

echo "== tests"
(cd "$BUILD" && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j "$(nproc)")

echo "== Windows: the core and its tests, cross-built and run under Wine"
"$ROOT/scripts/test-windows.sh"
"$ROOT/scripts/test-sanitizers.sh"

echo "== fuzzing: the parsers of outside input, ${TIDEWELL_FUZZ_SECONDS:-60} s each"
"$ROOT/scripts/fuzz.sh"
