#!/usr/bin/env bash
# Makes every package from a fresh clone: the Debian package
# (dist/zundlecards_<version>_amd64.deb), and for Windows the zip and the installer
# (dist/zundlecards-windows.zip, dist/zundlecards-setup.exe). Installs what is missing first.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/package-debian.sh"
"$root/scripts/package-windows.sh"
