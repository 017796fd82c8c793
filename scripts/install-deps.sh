#!/usr/bin/env bash
# Installs the Debian 12 packages the build, the program and the tests need.
set -euo pipefail
packages=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-base-dev-tools qt6-translations-l10n libgl-dev
  libsqlite3-dev libxlsxwriter-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  libsodium-dev
  poppler-utils xvfb xauth
  python3 sqlite3 unzip
  fonts-dejavu-core fonts-dejavu-extra
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO=sudo
  $SUDO apt-get update
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y --no-install-recommends "${missing[@]}"
fi
