"""Card pictures: for every card of catalogue/cards.json its palette picture and one picture per
dialect, made from templates/card_palette.svg and templates/card_dialect.svg with the
card's icon from icons/."""

import math
import os
import string
from xml.sax.saxutils import escape

import card_data
import fonts

CARD_W, CARD_H = 200, 120
INK = "#37474F"
CODE_MAX = 24.0
CODE_WIDTH = 174.0


class Picture:
    """One PNG to write: its path from the repository root, size in points, SVG text."""

    def __init__(self, path, width, height, svg, backdrop=None, code=None):
        self.path = path
        self.width = width
        self.height = height
        self.svg = svg
        # Colour the picture stands on in the workspace, for the contact sheet
        # (None: a checkerboard that shows its transparency).
        self.backdrop = backdrop
        self.label = os.path.basename(path)
        # Code text drawn on a dialect picture, listed in the manifest.
        self.code = code


def load_template(src, *parts):
    with open(os.path.join(src, *parts), encoding="utf-8") as f:
        return string.Template(f.read())


def inner_svg(document):
    """The content of an SVG document without its outer <svg> element."""
    start = document.index(">", document.index("<svg")) + 1
    end = document.rindex("</svg>")
    return document[start:end]


def darker(colour, factor=0.7):
    r, g, b = (int(colour[i:i + 2], 16) for i in (1, 3, 5))
    return "#{:02X}{:02X}{:02X}".format(int(r * factor), int(g * factor), int(b * factor))


def icon_params(card, accent):
    """Values for the $-fields of the card's icon."""
    params = {"accent": accent, "mirror": "translate(0 0)"}
    if card.get("turn") == "right":
        params["mirror"] = "translate(80 0) scale(-1 1)"
    if card["icon"] == "car_turn":
        # The arrow ends on the line y = 12; a stronger turn bends on a tighter radius.
        radius = {3: 7, 2: 15, 1: 24}[card["strength"]]
        end_x = 50 - radius
        params.update(radius=radius, bend_y=12 + radius, end_x=end_x, tip_x=end_x - 15)
    if card["icon"] == "gauge":
        angle = math.pi * (1 - card["pwm"] / 255.0)
        params.update(arc_x=f"{40 + 32 * math.cos(angle):.2f}",
                      arc_y=f"{48 - 32 * math.sin(angle):.2f}",
                      needle_x=f"{40 + 25 * math.cos(angle):.2f}",
                      needle_y=f"{48 - 25 * math.sin(angle):.2f}")
    return params


def value_block(card, accent):
    """SVG of the right half of a card's face: its value, or the strength of a turn."""
    cx = 148
    if "strength" in card:
        bars = []
        for i in range(3):
            height = 14 + 11 * i
            fill = "#1565C0" if i < card["strength"] else "#CFD8DC"
            bars.append(f'<rect x="{cx - 25 + 18 * i}" y="{98 - height}" width="13" '
                        f'height="{height}" rx="2" fill="{fill}"/>')
        return "\n  ".join(bars)
    if "value" not in card:
        return ""
    text = card["value"]
    # The infinity sign is a small glyph for its advance; it may grow past the others.
    largest = 60 if text == "\u221e" else 36
    size = fonts.fit_size([text], "DejaVu Sans", True, 78, largest)
    parts = []
    if "sub" in card:
        parts.append(f'<text x="{cx}" y="52" font-family="DejaVu Sans" font-weight="bold" '
                     f'font-size="13" fill="{accent}" text-anchor="middle">{escape(card["sub"])}</text>')
        baseline = 59 + 0.73 * size
    else:
        baseline = 71.5 + 0.365 * size
    parts.append(f'<text x="{cx}" y="{baseline:.2f}" font-family="DejaVu Sans" font-weight="bold" '
                 f'font-size="{size:.2f}" fill="{INK}" text-anchor="middle">{escape(text)}</text>')
    return "\n  ".join(parts)


def code_block(text):
    """Font size and <tspan> lines of a code text: one block, its lines left-aligned,
    centred on the dialect panel."""
    lines = [line.rstrip(" ") for line in text.split("\n")]
    size = fonts.fit_size(lines, "DejaVu Sans Mono", True, CODE_WIDTH, CODE_MAX)
    block = fonts.metrics("DejaVu Sans Mono", True).width(max(lines, key=len), size)
    left = 100 - block / 2
    pitch = size * 1.25
    # The panel runs from y = 28 to 115; the dialect label takes its bottom 12 points.
    middle = 67.0
    first = middle - pitch * (len(lines) - 1) / 2 + 0.365 * size
    spans = [f'<tspan x="{left:.2f}" y="{first + i * pitch:.2f}">{escape(line)}</tspan>'
             for i, line in enumerate(lines)]
    return size, "".join(spans)


def build(src, data):
    palette = load_template(src, "templates", "card_palette.svg")
    dialect = load_template(src, "templates", "card_dialect.svg")
    icons = {}
    pictures = []
    for card_set in data["sets"]:
        colour = card_set["colour"]
        accent = darker(colour, 0.85)
        for card in card_set["cards"]:
            if card["icon"] not in icons:
                icons[card["icon"]] = load_template(src, "icons", card["icon"] + ".svg")
            icon = inner_svg(icons[card["icon"]].substitute(icon_params(card, accent)))
            value = value_block(card, accent)
            fields = dict(set_colour=colour, icon=icon, value=value, icon_x=14 if value else 60)
            pictures.append(Picture(card_data.palette_picture(card_set, card), CARD_W, CARD_H,
                                    palette.substitute(fields)))
            for d in data["dialects"]:
                text = card_data.code(card, d["tag"])[0]
                size, code = code_block(text)
                fields = dict(set_colour=colour, dialect_colour=d["colour"],
                              code_colour=d["text"], accent=d["accent"], code=code,
                              code_size=f"{size:.2f}", dialect_label=escape(d["label"]))
                path = card_data.dialect_picture(card_set, card, d["tag"])
                pictures.append(Picture(path, CARD_W, CARD_H, dialect.substitute(fields),
                                        code=text))
    return pictures
