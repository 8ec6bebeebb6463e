#!/usr/bin/env bash
# Builds the program and packs it for Debian 12 with Debian's own tools:
# dist/zundlecards_<version>_<arch>.deb with the program, res/ and exe/ (the board simulator)
# in /usr/lib/zundlecards/, the link /usr/bin/zundlecards, a menu entry, the icon in the
# hicolor theme, AppStream metadata and a manual page; the libraries it needs are those
# dpkg-shlibdeps finds. lintian, appstreamcli and desktop-file-validate check the result.
# Installs what is missing first.
#
#   ZC_LINUX_BUILD  an existing release build folder to pack from (the test command's)
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/setup.sh"
build="${ZC_LINUX_BUILD:-$root/build-package}"
dist="$root/dist"
packaging="$root/packaging"
umask 022

if [ -z "${ZC_LINUX_BUILD:-}" ]; then
    cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DZC_BUILD_TESTS=OFF \
        -DZC_BUILD_BENCH=OFF >/dev/null
fi
cmake --build "$build" -j "$(nproc)" --target zundlecards catalogues

# The version is the project's; the changelog and the AppStream release must agree with it.
version="$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")"
changelog_version="$(dpkg-parsechangelog -l "$packaging/debian/changelog" -SVersion)"
if [ "$changelog_version" != "$version" ]; then
    echo "package-debian: packaging/debian/changelog is at $changelog_version, the project at" \
        "$version: add an entry" >&2
    exit 1
fi
metainfo="$packaging/linux/org.zundlecards.ZundleCards.metainfo.xml"
if ! grep -q "<release version=\"$version\"" "$metainfo"; then
    echo "package-debian: $metainfo has no release $version" >&2
    exit 1
fi
# Every time stamp in the package is the changelog's, so the same sources give the same bytes.
SOURCE_DATE_EPOCH="$(dpkg-parsechangelog -l "$packaging/debian/changelog" -STimestamp)"
export SOURCE_DATE_EPOCH
arch="$(dpkg --print-architecture)"
deb="$dist/zundlecards_${version}_${arch}.deb"

# dpkg-shlibdeps reads debian/control and expects the files in debian/<package>/.
work="$dist/debian"
stage="$work/debian/zundlecards"
rm -rf "$work" "$deb"
lib="$stage/usr/lib/zundlecards"
share="$stage/usr/share"
install -d "$lib/exe" "$stage/usr/bin" "$share/applications" "$share/metainfo" \
    "$share/icons" "$share/man/man1" "$share/doc/zundlecards" "$stage/DEBIAN"
install -m 755 "$build/app/zundlecards" "$lib/"
install -m 755 "$build/app/exe/board-simulator" "$lib/exe/"
# The pictures only: their drawing sources stay in the repository.
cp -r "$root/res" "$lib/res"
rm -rf "$lib/res/src"
find "$lib/res" -type d -exec chmod 755 {} + -o -type f -exec chmod 644 {} +
# The compiled catalogues, one per language; Japanese glyphs come from fonts-ipafont-gothic.
install -d "$lib/locale"
install -m 644 "$build"/locale/*.mo "$lib/locale/"
strip --strip-unneeded --remove-section=.comment --remove-section=.note "$lib/zundlecards" \
    "$lib/exe/board-simulator"
# The program finds res/ and exe/ beside its own file, which the link resolves to.
ln -s ../lib/zundlecards/zundlecards "$stage/usr/bin/zundlecards"

install -m 644 "$packaging/linux/org.zundlecards.ZundleCards.desktop" "$share/applications/"
install -m 644 "$metainfo" "$share/metainfo/"
cp -r "$packaging/icons/hicolor" "$share/icons/"
gzip -9n <"$packaging/linux/zundlecards.1" >"$share/man/man1/zundlecards.1.gz"
install -m 644 "$packaging/debian/copyright" "$share/doc/zundlecards/"
gzip -9n <"$packaging/debian/changelog" >"$share/doc/zundlecards/changelog.gz"
find "$share" -type f -exec chmod 644 {} +
find "$stage" -type d -exec chmod 755 {} +

printf 'Source: zundlecards\n\nPackage: zundlecards\nArchitecture: %s\n' "$arch" \
    >"$work/debian/control"
depends="$(cd "$work" && dpkg-shlibdeps -O "$lib/zundlecards" "$lib/exe/board-simulator" |
    sed -n 's/^shlibs:Depends=//p')"
installed_size="$(du -sk --apparent-size "$stage" | cut -f1)"
sed -e "s/@VERSION@/$version/" -e "s/@ARCH@/$arch/" -e "s/@DEPENDS@/$depends/" \
    -e "s/@INSTALLED_SIZE@/$installed_size/" "$packaging/debian/control.in" >"$stage/DEBIAN/control"
# md5sums of every file, as dpkg --verify and debsums read them.
(cd "$stage" && find usr -type f -print0 | LC_ALL=C sort -z | xargs -0 md5sum) \
    >"$stage/DEBIAN/md5sums"
chmod 644 "$stage/DEBIAN/control" "$stage/DEBIAN/md5sums"

mkdir -p "$dist"
dpkg-deb --root-owner-group -Zxz --build "$stage" "$deb" >/dev/null

echo "== lintian"
lintian --fail-on error,warning "$deb"
echo "== appstreamcli validate"
appstreamcli validate --no-net "$metainfo"
desktop-file-validate "$packaging/linux/org.zundlecards.ZundleCards.desktop"
echo "package-debian: $deb ($(du -h "$deb" | cut -f1))"
