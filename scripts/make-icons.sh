#!/usr/bin/env bash
# Renders the application icon (data/icons/hicolor/scalable/apps/<id>.svg) at the sizes the hicolor theme asks for, and packs
# the Windows icon from those renderings. Run it after changing the SVG and commit what it wrote.
source "$(dirname "$0")/common.sh"
install_missing librsvg2-bin python3

ID=io.github.tidewell.Tidewell
ICONS="$ROOT/data/icons"
for size in 16 22 24 32 48 64 128 256; do
    mkdir -p "$ICONS/hicolor/${size}x${size}/apps"
    rsvg-convert -w "$size" -h "$size" "$ICONS/hicolor/scalable/apps/$ID.svg" -o "$ICONS/hicolor/${size}x${size}/apps/$ID.png"
done

# Windows takes PNG images inside an .ico since Vista; 256 px is what Explorer shows largest.
python3 - "$ICONS" "$ID" <<'PY'
import struct, sys
icons, app_id = sys.argv[1], sys.argv[2]
sizes = [16, 24, 32, 48, 64, 256]
images = [open(f"{icons}/hicolor/{s}x{s}/apps/{app_id}.png", "rb").read() for s in sizes]
head = struct.pack("<HHH", 0, 1, len(sizes))
offset = len(head) + 16 * len(sizes)
entries = b""
for size, data in zip(sizes, images):
    entries += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 32, len(data), offset)
    offset += len(data)
with open(f"{icons}/tidewell.ico", "wb") as out:
    out.write(head + entries + b"".join(images))
PY
echo "Icons written under $ICONS"
