#!/usr/bin/env bash
# Installs every Debian package the project needs. Idempotent; silent when all is there.
set -euo pipefail

packages=(
    build-essential cmake ninja-build pkg-config
    qt6-base-dev qt6-base-dev-tools qt6-tools-dev qt6-tools-dev-tools qt6-l10n-tools
    qt6-translations-l10n
    libqt6uitools6 libgl-dev
    libpugixml-dev libserialport-dev libzip-dev libcurl4-openssl-dev
    libgtest-dev libgmock-dev libbenchmark-dev
    fonts-noto-cjk xvfb xauth imagemagick x11-utils dbus-x11
    python3 locales
)

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done
SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"

# A comma-decimal locale, so the tests can show that numbers ignore the locale.
ensure_test_locale() {
    if command -v localedef >/dev/null && ! locale -a 2>/dev/null | grep -qi '^de_DE\.utf-\?8$'; then
        $SUDO localedef -i de_DE -f UTF-8 de_DE.UTF-8 >/dev/null 2>&1 || true
    fi
}

if [ ${#missing[@]} -eq 0 ]; then
    ensure_test_locale
    exit 0
fi

echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
ensure_test_locale
