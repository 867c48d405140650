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
if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    export DEBIAN_FRONTEND=noninteractive
    $sudo apt-get update -qq
    $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# Run as root, the tests start their PostgreSQL server as "nobody" (the server refuses root),
# who must be able to pass through the folders above its programs and the temporary folder. A
# freshly made root file system can come with "/" closed to others (mode 0700); open only the
# search bit of such a folder, and say so.
if [ "${1:-}" = "--tests" ] && [ "$(id -u)" -eq 0 ]; then
    initdb=/usr/lib/postgresql/15/bin/initdb
    if ! runuser -u nobody -- test -x "$initdb" 2>/dev/null \
        || ! runuser -u nobody -- test -x "${TMPDIR:-/tmp}" 2>/dev/null; then
        for dir in / /usr /usr/lib /usr/lib/postgresql /usr/lib/postgresql/15 \
            /usr/lib/postgresql/15/bin "${TMPDIR:-/tmp}"; do
            if [ -d "$dir" ] && [ $(( 8#$(stat -c %a "$dir") & 1 )) -eq 0 ]; then
                echo "Letting others pass through $dir (it was mode $(stat -c %a "$dir")), so that the tests' PostgreSQL server can run as nobody"
                chmod o+x "$dir"
            fi
        done
    fi
fi
