#!/usr/bin/env bash
# Installs what is missing, then builds and runs every test: the debug build, the same
# suites under AddressSanitizer and UndefinedBehaviorSanitizer, the device-link suite
# under ThreadSanitizer, and the release build. Warnings are errors in every build here.
# Fails on any failing test, warning or sanitizer report.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/setup.sh"
jobs="$(nproc)"

configure_and_test() {
    local dir="$1" label_regex="$2"
    shift 2
    cmake -S "$root" -B "$root/$dir" -G Ninja -DZC_WERROR=ON "$@" >/dev/null
    cmake --build "$root/$dir" -j "$jobs"
    (cd "$root/$dir" && ctest --output-on-failure -j "$jobs" ${label_regex:+-L "$label_regex"})
}

echo "== debug build, all suites"
configure_and_test build "" -DCMAKE_BUILD_TYPE=Debug

echo "== address and undefined-behaviour sanitizers"
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:strict_string_checks=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
configure_and_test build-asan "" -DCMAKE_BUILD_TYPE=Debug -DZC_SANITIZE=address,undefined \
    -DZC_BUILD_BENCH=OFF

if [ -d "$root/devicelink" ] && [ -f "$root/tests/devicelink/CMakeLists.txt" ]; then
    echo "== thread sanitizer, device link"
    export TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1
    configure_and_test build-tsan devicelink -DCMAKE_BUILD_TYPE=Debug -DZC_SANITIZE=thread \
        -DZC_BUILD_BENCH=OFF -DZC_BUILD_APP=OFF
fi
# The optimiser finds warnings and faults (uninitialised reads, timing assumptions) that a
# debug build hides.
echo "== release build, all suites"
configure_and_test build-release-tests "" -DCMAKE_BUILD_TYPE=Release -DZC_BUILD_BENCH=OFF

echo "test: all suites passed"
