"""Fonts for the pictures: a private fontconfig setup that sees only the DejaVu files of
fonts-dejavu-core, so that rsvg-convert draws the same glyphs on every machine whatever
else is installed, and advance widths read from those files to fit texts into boxes."""

import os
import struct
import tempfile

FONT_DIR = "/usr/share/fonts/truetype/dejavu"
FONT_FILES = {
    ("DejaVu Sans", False): "DejaVuSans.ttf",
    ("DejaVu Sans", True): "DejaVuSans-Bold.ttf",
    ("DejaVu Sans Mono", False): "DejaVuSansMono.ttf",
    ("DejaVu Sans Mono", True): "DejaVuSansMono-Bold.ttf",
}

# Grey-scale antialiasing without hinting: the outlines are scaled exactly, so the
# result does not hang on the hinting defaults of the machine's own configuration.
_CONFIG = """<?xml version="1.0"?>
<!DOCTYPE fontconfig SYSTEM "fonts.dtd">
<fontconfig>
  <dir>{fonts}</dir>
  <cachedir>{cache}</cachedir>
  <match target="font">
    <edit name="antialias" mode="assign"><bool>true</bool></edit>
    <edit name="hinting" mode="assign"><bool>false</bool></edit>
    <edit name="hintstyle" mode="assign"><const>hintnone</const></edit>
    <edit name="rgba" mode="assign"><const>none</const></edit>
    <edit name="autohint" mode="assign"><bool>false</bool></edit>
  </match>
</fontconfig>
"""


def check_fonts():
    """Raises with the package to install when a font file is missing."""
    for name in FONT_FILES.values():
        path = os.path.join(FONT_DIR, name)
        if not os.path.isfile(path):
            raise SystemExit(f"missing {path}: install the Debian package fonts-dejavu-core")


def pinned_environment(workdir):
    """Environment for rsvg-convert in which only the DejaVu core fonts exist."""
    fonts = os.path.join(workdir, "fonts")
    cache = os.path.join(workdir, "cache")
    os.makedirs(fonts, exist_ok=True)
    os.makedirs(cache, exist_ok=True)
    for name in FONT_FILES.values():
        link = os.path.join(fonts, name)
        if not os.path.exists(link):
            os.symlink(os.path.join(FONT_DIR, name), link)
    config = os.path.join(workdir, "fonts.conf")
    with open(config, "w", encoding="utf-8") as out:
        out.write(_CONFIG.format(fonts=fonts, cache=cache))
    env = dict(os.environ)
    env["FONTCONFIG_FILE"] = config
    env.pop("FONTCONFIG_PATH", None)
    env.pop("FONTCONFIG_SYSROOT", None)
    env["LC_ALL"] = "C.UTF-8"
    return env


class Metrics:
    """Horizontal advances of one TrueType file (cmap format 4, hmtx)."""

    def __init__(self, path):
        with open(path, "rb") as f:
            data = f.read()
        num_tables = struct.unpack(">H", data[4:6])[0]
        tables = {}
        for i in range(num_tables):
            tag, _, offset, length = struct.unpack(">4sIII", data[12 + 16 * i:28 + 16 * i])
            tables[tag.decode("latin-1")] = (offset, length)
        head = tables["head"][0]
        self.units_per_em = struct.unpack(">H", data[head + 18:head + 20])[0]
        hhea = tables["hhea"][0]
        num_hmetrics = struct.unpack(">H", data[hhea + 34:hhea + 36])[0]
        hmtx = tables["hmtx"][0]
        self.advances = [struct.unpack(">H", data[hmtx + 4 * i:hmtx + 4 * i + 2])[0]
                         for i in range(num_hmetrics)]
        self.cmap = self._read_cmap(data, tables["cmap"][0])

    @staticmethod
    def _read_cmap(data, cmap):
        count = struct.unpack(">H", data[cmap + 2:cmap + 4])[0]
        for i in range(count):
            platform, encoding, offset = struct.unpack(">HHI", data[cmap + 4 + 8 * i:cmap + 12 + 8 * i])
            sub = cmap + offset
            if platform == 3 and encoding == 1 and struct.unpack(">H", data[sub:sub + 2])[0] == 4:
                return Metrics._read_format4(data, sub)
        raise ValueError("no Unicode BMP cmap")

    @staticmethod
    def _read_format4(data, sub):
        segs = struct.unpack(">H", data[sub + 6:sub + 8])[0] // 2
        def array(start):
            return struct.unpack(f">{segs}H", data[start:start + 2 * segs])
        ends = array(sub + 14)
        starts = array(sub + 16 + 2 * segs)
        deltas = array(sub + 16 + 4 * segs)
        range_base = sub + 16 + 6 * segs
        ranges = array(range_base)
        table = {}
        for s in range(segs):
            for code in range(starts[s], ends[s] + 1):
                if code == 0xFFFF:
                    continue
                if ranges[s] == 0:
                    glyph = (code + deltas[s]) & 0xFFFF
                else:
                    at = range_base + 2 * s + ranges[s] + 2 * (code - starts[s])
                    glyph = struct.unpack(">H", data[at:at + 2])[0]
                    if glyph:
                        glyph = (glyph + deltas[s]) & 0xFFFF
                table[code] = glyph
        return table

    def width(self, text, size):
        """Width of text at a font size, in the same unit as the size (no kerning)."""
        total = 0
        for ch in text:
            glyph = self.cmap.get(ord(ch), 0)
            total += self.advances[min(glyph, len(self.advances) - 1)]
        return total * size / self.units_per_em


_metrics = {}


def metrics(family, bold):
    key = (family, bold)
    if key not in _metrics:
        _metrics[key] = Metrics(os.path.join(FONT_DIR, FONT_FILES[key]))
    return _metrics[key]


def fit_size(text_lines, family, bold, max_width, largest, smallest=6.0):
    """Largest font size up to `largest` at which every line is at most max_width wide."""
    m = metrics(family, bold)
    widest = max(m.width(line, 1.0) for line in text_lines) or 1.0
    return max(smallest, min(largest, max_width / widest))


def make_workdir():
    return tempfile.mkdtemp(prefix="zc-pictures-")
