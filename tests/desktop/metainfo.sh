#!/usr/bin/env bash
# The AppStream metainfo passes appstreamcli's validation, without looking anything up on the network.
# Usage: metainfo.sh METAINFO_FILE. Exit 77 (skipped) where appstreamcli is missing.
set -euo pipefail
command -v appstreamcli >/dev/null \
    || { echo "appstreamcli is not installed (package appstream); skipped"; exit 77; }
exec appstreamcli validate --no-net "$1"
