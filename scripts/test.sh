#!/usr/bin/env bash
# Installs what is missing, then builds and runs every test: the release build, and the
# Debian package made from it, installed and removed; the device-link suite under
# ThreadSanitizer; the Windows build under wine with its zip and installer
# (scripts/test-windows.sh); and the same suites as the release build but the end-to-end
# ones in a debug build under AddressSanitizer and UndefinedBehaviorSanitizer. Warnings are
# errors in every build here. Fails on any failing test, warning or sanitizer report.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/setup.sh"
"$root/scripts/setup.sh" windows
jobs="$(nproc)"

# The Windows cross build needs nothing from the Linux ones: it compiles at the lowest
# priority beside them, on the time their suites leave the processors idle, and its suites
# run once the Linux release and thread-sanitizer suites have passed.
# Builds beside the suites run in process groups of their own, so that a failure before the
# end stops each whole build, its compilers too, and leaves nothing running.
background=()
stop_background() {
    for group in "${background[@]}"; do
        kill -- "-$group" 2>/dev/null || true
    done
}
trap stop_background EXIT
set -m
mkdir -p "$root/build-windows-tests"
windows_log="$root/build-windows-tests/background-build.log"
nice -n 19 "$root/scripts/test-windows.sh" --build-only >"$windows_log" 2>&1 &
windows_build=$!
set +m
background+=("$windows_build")

# configure_and_build DIR TARGET [cmake options...]: an empty TARGET builds everything.
configure_and_build() {
    local dir="$1" target="$2"
    shift 2
    cmake -S "$root" -B "$root/$dir" -G Ninja -DZC_WERROR=ON "$@" >/dev/null
    cmake --build "$root/$dir" -j "$jobs" ${target:+--target "$target"}
}

# run_suites DIR LABELS SKIPPED: an empty LABELS runs every suite but those labelled SKIPPED.
run_suites() {
    local dir="$1" label_regex="$2" skipped_regex="$3"
    (cd "$root/$dir" && ctest --output-on-failure -j "$jobs" ${label_regex:+-L "$label_regex"} \
        ${skipped_regex:+-LE "$skipped_regex"})
}

# The optimiser finds warnings and faults (uninitialised reads, timing assumptions) that a
# debug build hides; the benchmarks are built here so that they keep compiling.
echo "== release build, all suites"
configure_and_build build-release-tests "" -DCMAKE_BUILD_TYPE=Release
run_suites build-release-tests "" ""

# The package is made from the release build above, installed, started and removed again.
echo "== the Debian package, installed, started from its menu entry and removed"
ZC_LINUX_BUILD="$root/build-release-tests" "$root/scripts/package-debian.sh"
version="$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$root/build-release-tests/CMakeCache.txt")"
status=0
python3 "$root/tests/app/debian_package_test.py" --out "$root/build-release-tests/artifacts" \
    --deb "$root/dist/zundlecards_${version}_$(dpkg --print-architecture).deb" || status=$?
if [ $status -eq 77 ]; then
    echo "test: the Debian package was made and checked, but not installed: that needs root or sudo"
elif [ $status -ne 0 ]; then
    exit $status
fi

# Only the device link has threads of its own.
echo "== thread sanitizer, device link"
configure_and_build build-tsan devicelink_tests -DCMAKE_BUILD_TYPE=Debug -DZC_SANITIZE=thread \
    -DZC_BUILD_BENCH=OFF -DZC_BUILD_APP=OFF
TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1 run_suites build-tsan devicelink ""

if ! wait "$windows_build"; then
    cat "$windows_log"
    echo "test: the Windows build failed" >&2
    exit 1
fi
# The suites under wine mostly wait, on wine and on the clock: the sanitizer build compiles
# at the lowest priority beside them, as the Windows build did beside the Linux suites. The
# end-to-end flows, which wait on the real clock for a minute and more, run in the release
# build and under wine only; the program's own window tests, its start and its close, run
# under the sanitizers too.
mkdir -p "$root/build-asan"
asan_log="$root/build-asan/background-build.log"
set -m
(
    renice -n 19 -p "$BASHPID" >/dev/null
    configure_and_build build-asan "" -DCMAKE_BUILD_TYPE=Debug -DZC_SANITIZE=address,undefined \
        -DZC_BUILD_BENCH=OFF
) >"$asan_log" 2>&1 &
asan_build=$!
set +m
background+=("$asan_build")
"$root/scripts/test-windows.sh"

echo "== address and undefined-behaviour sanitizers, debug build, all suites but end to end"
if ! wait "$asan_build"; then
    cat "$asan_log"
    echo "test: the sanitizer build failed" >&2
    exit 1
fi
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:strict_string_checks=1 \
    UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 run_suites build-asan "" e2e

echo "test: all suites passed"
