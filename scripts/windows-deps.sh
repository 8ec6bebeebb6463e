#!/usr/bin/env bash
# Builds SDL2, FreeType, SDL2_image and SDL2_ttf for 64-bit Windows from Debian's own source
# packages, at the versions Debian ships for the Linux build, into a cache folder outside
# the clone. Prints the prefix. A prefix that is complete is reused as it is.
#
#   ZC_WIN_CACHE  where the prefixes live (default ~/.cache/zundlecards-win64)
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cache="${ZC_WIN_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/zundlecards-win64}"
jobs="$(nproc)"

# Source package and the binary package of the Linux build whose version it must match.
sources=(libsdl2:libsdl2-dev freetype:libfreetype-dev libsdl2-image:libsdl2-image-dev
         libsdl2-ttf:libsdl2-ttf-dev)
versions=()
for pair in "${sources[@]}"; do
    src="${pair%%:*}" bin="${pair#*:}"
    ver="$(dpkg-query -W -f='${source:Version}' "$bin")"
    versions+=("$src=$ver")
done
# The recipe below is part of the key: a changed build makes a prefix of its own.
key="$( (printf '%s\n' "${versions[@]}"; cat "$0") | sha256sum | cut -c1-12)"
prefix="$cache/prefix-$key"
if [ -f "$prefix/.complete" ]; then
    echo "$prefix"
    exit 0
fi

work="$cache/work-$key"
rm -rf "$work" "$prefix"
mkdir -p "$work" "$prefix"
cd "$work"
echo "windows-deps: fetching ${versions[*]}" >&2
apt-get source -qq --download-only "${versions[@]}" >&2
for dsc in *.dsc; do
    # apt has checked the files against the signed index; dpkg-source lacks the keys.
    dpkg-source -x "$dsc" >/dev/null 2>>"$work/unpack.log"
done

toolchain="$root/cmake/mingw-w64.cmake"
# build NAME SOURCE_DIR [cmake options...]
build() {
    local name="$1" dir="$2"
    shift 2
    echo "windows-deps: building $name ($(date +%T))" >&2
    cmake -S "$dir" -B "$work/build-$name" -G Ninja -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DZC_WIN_DEPS="$prefix" \
        -DCMAKE_INSTALL_PREFIX="$prefix" -DCMAKE_PREFIX_PATH="$prefix" "$@" >"$work/$name.log" 2>&1 \
        || { tail -30 "$work/$name.log" >&2; exit 1; }
    cmake --build "$work/build-$name" -j "$jobs" >>"$work/$name.log" 2>&1 \
        && cmake --install "$work/build-$name" >>"$work/$name.log" 2>&1 \
        || { tail -30 "$work/$name.log" >&2; exit 1; }
}

# The programs use SDL's video, events, timers and threads only: sound, game controllers,
# sensors and the rest are left out, which also saves a third of the time this build takes.
build sdl2 "$(echo libsdl2-[0-9]*/)" -DSDL_SHARED=ON -DSDL_STATIC=OFF -DSDL_TEST=OFF \
    -DSDL_AUDIO=OFF -DSDL_JOYSTICK=OFF -DSDL_HAPTIC=OFF -DSDL_HIDAPI=OFF -DSDL_SENSOR=OFF \
    -DSDL_POWER=OFF -DSDL_LOCALE=OFF -DSDL_MISC=OFF -DSDL_VULKAN=OFF -DSDL_OPENGLES=OFF
build freetype "$(echo freetype-[0-9]*/)" -DBUILD_SHARED_LIBS=ON -DFT_DISABLE_ZLIB=ON \
    -DFT_DISABLE_BZIP2=ON -DFT_DISABLE_PNG=ON -DFT_DISABLE_HARFBUZZ=ON -DFT_DISABLE_BROTLI=ON
# PNG through the decoder built into SDL2_image; no other format is needed.
build sdl2-image "$(echo libsdl2-image-[0-9]*/)" -DBUILD_SHARED_LIBS=ON -DSDL2IMAGE_VENDORED=OFF \
    -DSDL2IMAGE_BACKEND_STB=ON -DSDL2IMAGE_BACKEND_WIC=OFF -DSDL2IMAGE_SAMPLES=OFF \
    -DSDL2IMAGE_DEPS_SHARED=OFF -DSDL2IMAGE_AVIF=OFF -DSDL2IMAGE_JXL=OFF -DSDL2IMAGE_TIF=OFF \
    -DSDL2IMAGE_WEBP=OFF -DSDL2IMAGE_JPG=OFF -DSDL2IMAGE_PNG=ON
build sdl2-ttf "$(echo libsdl2-ttf-[0-9]*/)" -DBUILD_SHARED_LIBS=ON -DSDL2TTF_VENDORED=OFF \
    -DSDL2TTF_HARFBUZZ=OFF -DSDL2TTF_SAMPLES=OFF

touch "$prefix/.complete"
rm -rf "$work"
echo "$prefix"
