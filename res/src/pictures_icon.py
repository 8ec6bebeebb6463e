"""The program's icon: the window's picture below res/, the sizes the desktops ask for in
the hicolor layout that the Debian package installs, and the Windows .ico the executables
carry, all from appicon/*.svg in the workspace's colours."""

import os
import shutil
import subprocess

from pictures_cards import Picture, load_template
from pictures_controls import COLOURS

NAME = "zundlecards"
WINDOW = f"res/{NAME}.png"
WINDOW_SIZE = 64  # points: 128 pixels, enough for a title bar and a task switcher
HICOLOR = "packaging/icons/hicolor"
ICO = f"packaging/icons/{NAME}.ico"
SIZES = (16, 24, 32, 48, 64, 128, 256)
SMALL = 32  # up to this many pixels the simpler drawing is used
# Windows draws the large ones from PNG entries; the small ones stay bitmaps, which every
# reader of .ico files understands.
ICO_PNG_FROM = 64


def _fields(data):
    colours = dict(COLOURS)
    colours.update({s["name"]: s["colour"] for s in data["sets"]})
    return colours


def _svg(src, data, px):
    name = f"{NAME}_small.svg" if px <= SMALL else f"{NAME}.svg"
    return load_template(src, "appicon", name).substitute(_fields(data))


def build(src, data):
    """The window's icon, a picture like the others."""
    return [Picture(WINDOW, WINDOW_SIZE, WINDOW_SIZE, _svg(src, data, WINDOW_SIZE * 2))]


def sizes(src, data):
    """(path, pixels, SVG) of every hicolor size."""
    return [(f"{HICOLOR}/{px}x{px}/apps/{NAME}.png", px, _svg(src, data, px)) for px in SIZES]


def ico(pngs, workdir):
    """The .ico bytes from {pixels: PNG bytes}, made by icotool (Debian icoutils)."""
    if shutil.which("icotool") is None:
        raise SystemExit("icotool not found: install the Debian package icoutils")
    args = []
    for px in sorted(pngs):
        path = os.path.join(workdir, f"icon{px}.png")
        with open(path, "wb") as f:
            f.write(pngs[px])
        args.append(f"--raw={path}" if px >= ICO_PNG_FROM else path)
    out = os.path.join(workdir, f"{NAME}.ico")
    subprocess.run(["icotool", "-c", "-o", out] + args, check=True)
    with open(out, "rb") as f:
        return f.read()
