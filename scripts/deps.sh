#!/usr/bin/env bash
# Installs what the build, the tests and the demo need on a fresh Debian 12 machine.
# Runs as root (or through sudo); skips the install when everything is present.
set -euo pipefail
packages=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-serialport-dev libgl-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  libavformat-dev libavcodec-dev libswscale-dev libavutil-dev ffmpeg
  xvfb xauth x11-utils imagemagick fonts-dejavu-core locales
  clang libclang-rt-14-dev
  poppler-utils
  xdotool python3 python3-xlib
  dpkg-dev desktop-file-utils man-db
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"
if [ "${#missing[@]}" -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  $SUDO apt-get update
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y --no-install-recommends "${missing[@]}"
fi
# The number tests run in a decimal-comma locale as well, and the number tests and the
# fuzz target in locales whose exponent symbol or minus sign is not ASCII's.
locales=(de_DE sv_SE et_EE lt_LT se_NO en_US de_CH fr_FR fi_FI nb_NO ru_RU uk_UA ar_EG fa_IR hi_IN)
wanted=()
for l in "${locales[@]}"; do
  locale -a 2>/dev/null | grep -qix "${l}\.utf-\?8" || wanted+=("$l")
done
if [ "${#wanted[@]}" -gt 0 ]; then
  for l in "${wanted[@]}"; do
    $SUDO sed -i "s/^# *${l}.UTF-8 UTF-8/${l}.UTF-8 UTF-8/" /etc/locale.gen
    grep -q "^${l}.UTF-8 UTF-8" /etc/locale.gen || echo "${l}.UTF-8 UTF-8" | $SUDO tee -a /etc/locale.gen >/dev/null
  done
  $SUDO locale-gen
fi
