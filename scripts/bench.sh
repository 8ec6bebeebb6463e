#!/usr/bin/env bash
# Builds the benchmark programs in release mode and runs each one, then measures the
# program's idle processor share, and its start-up time and proportional memory as ratios
# to a bare SDL window's. Each starts with a data folder and a home of its own. Programs
# that draw need a display: without DISPLAY they run on a private Xvfb.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/setup.sh"
cmake -S "$root" -B "$root/build-bench" -G Ninja -DCMAKE_BUILD_TYPE=Release -DZC_BUILD_TESTS=OFF >/dev/null
cmake --build "$root/build-bench" -j "$(nproc)"

with_display() {
    if [ -n "${DISPLAY:-}" ]; then
        "$@"
    else
        python3 "$root/tests/app/xvfb_run.py" "$@"
    fi
}

for program in "$root"/build-bench/bench/*/bench_*; do
    [ -x "$program" ] || continue
    echo "== $(basename "$program")"
    with_display "$program" "$@"
done
if [ -x "$root/build-bench/app/zundlecards" ]; then
    echo "== idle processor share"
    python3 "$root/bench/engine/idle_cpu.py" "$root/build-bench/app/zundlecards" 10
    echo "== start-up time and proportional memory, against a bare window"
    python3 "$root/bench/scene/start_memory.py" "$root/build-bench/app/zundlecards" 10
fi
