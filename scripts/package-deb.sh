#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds the release configuration and makes a Debian package of it with CPack, installed
# under /usr. The package's dependencies are worked out from the libraries the binary uses.
# Install it with `sudo apt install ./build/release/quillmark_*.deb`, remove it with
# `sudo apt remove quillmark`.
#
# usage: scripts/package-deb.sh    (prints the path of the package it made)
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup-debian.sh

echo "== build"
cmake --preset release
cmake --build --preset release -j "$(nproc)"

echo "== package"
rm -f build/release/quillmark_*.deb
# CPack's staging install writes the install manifest over, which uninstall.sh reads to
# remove what install.sh put under /usr/local; keep it.
manifest=build/release/install_manifest.txt
[ ! -f "$manifest" ] || cp "$manifest" "$manifest.kept"
(cd build/release && cpack -G DEB >/dev/null)
if [ -f "$manifest.kept" ]; then mv "$manifest.kept" "$manifest"; else rm -f "$manifest"; fi
package=$(ls build/release/quillmark_*.deb)
dpkg-deb --info "$package" | sed -n 's/^ \(Package\|Version\|Depends\):/\1:/p'
echo "$package"
