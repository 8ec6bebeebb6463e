#!/usr/bin/env bash
# Runs a Windows program of the cross build under wine, in a prefix of the project's own
# that is made once: wine-run.sh DLL_FOLDER PROGRAM [ARGUMENTS...]. The exit status is the
# program's. CTest uses it as the build's emulator.
#
#   ZC_WINEPREFIX  the prefix (default: beside the Windows libraries' cache)
set -euo pipefail
dlls="$1"
shift
cache="${ZC_WIN_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/zundlecards-win64}"
export WINEPREFIX="${ZC_WINEPREFIX:-$cache/wineprefix}"
export WINEDEBUG="${WINEDEBUG:--all}"
# No downloads of wine's .NET and HTML engines, no desktop menu entries.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
export WINEPATH="Z:$dlls"
# A fatal message goes to the error stream only: nobody is there to close a message box.
export ZC_NO_MESSAGE_BOX=1
wine=/usr/lib/wine/wine64

mkdir -p "$(dirname "$WINEPREFIX")"
exec 9>"$WINEPREFIX.lock"
flock 9
if [ ! -f "$WINEPREFIX/.ready" ]; then
    rm -rf "$WINEPREFIX"
    "$wine" wineboot --init >/dev/null 2>&1
    wineserver -w
    # A Windows machine has Arial; Liberation Sans has its metrics.
    cp /usr/share/fonts/truetype/liberation2/LiberationSans-Regular.ttf \
        "$WINEPREFIX/drive_c/windows/Fonts/arial.ttf"
    touch "$WINEPREFIX/.ready"
fi
# Wine links the user's desktop and document folders to the home folder: a shortcut that an
# installer under test puts on the desktop would land there. Folders of their own instead
# (wine may bring the links back when it updates the prefix).
for link in "$WINEPREFIX"/drive_c/users/*/{Desktop,Documents,Downloads,Music,Pictures,Videos} \
    "$WINEPREFIX"/drive_c/users/*/AppData/Roaming/Microsoft/Windows/Templates; do
    if [ -L "$link" ]; then
        rm "$link" && mkdir "$link"
    fi
done
flock -u 9
exec 9>&-
exec "$wine" "$@"
