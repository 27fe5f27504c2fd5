#!/usr/bin/env bash
# The menu entry passes desktop-file-validate without a remark, and its command line, as GLib's launcher
# expands it, starts tidewell bare from the menu and with --registry FILE for a file handed to it.
# Usage: desktop-entry.sh DESKTOP_FILE. Exit 77 (skipped) where desktop-file-validate is missing.
set -euo pipefail
ENTRY="$1"

command -v desktop-file-validate >/dev/null \
    || { echo "desktop-file-validate is not installed (package desktop-file-utils); skipped"; exit 77; }
remarks="$(desktop-file-validate "$ENTRY" 2>&1)" || true
[ -z "$remarks" ] || { echo "$remarks"; exit 1; }
echo "desktop-file-validate: no remarks"

if ! command -v gio >/dev/null; then
    echo "gio is not installed (package libglib2.0-bin): the Exec line's expansion is not checked"
    exit 0
fi
WORK="$(mktemp -d)"
trap 'rm -rf "$WORK"' EXIT
# A stand-in tidewell that writes down the arguments it was given.
cat >"$WORK/tidewell" <<'STUB'
#!/bin/sh
for a in "$@"; do printf '[%s]' "$a"; done >"$0.tmp"
mv "$0.tmp" "$0.args"
STUB
chmod +x "$WORK/tidewell"

# Prints the arguments tidewell got when the entry was launched with the given files.
launched() {
    rm -f "$WORK/tidewell.args"
    PATH="$WORK:$PATH" gio launch "$ENTRY" "$@"
    for _ in $(seq 50); do
        [ -e "$WORK/tidewell.args" ] && break
        sleep 0.1
    done
    cat "$WORK/tidewell.args"
}

file="$WORK/a \"quoted\" \$HOME; name.reg"
touch "$file"
status=0
for case in "from the menu||" "with a file|$file|[--registry][$file]"; do
    IFS='|' read -r what given expected <<<"$case"
    got="$(launched ${given:+"$given"})"
    if [ "$got" = "$expected" ]; then
        echo "launched $what: tidewell${got:+ $got}"
    else
        echo "launched $what: expected tidewell $expected, got $got"
        status=1
    fi
done
exit $status
