#!/usr/bin/env bash
# Shared by the build scripts: installs the Debian packages that are missing and builds.
set -euo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD="${TIDEWELL_BUILD_DIR:-$ROOT/build/release}"

PACKAGES=(cmake ninja-build g++ ccache pkg-config qt6-base-dev qt6-base-dev-tools libgl-dev libgtest-dev clang-format fonts-dejavu-core poppler-utils clang-14 libclang-rt-14-dev libbenchmark-dev libyaml-cpp-dev nlohmann-json3-dev)

install_missing() {
    local missing=()
    for p in "$@"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing: ${missing[*]}"
    local sudo=""
    [ "$(id -u)" -eq 0 ] || sudo="sudo"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

build() {
    cmake -S "$ROOT" -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTIDEWELL_WERROR=ON "$@" >/dev/null
    cmake --build "$BUILD" -j "$(nproc)"
}
