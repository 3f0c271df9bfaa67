#!/usr/bin/env bash
# Installs the Debian packages Vistrova needs to build, run and test.
# Idempotent: does nothing when every package is already there.
set -euo pipefail

PACKAGES=(
  build-essential cmake pkg-config git
  qt6-base-dev qt6-base-dev-tools libgl-dev qt6-image-formats-plugins
  libmpv-dev libasound2-dev libxcb1-dev libxcb-xkb-dev
  fonts-noto-cjk qt6-translations-l10n
  libgtest-dev libgmock-dev googletest libbenchmark-dev
  clang libclang-rt-14-dev
  xvfb xauth xdotool x11-utils x11-xserver-utils imagemagick ffmpeg desktop-file-utils
  libgl1-mesa-dri
  openbox weston xwayland qt6-wayland
  feh libxcb-xtest0-dev
  libheif-dev libheif-examples appstream dpkg-dev
  liblcms2-dev zlib1g-dev libavformat-dev libavcodec-dev libavutil-dev libswscale-dev
)

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

if [ "$(id -u)" -ne 0 ]; then
  if command -v sudo >/dev/null 2>&1; then
    exec sudo "$0" "$@"
  fi
  echo "install-deps: missing packages (${missing[*]}); run this script as root" >&2
  exit 1
fi

echo "install-deps: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq --no-install-recommends "${missing[@]}"
