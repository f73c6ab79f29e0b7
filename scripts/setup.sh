#!/usr/bin/env bash
# Installs the Debian packages that building, testing and running need.
# Does nothing when all of them are present.
set -euo pipefail

PAKETE=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-base-dev-tools libqt6svg6 qt6-image-formats-plugins qt6-translations-l10n
  libgl-dev libegl-dev libxkbcommon-dev
  libmagick++-6.q16-dev imagemagick
  libexiv2-dev exiv2
  libturbojpeg0-dev libjpeg62-turbo-dev libjpeg-turbo-progs
  libgif-dev libpng-dev zlib1g-dev libtiff-dev
  libsane-dev libsane1 sane-utils
  libgtest-dev googletest libbenchmark-dev
  python3-pil python3-numpy libvips-tools
  xvfb xauth x11-apps xdotool
  fonts-dejavu-core locales
  poppler-utils
  libtiff-tools ghostscript netpbm
  clang libclang-rt-dev
  fp-utils-3.2.2
)

fehlend=()
for p in "${PAKETE[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    fehlend+=("$p")
  fi
done

if [ ${#fehlend[@]} -gt 0 ]; then
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -qq -o DPkg::Lock::Timeout=600
  $SUDO apt-get install -y -qq --no-install-recommends -o DPkg::Lock::Timeout=600 "${fehlend[@]}"
fi

# German locale for the tests and the program.
if ! locale -a 2>/dev/null | grep -qi '^de_DE\.utf8$'; then
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  if [ -f /etc/locale.gen ]; then
    $SUDO sed -i 's/^# *de_DE.UTF-8 UTF-8/de_DE.UTF-8 UTF-8/' /etc/locale.gen
    grep -q '^de_DE.UTF-8 UTF-8' /etc/locale.gen || echo 'de_DE.UTF-8 UTF-8' | $SUDO tee -a /etc/locale.gen >/dev/null
    $SUDO locale-gen >/dev/null
  fi
fi
exit 0
