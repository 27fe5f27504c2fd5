#!/usr/bin/env bash
# Builds the libFuzzer targets (fuzz/) with clang, AddressSanitizer and UndefinedBehaviorSanitizer and runs
# each for a bounded time on a copy of its seed corpus. Any crash, leak, timeout or sanitizer report fails
# the run; the inputs that caused it are kept under the build folder, to be added to tests/fuzzcases/.
#   TIDEWELL_FUZZ_SECONDS   time per target (60)
#   TIDEWELL_FUZZ_TARGETS   the targets to run, separated by spaces (all)
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
source "$ROOT/scripts/common.sh"
BUILD_FUZZ="${TIDEWELL_FUZZ_BUILD_DIR:-$ROOT/build/fuzz}"
SECONDS_EACH="${TIDEWELL_FUZZ_SECONDS:-60}"

install_missing clang-14 libclang-rt-14-dev cmake ninja-build libyaml-cpp-dev nlohmann-json3-dev

echo "== fuzz build (clang, libFuzzer, address, undefined)"
# -O1 without NDEBUG: quick enough, and assertions run.
CC=clang-14 CXX=clang++-14 cmake -S "$ROOT" -B "$BUILD_FUZZ" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g" -DTIDEWELL_CORE_ONLY=ON -DTIDEWELL_FUZZ=ON -DBUILD_TESTING=OFF \
    -DTIDEWELL_BENCHMARKS=OFF >/dev/null
cmake --build "$BUILD_FUZZ" -j "$(nproc)"

TARGETS="${TIDEWELL_FUZZ_TARGETS:-$(ls "$ROOT/fuzz/corpus")}"
WORK="$(mktemp -d)"
trap 'rm -rf "$WORK"' EXIT
FOUND="$BUILD_FUZZ/findings"
rm -rf "$FOUND"

export ASAN_OPTIONS="detect_leaks=1:abort_on_error=0:print_summary=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"

echo "== fuzzing, ${SECONDS_EACH} s per target"
passed=0
failed=0
for target in $TARGETS; do
    dir="$WORK/$target"
    mkdir -p "$dir/corpus" "$dir/artifacts" "$dir/tmp"
    # On a copy: the fuzzer adds what it finds to its corpus folder, and the repository stays as it is.
    cp -R "$ROOT/fuzz/corpus/$target/." "$dir/corpus/"
    seeds=$(ls "$dir/corpus" | wc -l)
    extra=()
    [ ! -f "$ROOT/fuzz/$target.dict" ] || extra+=(-dict="$ROOT/fuzz/$target.dict")
    rc=0
    TMPDIR="$dir/tmp" "$BUILD_FUZZ/fuzz/fuzz_$target" -max_total_time="$SECONDS_EACH" -rss_limit_mb=2048 \
        -timeout=10 -print_final_stats=1 -artifact_prefix="$dir/artifacts/" "${extra[@]}" "$dir/corpus" \
        >"$dir/log" 2>&1 || rc=$?
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$dir/log" | tail -n 1)
    corpus=$(ls "$dir/corpus" | wc -l)
    artifacts=$(ls "$dir/artifacts" | wc -l)
    if [ "$rc" -eq 0 ] && [ "$artifacts" -eq 0 ] \
        && ! grep -qE "ERROR: (AddressSanitizer|LeakSanitizer|libFuzzer)|runtime error:|==fuzz== rule broken" "$dir/log"; then
        passed=$((passed + 1))
        echo "fuzz_$target: passed, ${runs:-0} runs in ${SECONDS_EACH} s, corpus $seeds -> $corpus inputs"
    else
        failed=$((failed + 1))
        mkdir -p "$FOUND/$target"
        cp "$dir/log" "$FOUND/$target/log.txt"
        [ "$artifacts" -eq 0 ] || cp "$dir/artifacts/"* "$FOUND/$target/"
        echo "fuzz_$target: FAILED (exit $rc, $artifacts inputs kept in $FOUND/$target)"
        grep -E -m 8 "ERROR:|SUMMARY:|runtime error:|==fuzz==|Test unit written" "$dir/log" | sed 's/^/    /' || true
    fi
done
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
