#!/usr/bin/env bash
# Builds the benchmark programs in release mode and runs each one.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/setup.sh"
cmake -S "$root" -B "$root/build-bench" -G Ninja -DCMAKE_BUILD_TYPE=Release -DZC_BUILD_TESTS=OFF >/dev/null
cmake --build "$root/build-bench" -j "$(nproc)"
for program in "$root"/build-bench/bench/*/bench_*; do
    [ -x "$program" ] || continue
    echo "== $(basename "$program")"
    "$program" "$@"
done
