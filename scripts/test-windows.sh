#!/usr/bin/env bash
# Installs what is missing, cross-builds the program and its suites for 64-bit Windows
# (warnings are errors), and runs them under wine: the suites that need no display, the
# device link against a pseudo-terminal mapped to a COM port, and the real program's window
# on a private Xvfb; then the zip and the installer made from that build. The Windows
# libraries are built once into a cache outside the clone. With --build-only it stops once
# the build is made.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/setup.sh" windows
deps="$("$root/scripts/windows-deps.sh")"
build="$root/build-windows-tests"

echo "== Windows build under wine, all suites"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake" \
    -DZC_WIN_DEPS="$deps" -DCMAKE_BUILD_TYPE=Release -DZC_BUILD_BENCH=OFF -DZC_WERROR=ON \
    >/dev/null
cmake --build "$build" -j "$(nproc)"
if [ "${1:-}" = --build-only ]; then
    exit 0
fi
(cd "$build" && ctest --output-on-failure -j "$(nproc)" -L wine)

echo "== the Windows package, unpacked and started; the installer, installed, started and removed"
ZC_WINDOWS_BUILD="$build" "$root/scripts/package-windows.sh"
version="$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")"
python3 "$root/tests/win32/wine_window_test.py" --wine-run "$root/tests/win32/wine-run.sh" \
    --package "$root/dist/zundlecards-windows.zip" --installer "$root/dist/zundlecards-setup.exe" \
    --version "$version" --artifacts "$build/artifacts" WindowsPackage WindowsInstaller
echo "test-windows: all suites passed"
