#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs what Quillmark needs, builds it, installs it under /usr/local and starts it in
# the current desktop session. Run it as yourself; it asks sudo for the system steps. Run
# with sudo, it starts Quillmark as the user who called sudo, never as root.
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
$SUDO cmake --install build/release --strip

binary=/usr/local/bin/quillmark
not_started() {
  echo "Quillmark is installed as $binary."
  echo "$1; start it from your desktop's application menu or with: quillmark"
  exit 0
}

# The tray application belongs in the user's own session: as root, start it as the user
# who called sudo, on their display and session bus.
as_user=()
if [ "$(id -u)" -eq 0 ]; then
  if [ -z "${SUDO_USER:-}" ] || [ "$SUDO_USER" = root ]; then
    not_started "It is not started for root"
  fi
  uid=$(id -u "$SUDO_USER")
  as_user=(sudo -u "$SUDO_USER" env "XDG_RUNTIME_DIR=/run/user/$uid"
           "DBUS_SESSION_BUS_ADDRESS=unix:path=/run/user/$uid/bus"
           "DISPLAY=${DISPLAY:-}" "XAUTHORITY=${XAUTHORITY:-/home/$SUDO_USER/.Xauthority}")
fi
if [ -z "${DISPLAY:-}" ]; then
  not_started "No X11 desktop session was found here"
fi

echo "== start"
# A second start while one runs only says so and leaves the running one in the tray.
"${as_user[@]}" setsid -f "$binary" >/dev/null 2>&1 </dev/null
# It is in the tray well within a second; one that fails to start has ended by then.
sleep 1
if pgrep -u "${SUDO_USER:-$(id -un)}" -x quillmark >/dev/null; then
  echo "Quillmark is running. Select text anywhere and press Alt+Super+T."
else
  echo "Quillmark did not start; run $binary in a terminal to see why." >&2
  exit 1
fi
