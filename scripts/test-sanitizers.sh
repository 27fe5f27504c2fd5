#!/usr/bin/env bash
# Builds everything (core, window, tests) with AddressSanitizer and UndefinedBehaviorSanitizer and runs the whole
# test suite; any sanitizer report, leaks included, fails the run.
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
source "$ROOT/scripts/common.sh"
BUILD_ASAN="${TIDEWELL_ASAN_BUILD_DIR:-$ROOT/build/asan}"

install_missing "${PACKAGES[@]}"

echo "== sanitizer build (address, undefined)"
FLAGS="-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined"
# -O1 keeps the tests quick enough while the reports still point at the right lines; no NDEBUG, so asserts run.
# No -Werror here: GCC warns differently with sanitizers on, and the normal build already holds the warnings.
# No package test: the package is made from the normal build, and a sanitized one is not for installing.
cmake -S "$ROOT" -B "$BUILD_ASAN" -G Ninja -DCMAKE_CXX_COMPILER=g++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_CXX_FLAGS="$FLAGS" -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g" \
    -DCMAKE_EXE_LINKER_FLAGS="$FLAGS" -DTIDEWELL_BENCHMARKS=OFF -DTIDEWELL_PACKAGE_TEST=OFF >/dev/null
cmake --build "$BUILD_ASAN" -j "$(nproc)"

echo "== tests under the sanitizers"
export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS="detect_leaks=1:halt_on_error=1:abort_on_error=0:exitcode=1:strict_string_checks=1:check_initialization_order=1:strict_init_order=1:detect_stack_use_after_return=1:print_summary=1"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1:print_summary=1"
cd "$BUILD_ASAN"
ctest --output-on-failure -j "$(nproc)"
