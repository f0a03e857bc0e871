#!/usr/bin/env bash
# Installs everything Stakko needs to build, test and run on Debian 12.
# Idempotent: packages already present are not touched, and apt is not
# even asked when nothing is missing. Uses sudo only when not root.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-base-dev-tools qt6-multimedia-dev qt6-tools-dev qt6-tools-dev-tools
  qt6-l10n-tools libqt6svg6 qt6-svg-dev qt6-qpa-plugins libgl-dev
  zlib1g-dev libdeflate-dev
  googletest libgtest-dev libgmock-dev
  libbenchmark-dev
  # the callback INI parser the INI benchmark times as a peer
  libinih-dev
  fonts-liberation2
  clang-14 libclang-rt-14-dev clang-format
  xvfb xdotool imagemagick x11-utils
  desktop-file-utils appstream
  # CPack's Debian generator asks file(1) which installed files are programs
  file
  # a private sound server and its recorder for the start-sound test
  pulseaudio pulseaudio-utils
  # native Wayland sessions, and a headless compositor with its screenshot
  # and keyboard tools for the Wayland end-to-end test
  qt6-wayland sway grim wtype
  # the test's own pointer for that compositor (a Wayland client made with
  # wayland-scanner), and jq to read the compositor's window tree
  libwayland-dev jq
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  echo "install-deps: all packages present"
  exit 0
fi

sudo=""
if [ "$(id -u)" -ne 0 ]; then
  sudo="sudo"
fi

echo "install-deps: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
