#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Removes what `cmake --install` put in place (scripts/install.sh installs the release build),
# as listed in the build's install manifest, and the folders it made that are empty now.
# Quillmark's settings (~/.config/quillmark) and the key in the keyring stay; the README
# says how to remove them too.
#
# usage: scripts/uninstall.sh [BUILD_DIR]    (default: build/release)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/release}
manifest=$build/install_manifest.txt
# (CMake writes the manifest without a newline after its last line.)
if [ ! -f "$manifest" ]; then
  echo "uninstall: $manifest is missing; nothing was installed from $build" >&2
  exit 1
fi

SUDO=
while IFS= read -r file || [ -n "$file" ]; do
  [ -n "$file" ] || continue
  if [ -e "$file" ] && [ ! -w "$(dirname "$file")" ] && [ "$(id -u)" -ne 0 ]; then
    SUDO=sudo
  fi
done <"$manifest"

while IFS= read -r file || [ -n "$file" ]; do
  [ -n "$file" ] || continue
  if [ -e "$file" ] || [ -L "$file" ]; then
    $SUDO rm -f -- "$file"
    echo "removed $file"
  fi
  # The documentation folder is Quillmark's own; shared folders stay even when empty.
  case "$(dirname "$file")" in
    */doc/quillmark)
      [ ! -d "$(dirname "$file")" ] ||
        $SUDO rmdir --ignore-fail-on-non-empty -- "$(dirname "$file")" ;;
  esac
done <"$manifest"
