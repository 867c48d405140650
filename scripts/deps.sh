#!/usr/bin/env bash
# Installs the Debian 12 packages the build needs, only those that are missing. With --tests also
# what the tests run against: the ODBC drivers and a PostgreSQL server that the tests start.
set -euo pipefail
packages=(
    build-essential cmake ninja-build pkg-config git ccache clang-format
    qt6-base-dev qt6-svg-dev libgl-dev libqt6svg6
    libsqlite3-dev libsodium-dev libxlsxwriter-dev zlib1g-dev unixodbc-dev
    libgtest-dev libgmock-dev libbenchmark-dev
    clang libclang-rt-14-dev
    fonts-dejavu-core xvfb xauth
)
if [ "${1:-}" = "--tests" ]; then
    packages+=(odbc-postgresql libsqliteodbc postgresql-15 postgresql-client-15)
fi
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
echo "Installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
