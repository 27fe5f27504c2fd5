#!/usr/bin/env bash
# End-to-end test with real installers: makes a throw-away Wine prefix with the fixture installers,
# runs the window's flows on it (WinePrefixEndToEndTest), then the command line's, and asks Wine
# itself whether the entries are gone. Exit 77 (skipped) where Wine or NSIS is missing.
# Usage: e2e.sh TIDEWELL WINE_PREFIX_END_TO_END_TEST
set -euo pipefail
HERE="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
TIDEWELL="$1"
UI_TEST="$2"

for tool in wine wineserver makensis; do
    command -v "$tool" >/dev/null || { echo "e2e: $tool is not installed; skipped"; exit 77; }
done
# Wine's programs get a display as on a desktop, where there is none of its own.
if [ -z "${DISPLAY:-}" ] && [ -z "${TIDEWELL_E2E_XVFB:-}" ] && command -v xvfb-run >/dev/null; then
    TIDEWELL_E2E_XVFB=1 exec xvfb-run -a "$0" "$@"
fi

WORK="$(mktemp -d "${TMPDIR:-/tmp}/tidewell-e2e.XXXXXX")"
export WINEPREFIX="$WORK/prefix"
export WINEDLLOVERRIDES="mscoree,mshtml="
export WINEDEBUG=-all
cleanup() {
    wineserver -k >/dev/null 2>&1 || true
    rm -rf "$WORK"
}
trap cleanup EXIT

fail() {
    echo "e2e: FAILED: $*" >&2
    exit 1
}

UNINSTALL='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall'
UNINSTALL32='HKLM\Software\Wow6432Node\Microsoft\Windows\CurrentVersion\Uninstall'
USER_UNINSTALL='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall'
# Wine's own answer: is the key there?
wine_has() {
    local status=0
    wine reg query "$1" >/dev/null 2>&1 || status=$?
    wineserver -w
    [ "$status" -eq 0 ]
}

"$HERE/make-prefix.sh" "$WINEPREFIX" "$WORK/out"

echo "== the list, read from the file without Wine"
"$TIDEWELL" --prefix "$WINEPREFIX" --list >"$WORK/list.txt"
grep -q $'^TidewellE2ERemoves\tTidewell E2E Removes\t' "$WORK/list.txt" || fail "--list lacks TidewellE2ERemoves"
grep -q $'^TidewellE2ELeaves\t' "$WORK/list.txt" || fail "--list lacks TidewellE2ELeaves"
grep -q $'^TidewellE2E32\tTidewell E2E 32-bit\t' "$WORK/list.txt" || fail "--list lacks the 32-bit TidewellE2E32"
grep -q $'^TidewellE2EUser\tTidewell E2E Per User\t' "$WORK/list.txt" || fail "--list lacks the per-user TidewellE2EUser"
"$TIDEWELL" --prefix "$WINEPREFIX" --view 64 --list >"$WORK/list64.txt"
! grep -q TidewellE2E32 "$WORK/list64.txt" || fail "--view 64 shows the 32-bit entry"
grep -q $'^TidewellE2EUser\t' "$WORK/list64.txt" || fail "--view 64 lacks the per-user entry"

echo "== the window's flows"
TIDEWELL_E2E_PREFIX="$WINEPREFIX" QT_QPA_PLATFORM=offscreen "$UI_TEST" || fail "the window's flows"
for key in "$UNINSTALL\\TidewellE2ERemoves" "$UNINSTALL\\TidewellE2ELeaves" "$UNINSTALL32\\TidewellE2E32" \
    "$USER_UNINSTALL\\TidewellE2EUser"; do
    ! wine_has "$key" || fail "Wine still has $key"
done
! grep -q TidewellE2EUser "$WINEPREFIX/user.reg" || fail "user.reg still holds TidewellE2EUser"

echo "== the command line: tidewell --uninstall"
for name in removes leaves user; do
    wine "$WORK/out/tidewell-e2e-$name-setup.exe" /S
done
wineserver -w
status=0
out="$("$TIDEWELL" --prefix "$WINEPREFIX" --uninstall TidewellE2ERemoves)" || status=$?
[ "$status" -eq 0 ] || fail "--uninstall TidewellE2ERemoves exited with $status"
[ "$out" = "Uninstall OK. Uninstaller removed program from the list." ] || fail "unexpected: $out"
status=0
out="$("$TIDEWELL" --prefix "$WINEPREFIX" --uninstall TidewellE2ELeaves --force)" || status=$?
[ "$status" -eq 0 ] || fail "--uninstall TidewellE2ELeaves --force exited with $status"
[ "$out" = "Uninstall Not Successful. Force the removal of the program from the list." ] || fail "unexpected: $out"
status=0
out="$("$TIDEWELL" --prefix "$WINEPREFIX" --uninstall TidewellE2EUser)" || status=$?
[ "$status" -eq 0 ] || fail "--uninstall TidewellE2EUser exited with $status"
[ "$out" = "Uninstall OK. Uninstaller removed program from the list." ] || fail "unexpected: $out"
! grep -q TidewellE2EUser "$WINEPREFIX/user.reg" || fail "user.reg still holds TidewellE2EUser after --uninstall"
status=0
"$TIDEWELL" --prefix "$WINEPREFIX" --uninstall TidewellE2ELeaves >/dev/null 2>&1 || status=$?
[ "$status" -eq 2 ] || fail "--uninstall of an entry no longer listed exited with $status, not 2"
for key in "$UNINSTALL\\TidewellE2ERemoves" "$UNINSTALL\\TidewellE2ELeaves" "$USER_UNINSTALL\\TidewellE2EUser"; do
    ! wine_has "$key" || fail "Wine still has $key"
done
echo "e2e: every check passed"
