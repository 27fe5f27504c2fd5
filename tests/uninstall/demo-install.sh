#!/usr/bin/env bash
# The demo's own uninstallers in an install: `cmake --install` into a throw-away prefix, and the user's
# copy of the demo made first by the build tree's program, so the install must point it at its own.
# Usage: demo-install.sh BUILD_DIR BUILD_TREE_TIDEWELL SOURCE_DIR
set -euo pipefail
BUILD="$1"
BUILT="$2"
SOURCE="$3"
WORK="$(mktemp -d "${TMPDIR:-/tmp}/tidewell-demo.XXXXXX")"
trap 'rm -rf "$WORK"' EXIT
fail() {
    echo "demo-install: FAILED: $*" >&2
    exit 1
}

cmake --install "$BUILD" --prefix "$WORK/usr" >/dev/null
INSTALLED="$WORK/usr/bin/tidewell"
export XDG_DATA_HOME="$WORK/data"
"$BUILT" --demo --list >/dev/null
status=0
out="$("$INSTALLED" --demo --uninstall WrenfieldFamilyTree5)" || status=$?
[ "$status" -eq 0 ] || fail "--uninstall WrenfieldFamilyTree5 exited with $status"
[ "$out" = "Uninstall OK. Uninstaller removed program from the list." ] || fail "unexpected: $out"
! "$INSTALLED" --demo --list | grep -q '^WrenfieldFamilyTree5' || fail "WrenfieldFamilyTree5 is still listed"
status=0
"$INSTALLED" --demo --uninstall SkyharborToolbar >/dev/null || status=$?
[ "$status" -eq 1 ] || fail "--uninstall SkyharborToolbar exited with $status, not 1"
cmp -s "$SOURCE/data/demo/system.reg" "$WORK/usr/share/tidewell/demo/system.reg" || fail "the installed demo changed"
echo "demo-install: passed"
