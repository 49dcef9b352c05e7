#!/bin/sh
# Installs the Debian packages the build and the tests need, skipping those already present.
# Runs apt-get directly as root, through sudo otherwise.
set -eu
packages="cmake g++ make pkg-config qt6-base-dev qt6-charts-dev qt6-svg-dev libqt6opengl6-dev libmuparser-dev
          qt6-translations-l10n fonts-dejavu-core xvfb xauth libx11-dev locales liblapacke-dev libgsl-dev
          pybind11-dev python3-dev python3-numpy python3-pytest
          qt6-image-formats-plugins"
missing=""
for p in $packages; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done
[ -z "$missing" ] && exit 0
echo "Устанавливаются пакеты:$missing"
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
$sudo apt-get update -q
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends $missing
