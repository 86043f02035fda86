#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs what Quillmark needs, builds it, installs it under /usr/local and starts it in
# the current desktop session. Run it as yourself; it asks sudo for the system steps.
set -euo pipefail
cd "$(dirname "$0")/.."

if [ "$(id -u)" -ne 0 ]; then
  SUDO=sudo
else
  SUDO=
fi

scripts/setup-debian.sh

echo "== build"
cmake --preset release
cmake --build --preset release -j "$(nproc)"

echo "== install"
$SUDO cmake --install build/release

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "Quillmark is installed as $(command -v quillmark || echo /usr/local/bin/quillmark)."
  echo "No desktop session was found here; start it from your desktop with: quillmark"
  exit 0
fi

echo "== start"
# A second start while one runs only says so; the running one keeps its tray icon.
setsid -f quillmark >/dev/null 2>&1 </dev/null
echo "Quillmark is running. Select text anywhere and press Alt+Super+T."
