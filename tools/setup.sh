#!/usr/bin/env bash
# Installs, from Debian's packages, what building and testing need and this
# machine lacks. Run as root on Debian 12.
set -euo pipefail

packages=(
  cmake g++ make pkg-config
  libpugixml-dev libgtest-dev
  qt6-base-dev qt6-translations-l10n libxcb1-dev fonts-liberation
  xvfb xdotool x11-utils
  python3-dbfread libxml2-utils util-linux
  clang libclang-rt-14-dev
  gdal-bin libreoffice-calc-nogui libreoffice-base-drivers
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if ((${#missing[@]})); then
  echo "Instalando: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
