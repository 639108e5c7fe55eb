#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, and only those missing.
# Costs one dpkg query when everything is there already.
set -euo pipefail

packages=(
    g++ make cmake ninja-build pkg-config
    qt6-base-dev libqscintilla2-qt6-dev qt6-declarative-dev
    fonts-liberation
    qt6-translations-l10n tango-icon-theme
    poppler-utils
    clang libclang-rt-14-dev
    desktop-file-utils appstream
    chromium
    dpkg-dev patch
    file man-db lintian
)

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$p")
    fi
done
if [ ${#missing[@]} -ne 0 ]; then
    echo "Installing: ${missing[*]}"
    sudo=""
    if [ "$(id -u)" -ne 0 ]; then
        sudo="sudo"
    fi
    export DEBIAN_FRONTEND=noninteractive
    $sudo apt-get update -qq
    $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# QScintilla with our patches, built once into a cache folder (costs nothing after).
"$(dirname "$0")/build-qscintilla.sh"
