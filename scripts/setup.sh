#!/usr/bin/env bash
# Installs the Debian packages listed in packages.txt that are missing. Idempotent;
# works as root or through sudo. With the argument "windows" it also installs those of
# packages-windows.txt and lets apt fetch source packages, from which the Windows build
# makes its libraries.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
lists=("$here/packages.txt")
if [ "${1:-}" = windows ]; then
    lists+=("$here/packages-windows.txt")
fi

mapfile -t wanted < <(cat "${lists[@]}" | grep -v '^\s*#' | sed '/^\s*$/d')
missing=()
for pkg in "${wanted[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$pkg")
    fi
done

# Source entries for the binary ones, where apt has none yet.
sources_file=/etc/apt/sources.list.d/zundlecards-sources.sources
need_sources=0
if [ "${1:-}" = windows ] && ! apt-get indextargets 2>/dev/null | grep -q '^Identifier: Sources'; then
    need_sources=1
fi
if [ ${#missing[@]} -eq 0 ] && [ $need_sources -eq 0 ]; then
    exit 0
fi

if [ "$(id -u)" -eq 0 ]; then
    sudo=()
elif command -v sudo >/dev/null; then
    sudo=(sudo)
else
    echo "setup: missing packages (${missing[*]}) and no sudo to install them" >&2
    exit 1
fi
if [ $need_sources -eq 1 ]; then
    echo "setup: adding source entries in $sources_file"
    python3 "$here/deb_src_entries.py" | "${sudo[@]}" tee "$sources_file" >/dev/null
fi
"${sudo[@]}" apt-get update -qq
if [ ${#missing[@]} -gt 0 ]; then
    echo "setup: installing ${missing[*]}"
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends \
        "${missing[@]}"
fi
