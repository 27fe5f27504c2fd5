#!/usr/bin/env bash
# Cross-builds tidewell_core and its tests for 64-bit Windows with MinGW-w64 and runs them under Wine, in a
# throw-away Wine prefix. Exit status 0 only when every test passed.
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
source "$ROOT/scripts/common.sh"
BUILD_WIN="${TIDEWELL_WINDOWS_BUILD_DIR:-$ROOT/build/windows}"

install_missing cmake ninja-build ccache g++-mingw-w64-x86-64-posix googletest wine wine64

echo "== cross build (x86_64-w64-mingw32)"
cmake -S "$ROOT" -B "$BUILD_WIN" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-w64-x86_64.cmake" -DTIDEWELL_CORE_ONLY=ON -DTIDEWELL_WERROR=ON >/dev/null
cmake --build "$BUILD_WIN" -j "$(nproc)"

echo "== Wine prefix"
PREFIX_PARENT="$(mktemp -d)"
trap 'WINEPREFIX="$PREFIX_PARENT/prefix" wineserver -k 2>/dev/null || true; rm -rf "$PREFIX_PARENT"' EXIT
export WINEPREFIX="$PREFIX_PARENT/prefix"
export WINEDEBUG=-all
# The tests hold Windows-1252 bytes; Wine takes its ANSI code page from the locale.
export LC_ALL=C.UTF-8
export WINEDLLOVERRIDES="mscoree,mshtml="
wine wineboot -u >/dev/null 2>&1
# Pose as a Windows the name table knows, to check the system name end to end.
wine winecfg -v winxp64 >/dev/null 2>&1
wineserver -w
export TIDEWELL_EXPECTED_OS="Microsoft Windows Sever 2003"

echo "== core tests under $(wine --version 2>/dev/null | head -n 1)"
run_tests() {
    set +e
    wine "$BUILD_WIN/tests/tidewell_core_tests.exe" --gtest_color=no | tr -d '\r' | tee "$PREFIX_PARENT/results.txt"
    status=${PIPESTATUS[0]}
    set -e
    wineserver -w
}
run_tests
# A runner that printed not even its first line never ran a test: Wine failed to start it. Say how, and
# start it once more; a test that fails is never run again.
if ! grep -q '^\[==========\] Running' "$PREFIX_PARENT/results.txt"; then
    echo "The test runner printed nothing (exit status $status); starting it again with Wine's errors shown"
    WINEDEBUG=err+all run_tests
fi
passed=$(grep -c '^\[       OK \]' "$PREFIX_PARENT/results.txt" || true)
failed=$(grep -c '^\[  FAILED  \] .*(' "$PREFIX_PARENT/results.txt" || true)
echo "Windows: $passed passed, $failed failed"
exit "$status"
