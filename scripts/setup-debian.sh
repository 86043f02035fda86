#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs every Debian 12 package Quillmark needs to build, run and test.
# Safe to run again: apt-get skips what is already there.
set -euo pipefail

if [ "$(id -u)" -ne 0 ]; then
  SUDO=sudo
else
  SUDO=
fi

build_packages=(
  build-essential cmake ninja-build pkg-config git clang-format ccache
  qt6-base-dev qt6-base-dev-tools qt6-svg-dev qt6-l10n-tools
  qcoro-qt6-dev qt6-httpserver-dev
  libwayland-dev wayland-protocols plasma-wayland-protocols librust-wayland-protocols-dev
  libxcb1-dev libxcb-xtest0-dev libxcb-xinput-dev libxcb-xkb-dev libxcb-xfixes0-dev libxcb-damage0-dev libxkbcommon-dev libxkbcommon-x11-dev
  libatspi2.0-dev libsecret-1-dev libsystemd-dev libglib2.0-dev
  libgtest-dev libgmock-dev libbenchmark-dev dpkg-dev
)

runtime_packages=(
  libqt6svg6 qt6-qpa-plugins dbus dbus-x11 at-spi2-core gnome-keyring libsecret-tools
  fonts-dejavu-core libqt6sql6-sqlite libqt6sql6-psql qt6-wayland
)

test_packages=(
  xvfb xauth openbox xdotool xclip x11-xkb-utils x11-utils x11-xserver-utils mousepad xterm trayer
  python3 python3-gi gir1.2-gtk-3.0 gir1.2-gtk-4.0 procps desktop-file-utils libglib2.0-bin
  postgresql-15 wrk
  kwin-wayland xwayland sway wl-clipboard gnome-settings-daemon-common
)

export DEBIAN_FRONTEND=noninteractive
stamp=/var/lib/apt/periodic/quillmark-update-stamp
if [ ! -f "$stamp" ] || [ -n "$(find "$stamp" -mmin +360 2>/dev/null)" ]; then
  $SUDO apt-get update -q
  $SUDO mkdir -p "$(dirname "$stamp")" && $SUDO touch "$stamp"
fi
$SUDO apt-get install -y -q --no-install-recommends \
  "${build_packages[@]}" "${runtime_packages[@]}" "${test_packages[@]}"
