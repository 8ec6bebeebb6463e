#!/usr/bin/env bash
# Installs what is missing, cross-builds the program and its suites for 64-bit Windows
# (warnings are errors), and runs them under wine: the suites that need no display, the
# device link against a pseudo-terminal mapped to a COM port, and the real program's window
# on a private Xvfb. The Windows libraries are built once into a cache outside the clone.
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
(cd "$build" && ctest --output-on-failure -j "$(nproc)" -L wine)
echo "test-windows: all suites passed"
