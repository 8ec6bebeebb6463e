#!/usr/bin/env bash
# Builds the program for 64-bit Windows and packs what a teacher unpacks and runs:
# dist/zundlecards-windows.zip with zundlecards.exe, the DLLs it needs, res\, exe\ with the
# board simulator, and a short read-me; and the same files as an installer made with NSIS,
# dist/zundlecards-setup.exe (packaging/windows/zundlecards.nsi). Installs what is missing
# first.
#
#   ZC_WINDOWS_BUILD  an existing Windows build folder to pack from (the test command's)
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/setup.sh" windows
deps="$("$root/scripts/windows-deps.sh")"
build="${ZC_WINDOWS_BUILD:-$root/build-windows}"
dist="$root/dist"
stage="$dist/zundlecards-windows"

if [ -z "${ZC_WINDOWS_BUILD:-}" ]; then
    cmake -S "$root" -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake" \
        -DZC_WIN_DEPS="$deps" -DCMAKE_BUILD_TYPE=Release -DZC_BUILD_TESTS=OFF \
        -DZC_BUILD_BENCH=OFF >/dev/null
fi
cmake --build "$build" -j "$(nproc)" --target zundlecards catalogues

version="$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")"
setup="$dist/zundlecards-setup.exe"
rm -rf "$stage" "$dist/zundlecards-windows.zip" "$setup"
mkdir -p "$stage/exe"
cp "$build/app/zundlecards.exe" "$stage/"
cp "$deps"/bin/*.dll "$stage/"
# The simulator runs from exe\, and Windows looks for its DLLs there, not a folder above.
if [ -f "$build/app/exe/board-simulator.exe" ]; then
    cp "$build/app/exe/board-simulator.exe" "$deps"/bin/*.dll "$stage/exe/"
fi
# The pictures only: their drawing sources stay in the repository.
cp -r "$root/res" "$stage/res"
rm -rf "$stage/res/src"
# The compiled catalogues, and the Japanese font with its licence, which allows passing it
# on unchanged together with the licence text.
mkdir -p "$stage/locale" "$stage/fonts"
cp "$build"/locale/*.mo "$stage/locale/"
cp /usr/share/fonts/opentype/ipafont-gothic/ipag.ttf "$stage/fonts/"
cp /usr/share/doc/fonts-ipafont-gothic/copyright "$stage/fonts/IPA-Font-License.txt"
find "$stage" -name "*.exe" -o -name "*.dll" | xargs x86_64-w64-mingw32-strip
sed 's/$/\r/' "$root/scripts/windows-readme.txt" >"$stage/README.txt"

(cd "$dist" && zip -qr zundlecards-windows.zip zundlecards-windows)

# The installer: every file of the folder, and exactly those removed again on uninstall.
files="$(mktemp --suffix=.nsh)"
trap 'rm -f "$files"' EXIT
python3 "$root/packaging/windows/file_list.py" "$stage" "$files"
makensis -V2 -DVERSION="$version" -DFILES="$files" -DOUTFILE="$setup" \
    -DICON="$root/packaging/icons/zundlecards.ico" "$root/packaging/windows/zundlecards.nsi"

if ! python3 "$root/scripts/check_windows_package.py" "$stage" --version "$version" \
    --installer "$setup"; then
    rm -f "$dist/zundlecards-windows.zip" "$setup"
    exit 1
fi
for made in "$dist/zundlecards-windows.zip" "$setup"; do
    echo "package-windows: $made ($(du -h "$made" | cut -f1))"
done
