#!/usr/bin/env bash
# Remakes the README's screenshot, data/screenshots/main-window.png: the main window on the demo registry,
# framed by a plain window manager (which shows the window's icon in its title bar), on a virtual display.
source "$(dirname "$0")/common.sh"
install_missing "${PACKAGES[@]}" xvfb xdotool imagemagick openbox
build

OUT="$ROOT/data/screenshots/main-window.png"
WORK="$(mktemp -d)"
DEMO_HOME=""
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    rm -rf "$WORK" ${DEMO_HOME:+"$DEMO_HOME"}
}
trap cleanup EXIT

# Xvfb picks a free display number and writes it to the pipe.
exec 3<> <(:)
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp >"$WORK/xvfb.log" 2>&1 &
pids+=($!)
read -r -t 10 number <&3 || { cat "$WORK/xvfb.log"; echo "Xvfb did not start" >&2; exit 1; }
export DISPLAY=":$number"
openbox >"$WORK/openbox.log" 2>&1 &
pids+=($!)

# A fresh copy of the demo, so the list shows it as shipped, in a home whose name the status bar can show.
DEMO_HOME=/tmp/tidewell-home
rm -rf "$DEMO_HOME"
mkdir "$DEMO_HOME"
HOME="$DEMO_HOME" XDG_DATA_HOME="" "$BUILD/src/tidewell" --demo >"$WORK/tidewell.log" 2>&1 &
pids+=($!)
window="$(timeout 20 xdotool search --sync --onlyvisible --name '^Tidewell' | head -n 1)" || true
[ -n "$window" ] || { cat "$WORK/tidewell.log"; echo "the window did not appear" >&2; exit 1; }
# Time to lay out and paint the list and for the frame to take the window's icon.
sleep 2
mkdir -p "$(dirname "$OUT")"
import -display "$DISPLAY" -frame -window "$window" "png:$OUT.tmp"
mv "$OUT.tmp" "$OUT"
echo "Written: $OUT"
