#!/usr/bin/env bash
# Installs the Debian packages Orlavo needs to build and run; with --test
# also what the tests need (a PostgreSQL server, PDF tools). Installs only
# what is missing, so running it again costs nothing.
set -euo pipefail
packages=(
    build-essential cmake ninja-build pkg-config
    qt6-base-dev qt6-base-dev-tools libqt6sql6-sqlite libqt6sql6-psql qt6-translations-l10n libgl-dev
    fonts-dejavu-core libsqlite3-dev sqlite3
    googletest libgtest-dev libbenchmark-dev
)
if [ "${1:-}" = "--test" ]; then
    packages+=(postgresql postgresql-client poppler-utils)
fi
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
echo "Installazione pacchetti: ${missing[*]}"
sudo=""
[ "$(id -u)" = 0 ] || sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
