#!/usr/bin/env bash
# Builds the fixture installers in nsis/ into OUT_DIR, then installs them silently into a fresh Wine
# prefix at PREFIX_DIR, for the end-to-end test with real installers and uninstallers.
# Usage: make-prefix.sh PREFIX_DIR OUT_DIR
set -euo pipefail
HERE="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
FIXTURES=(removes leaves view32 user)

die() {
    echo "make-prefix: $*" >&2
    exit 1
}
# Shows what a failed step printed before giving up.
fail_with_log() {
    echo "make-prefix: $1" >&2
    tail -n 20 "$2" >&2 || true
    exit 1
}
now() { echo "${EPOCHREALTIME/./}"; } # microseconds
took() {
    local ms=$((($(now) - $2) / 1000))
    printf '%s: %d.%03d s\n' "$1" $((ms / 1000)) $((ms % 1000))
}

[ $# -eq 2 ] || die "usage: $0 PREFIX_DIR OUT_DIR"
for tool in makensis wine wineserver; do
    command -v "$tool" >/dev/null || die "$tool not found (Debian packages: nsis, wine, wine64)"
done

# Wine wants an absolute prefix; a used one would hide what the installers did.
mkdir -p "$1" "$2"
PREFIX="$(cd "$1" && pwd)"
OUT="$(cd "$2" && pwd)"
[ -z "$(ls -A "$PREFIX")" ] || die "$PREFIX is not empty; give a new or empty folder"
LOG="$OUT/make-prefix.log"
: >"$LOG"

for name in "${FIXTURES[@]}"; do
    makensis -V2 -DOUT_DIR="$OUT" "$HERE/nsis/$name.nsi" >>"$LOG" 2>&1 \
        || fail_with_log "makensis failed for nsis/$name.nsi" "$LOG"
done

export WINEPREFIX="$PREFIX"
export WINEDLLOVERRIDES="mscoree,mshtml="
export WINEDEBUG=-all

start=$(now)
wine wineboot -u >>"$LOG" 2>&1 || fail_with_log "wineboot -u failed in $PREFIX" "$LOG"
wineserver -w
took "prefix" "$start"

for name in "${FIXTURES[@]}"; do
    start=$(now)
    status=0
    wine "$OUT/tidewell-e2e-$name-setup.exe" /S >>"$LOG" 2>&1 || status=$?
    [ "$status" -eq 0 ] || fail_with_log "installer $name exited with $status" "$LOG"
    took "install $name" "$start"
done
# The registry reaches system.reg only when the server writes it out on exit.
start=$(now)
wineserver -w
took "registry flush" "$start"

# A silent installer that fails says nothing, so check that each key really landed.
for key in 'Software\Microsoft\Windows\CurrentVersion\Uninstall\TidewellE2ERemoves' \
    'Software\Microsoft\Windows\CurrentVersion\Uninstall\TidewellE2ELeaves' \
    'Software\Wow6432Node\Microsoft\Windows\CurrentVersion\Uninstall\TidewellE2E32'; do
    # system.reg doubles every backslash in key names.
    grep -qiF "[${key//\\/\\\\}]" "$PREFIX/system.reg" || die "key HKLM\\$key missing from $PREFIX/system.reg"
done
grep -qiF '[Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\TidewellE2EUser]' "$PREFIX/user.reg" \
    || die "key HKCU\\...\\Uninstall\\TidewellE2EUser missing from $PREFIX/user.reg"
echo "make-prefix: prefix ready at $PREFIX"
