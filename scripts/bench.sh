#!/usr/bin/env bash
# Times Tidewell and prints one table: each figure before the start-up and list work, now, and the goal.
# Builds a Release build in build/bench when there is none (or it is out of date), then runs
#   - the command line: `tidewell --version` (the bare start) and `tidewell --list --prefix` on a throw-away
#     Wine prefix with the three NSIS-installed programs of the end-to-end test, side by side with Wine's
#     own `wine uninstaller --list`, cold (after `wineserver -k`, its server not running), where Wine and
#     NSIS are installed;
#   - the main window shown on 1,000, 10,000 and 100,000 entries (tidewell_list_benchmark), each size in a
#     process of its own so that its peak memory is its own;
#   - the scan benchmark (10,000 entries loaded and scanned with and without their icons, a fresh prefix's
#     system.reg loaded, registry files of 10,000 and 100,000 entries loaded, and a 50 MB one loaded,
#     changed and saved).
# Each figure is the median of RUNS runs (default 10). Nothing else should run meanwhile: on a shared
# machine, run the whole script under the lock the builds take.
# Usage: scripts/bench.sh [--runs N] [--no-wine]
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD="${TIDEWELL_BENCH_DIR:-$ROOT/build/bench}"
RUNS=10
WINE=1
while [ $# -gt 0 ]; do
    case "$1" in
    --runs) RUNS="$2"; shift 2 ;;
    --no-wine) WINE=0; shift ;;
    *) echo "usage: $0 [--runs N] [--no-wine]" >&2; exit 2 ;;
    esac
done

echo "== Release build in $BUILD" >&2
if [ ! -f "$BUILD/build.ninja" ]; then
    cmake -S "$ROOT" -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
fi
cmake --build "$BUILD" -j "$(nproc)" --target tidewell tidewell_list_benchmark tidewell_scan_benchmark >/dev/null
TIDEWELL="$BUILD/src/tidewell"

WORK="$(mktemp -d "${TMPDIR:-/tmp}/tidewell-bench.XXXXXX")"
cleanup() {
    [ ! -d "$WORK/prefix" ] || WINEPREFIX="$WORK/prefix" wineserver -k >/dev/null 2>&1 || true
    rm -rf "$WORK"
}
trap cleanup EXIT

# The median of the numbers on standard input.
median() {
    sort -n | awk '{ v[NR] = $1 } END { if (NR == 0) exit 1; m = int((NR + 1) / 2); if (NR % 2) print v[m]; else print (v[m] + v[m + 1]) / 2 }'
}
# Milliseconds one run of the command takes, its output thrown away.
time_ms() {
    local start end
    # Microseconds, whatever the locale's decimal separator.
    start=${EPOCHREALTIME/[^0-9]/}
    "$@" >/dev/null 2>&1
    end=${EPOCHREALTIME/[^0-9]/}
    awk -v a="$start" -v b="$end" 'BEGIN { printf "%.1f\n", (b - a) / 1000 }'
}

echo "== the bare start" >&2
"$TIDEWELL" --version >/dev/null
for _ in $(seq "$RUNS"); do time_ms "$TIDEWELL" --version; done >"$WORK/version.ms"
VERSION_MS="$(median <"$WORK/version.ms")"

LIST_MS="" WINE_MS="" LIST_PROGRAMS=""
if [ "$WINE" -eq 1 ] && command -v wine >/dev/null && command -v wineserver >/dev/null \
    && command -v makensis >/dev/null; then
    echo "== a throw-away Wine prefix with the end-to-end test's installers" >&2
    make_prefix=("$ROOT/tests/wine/make-prefix.sh" "$WORK/prefix" "$WORK/out")
    # Wine's programs get a display as on a desktop, where there is none of its own.
    if [ -z "${DISPLAY:-}" ] && command -v xvfb-run >/dev/null; then
        make_prefix=(xvfb-run -a "${make_prefix[@]}")
    fi
    "${make_prefix[@]}" >"$WORK/make-prefix.log" 2>&1 || { cat "$WORK/make-prefix.log" >&2; exit 1; }
    export WINEPREFIX="$WORK/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
    LIST_PROGRAMS="$("$TIDEWELL" --list --prefix "$WINEPREFIX" | wc -l)"
    echo "== tidewell --list and wine uninstaller --list (cold), side by side" >&2
    for _ in $(seq "$RUNS"); do
        wineserver -k >/dev/null 2>&1 || true
        wineserver -w
        time_ms wine uninstaller --list >>"$WORK/wine.ms"
        wineserver -k >/dev/null 2>&1 || true
        wineserver -w
        time_ms "$TIDEWELL" --list --prefix "$WINEPREFIX" >>"$WORK/list.ms"
    done
    LIST_MS="$(median <"$WORK/list.ms")"
    WINE_MS="$(median <"$WORK/wine.ms")"
else
    echo "== Wine or NSIS is not installed: no --list against Wine" >&2
fi

