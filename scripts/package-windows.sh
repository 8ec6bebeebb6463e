#!/usr/bin/env bash
# Builds the program for 64-bit Windows and packs what a teacher unpacks and runs:
# dist/zundlecards-windows.zip with zundlecards.exe, the DLLs it needs, res\, exe\ with the
# board simulator, and a short read-me. Installs what is missing first.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/setup.sh" windows
deps="$("$root/scripts/windows-deps.sh")"
build="$root/build-windows"
dist="$root/dist"
stage="$dist/zundlecards-windows"

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake" \
    -DZC_WIN_DEPS="$deps" -DCMAKE_BUILD_TYPE=Release -DZC_BUILD_TESTS=OFF -DZC_BUILD_BENCH=OFF \
    >/dev/null
cmake --build "$build" -j "$(nproc)" --target zundlecards

rm -rf "$stage" "$dist/zundlecards-windows.zip"
mkdir -p "$stage/exe"
cp "$build/app/zundlecards.exe" "$stage/"
cp "$deps"/bin/*.dll "$stage/"
# The simulator runs from exe\, and Windows looks for its DLLs there, not a folder above.
if [ -f "$build/app/exe/board-simulator.exe" ]; then
    cp "$build/app/exe/board-simulator.exe" "$deps"/bin/*.dll "$stage/exe/"
fi
# The pictures only: their drawing sources stay in the repository.
(cd "$root" && find res -path res/src -prune -o -type f -print | cpio -pdm --quiet "$stage")
find "$stage" -name "*.exe" -o -name "*.dll" | xargs x86_64-w64-mingw32-strip
sed 's/$/\r/' "$root/scripts/windows-readme.txt" >"$stage/README.txt"

python3 "$root/scripts/check_windows_package.py" "$stage"
(cd "$dist" && zip -qr zundlecards-windows.zip zundlecards-windows)
echo "package-windows: $dist/zundlecards-windows.zip ($(du -h "$dist/zundlecards-windows.zip" | cut -f1))"
