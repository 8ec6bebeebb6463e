#!/usr/bin/env bash
# Installs what is missing, builds the program and starts it.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/setup.sh"
cmake -S "$root" -B "$root/build-release" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DZC_BUILD_TESTS=OFF -DZC_BUILD_BENCH=OFF >/dev/null
if [ ! -f "$root/app/CMakeLists.txt" ]; then
    cmake --build "$root/build-release"
    echo "Built the catalogue and program generation. Still to come: the window and the workspace."
    exit 0
fi
cmake --build "$root/build-release" --target zundlecards
exec "$root/build-release/app/zundlecards"