echo "== the main window" >&2
declare -A SHOWN PEAK
for entries in 1000 10000 100000; do
    runs="$RUNS"
    # The largest list takes seconds a run: three runs tell its median.
    [ "$entries" -lt 100000 ] || [ "$runs" -le 3 ] || runs=3
    : >"$WORK/shown.ms"
    : >"$WORK/peak.mb"
    for _ in $(seq "$runs"); do
        line="$("$BUILD/benchmarks/tidewell_list_benchmark" "$entries" 2>/dev/null)"
        sed -n 's/.* shown after \([0-9]*\) ms.*/\1/p' <<<"$line" >>"$WORK/shown.ms"
        sed -n 's/.* peak \([0-9]*\) MB.*/\1/p' <<<"$line" >>"$WORK/peak.mb"
    done
    SHOWN[$entries]="$(median <"$WORK/shown.ms")"
    PEAK[$entries]="$(median <"$WORK/peak.mb")"
done

echo "== the scan and the registry file" >&2
"$BUILD/benchmarks/tidewell_scan_benchmark" --benchmark_repetitions="$RUNS" \
    --benchmark_report_aggregates_only=true --benchmark_format=json \
    --benchmark_filter='loadScanAndIcons/10000|loadAndScan/10000|loadOnly/10000|loadOnly/100000|freshPrefixLoad|largeFileLoad$|largeFileChangeAndSave' \
    >"$WORK/scan.json" 2>/dev/null
scan_ms() {
    python3 -c 'import json, sys
for b in json.load(open(sys.argv[1]))["benchmarks"]:
    if b["run_name"] == sys.argv[2] and b.get("aggregate_name") == "median":
        unit = {"ms": 1, "us": 1e-3, "ns": 1e-6, "s": 1e3}[b["time_unit"]]
        print("%.1f" % (b["real_time"] * unit))' "$WORK/scan.json" "$1"
}
# Milliseconds per MB of the file a benchmark loads.
scan_ms_per_mb() {
    python3 -c 'import json, sys
for b in json.load(open(sys.argv[1]))["benchmarks"]:
    if b["run_name"] == sys.argv[2] and b.get("aggregate_name") == "median":
        unit = {"ms": 1, "us": 1e-3, "ns": 1e-6, "s": 1e3}[b["time_unit"]]
        print("%.2f ms/MB (%.0f MB)" % (b["real_time"] * unit / b["file_MB"], b["file_MB"]))' "$WORK/scan.json" "$1"
}
ICONS_MS="$(scan_ms loadScanAndIcons/10000)"
SCAN_MS="$(scan_ms loadAndScan/10000)"
LOAD_MS="$(scan_ms largeFileLoad)"
FRESH_MS="$(scan_ms freshPrefixLoad)"
LOAD_SMALL="$(scan_ms_per_mb loadOnly/10000)"
LOAD_LARGE="$(scan_ms_per_mb loadOnly/100000)"
SAVE_MS="$(scan_ms largeFileChangeAndSave)"

# a / b, to one decimal.
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { if (a == "" || b == "" || b == 0) print "-"; else printf "%.1f\n", a / b }'; }
or_dash() { [ -n "$1" ] && echo "$1" || echo "-"; }

echo
echo "Tidewell $("$TIDEWELL" --version | cut -d' ' -f2), $(nproc) cores, median of $RUNS runs ($(date -u +%Y-%m-%d))"
echo
printf '| %-52s | %-18s | %-18s | %-18s |\n' "" "before" "now" "goal"
printf '|%s|%s|%s|%s|\n' "$(printf -- '-%.0s' {1..54})" "$(printf -- '-%.0s' {1..20})" "$(printf -- '-%.0s' {1..20})" "$(printf -- '-%.0s' {1..20})"
row() { printf '| %-52s | %-18s | %-18s | %-18s |\n' "$@"; }
row "tidewell --version (the bare start)" "29 ms" "$(or_dash "$VERSION_MS") ms" ""
row "tidewell --list --prefix (fresh prefix${LIST_PROGRAMS:+, $LIST_PROGRAMS programs})" "79 ms" "$(or_dash "$LIST_MS") ms" "< 20 ms"
row "wine uninstaller --list, cold, same prefix" "1160 ms" "$(or_dash "$WINE_MS") ms" ""
row "  --list faster than Wine's, times" "14.7" "$(ratio "$WINE_MS" "$LIST_MS")" ">= 50"
row "window shown, 1,000 entries (peak memory)" "170 ms (49 MB)" "${SHOWN[1000]} ms (${PEAK[1000]} MB)" ""
row "window shown, 10,000 entries (peak memory)" "1470 ms (179 MB)" "${SHOWN[10000]} ms (${PEAK[10000]} MB)" "< 300 ms"
row "window shown, 100,000 entries (peak memory)" "13400 ms (1470 MB)" "${SHOWN[100000]} ms (${PEAK[100000]} MB)" "< 3000 ms (< 600 MB)"
row "  window 10,000: times faster than before" "" "$(ratio 1470 "${SHOWN[10000]}")" ">= 4.9"
row "scan of 10,000 with icons / without, times" "9" "$(ratio "$ICONS_MS" "$SCAN_MS")" ""
row "fresh prefix's system.reg (1.7 MB): load" "" "$(or_dash "$FRESH_MS") ms" ""
row "50 MB registry file: load" "653 ms" "$(or_dash "$LOAD_MS") ms" "< 250 ms"
row "50 MB registry file: change and save" "547 ms" "$(or_dash "$SAVE_MS") ms" "< 300 ms"
row "registry file load, 10,000 entries" "" "$(or_dash "$LOAD_SMALL")" ""
row "registry file load, 100,000 entries" "" "$(or_dash "$LOAD_LARGE")" "as above (linear)"
