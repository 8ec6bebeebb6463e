#!/usr/bin/env python3
"""Writes every picture below res/, and the program's icons below packaging/icons/, from the
SVG sources beside this script.

Usage: res/src/generate.py           write the pictures and the contact sheet
       res/src/generate.py --check   only compare with the files on disk (exit 1 on a difference)

Needs python3 and rsvg-convert (Debian librsvg2-bin) with the DejaVu core fonts
(fonts-dejavu-core), and icotool (Debian icoutils) for the Windows icon. The output is
byte-for-byte the same on every run: the fonts are pinned by file and PNG files carry no
time stamps.
"""

import argparse
import concurrent.futures
import os
import shutil
import subprocess
import sys

# The cards are written down once, in catalogue/, for the program and for the pictures.
sys.path.insert(0, os.path.join(os.path.dirname(os.path.dirname(os.path.dirname(
    os.path.abspath(__file__)))), "catalogue"))

import card_data  # noqa: E402
import fonts  # noqa: E402
import pictures_cards  # noqa: E402
import pictures_controls  # noqa: E402
import pictures_icon  # noqa: E402
import contact_sheet  # noqa: E402

SRC = os.path.dirname(os.path.abspath(__file__))
REPO = os.path.dirname(os.path.dirname(SRC))
MANIFEST = "res/src/manifest.tsv"


def render(svg, width_px, height_px, env):
    """PNG bytes of an SVG document at the given pixel size."""
    result = subprocess.run(
        ["rsvg-convert", "--width", str(width_px), "--height", str(height_px), "--format", "png"],
        input=svg.encode("utf-8"), capture_output=True, env=env, check=False)
    if result.returncode != 0:
        raise RuntimeError(result.stderr.decode("utf-8", "replace"))
    return result.stdout


def png_size(data):
    """(width, height) from a PNG's header."""
    if data[:8] != b"\x89PNG\r\n\x1a\n" or data[12:16] != b"IHDR":
        raise ValueError("not a PNG")
    return int.from_bytes(data[16:20], "big"), int.from_bytes(data[20:24], "big")


def strip_png(data):
    """The PNG with only the chunks that make the image (no text or time chunks)."""
    keep = {b"IHDR", b"PLTE", b"tRNS", b"IDAT", b"IEND"}
    out = [data[:8]]
    at = 8
    while at < len(data):
        length = int.from_bytes(data[at:at + 4], "big")
        kind = data[at + 4:at + 8]
        chunk = data[at:at + 12 + length]
        if kind in keep:
            out.append(chunk)
        at += 12 + length
    return b"".join(out)


def manifest(pictures):
    """One line per picture: path, width and height in points, and the code text drawn on
    it (backslash escapes for line feeds), so the tests can hold it against the catalogue."""
    lines = ["# path\tcode text\twidth_pt\theight_pt (written by generate.py)"]
    for p in pictures:
        code = "" if p.code is None else p.code.replace("\\", "\\\\").replace("\n", "\\n")
        lines.append(f"{p.path}\t{code}\t{p.width}\t{p.height}")
    return ("\n".join(lines) + "\n").encode("utf-8")


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--check", action="store_true",
                        help="compare with the files on disk instead of writing")
    args = parser.parse_args()

    if shutil.which("rsvg-convert") is None:
        raise SystemExit("rsvg-convert not found: install the Debian package librsvg2-bin")
    fonts.check_fonts()
    workdir = fonts.make_workdir()
    try:
        env = fonts.pinned_environment(workdir)
        data = card_data.load()
        pictures = (pictures_cards.build(SRC, data) + pictures_controls.build(SRC, data) +
                    pictures_icon.build(SRC, data))

        def make(picture):
            png = strip_png(render(picture.svg, picture.width * 2, picture.height * 2, env))
            if png_size(png) != (picture.width * 2, picture.height * 2):
                raise RuntimeError(f"{picture.path}: wrong size {png_size(png)}")
            return picture, png

        with concurrent.futures.ThreadPoolExecutor(max_workers=os.cpu_count() or 2) as pool:
            made = list(pool.map(make, pictures))

        def make_icon(icon):
            path, px, svg = icon
            return path, px, strip_png(render(svg, px, px, env))

        with concurrent.futures.ThreadPoolExecutor(max_workers=os.cpu_count() or 2) as pool:
            icons = list(pool.map(make_icon, pictures_icon.sizes(SRC, data)))
        ico = pictures_icon.ico({px: png for _, px, png in icons}, workdir)

        sheet = contact_sheet.build(made, lambda svg, w, h: strip_png(render(svg, w, h, env)))
        outputs = [(p.path, png) for p, png in made] + [(contact_sheet.PATH, sheet),
                                                        (MANIFEST, manifest(pictures))]
        outputs += [(path, png) for path, _, png in icons] + [(pictures_icon.ICO, ico)]
        differing = []
        for rel, png in outputs:
            path = os.path.join(REPO, rel)
            old = None
            if os.path.exists(path):
                with open(path, "rb") as f:
                    old = f.read()
            if old == png:
                continue
            differing.append(rel)
            if not args.check:
                os.makedirs(os.path.dirname(path), exist_ok=True)
                with open(path, "wb") as f:
                    f.write(png)
        if args.check:
            for rel in differing:
                print(f"differs: {rel}")
            print(f"{len(outputs) - len(differing)} of {len(outputs)} files match")
            return 1 if differing else 0
        print(f"{len(outputs)} files, {len(differing)} written")
        return 0
    finally:
        shutil.rmtree(workdir, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())
