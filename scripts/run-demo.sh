#!/usr/bin/env bash
# Installs what is missing, builds Tidewell and opens it on the demo registry.
source "$(dirname "$0")/common.sh"
install_missing "${PACKAGES[@]}"
build
exec "$BUILD/src/tidewell" --demo "$@"
