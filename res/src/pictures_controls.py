"""Workspace pictures: card-set tabs and dialect toggles from their templates, the digit
sheets, and the controls drawn in controls/ (one SVG per picture), all in the light blue
of the workspace frame."""

import os
import string
from xml.sax.saxutils import escape

import card_data
import fonts
from pictures_cards import Picture, load_template

COLOURS = {
    "blue": "#69D0EE",       # (105, 208, 238), the workspace frame
    "blue_dark": "#2A9BC8",  # the same hue, dark enough for white marks on it
    "blue_pale": "#E4F6FC",
    "ink": "#37474F",
    "red": "#E5484D",
    "green": "#2EAD5B",
}

# Size in points of every picture drawn in controls/, and the colour it stands on.
CONTROL_SIZES = {
    "r_play": (80, 80),
    "r_stop": (60, 60),
    "r_card_flick": (30, 30),
    "r_card_clean": (80, 80),
    "r_card_clean_on": (80, 80),
    "r_field_no": (60, 136),
    "r_field": (216, 136),
    "r_btn_add": (28, 28),
    "r_btn_delete": (28, 28),
    "r_card_num": (44, 30),
    "menuup": (60, 24),
    "menudown": (60, 24),
    "r_loading": (64, 64),
    "r_setting_back": (749, 100),
    "r_setting_back1": (60, 40),
    "r_setting": (30, 30),
    "r_port": (30, 30),
    "r_port_input": (300, 32),
    "r_reload": (24, 24),
    "r_player": (100, 420),
    "r_undo": (44, 44),
    "r_redo": (44, 44),
    "r_shelf": (88, 44),
}
BACKDROPS = {"r_play": "blue", "r_stop": "blue", "r_setting": "blue", "menuup": "#FFFFFF",
             "menudown": "#FFFFFF", "r_setting_back1": "#FFFFFF", "r_loading": "#C0C0C0"}

TAB_SIZE = (85, 43)
TOGGLE_SIZE = (80, 44)
DIGITS_SIZE = (90, 11)
DIGIT_CELL = 9


def tabs(src, data):
    template = load_template(src, "templates", "tab.svg")
    out = []
    for card_set in data["sets"]:
        for state in ("on", "off"):
            if state == "on":
                fields = dict(fill=card_set["colour"], fill_opacity="1", stroke="#FFFFFF",
                              stroke_width="2.5", text="#FFFFFF")
            else:
                fields = dict(fill="#FFFFFF", fill_opacity="0.7", stroke=card_set["colour"],
                              stroke_width="0", text=card_set["colour"])
            path = card_data.tab_picture(card_set, state)
            out.append(Picture(path, *TAB_SIZE, template.substitute(fields), COLOURS["blue"]))
    return out


def toggles(src, data):
    template = load_template(src, "templates", "toggle.svg")
    out = []
    for d in data["dialects"]:
        size = fonts.fit_size([d["label"]], "DejaVu Sans", True, 66, 19)
        for suffix in ("", "_on"):
            if suffix:
                fields = dict(fill=d["colour"], stroke="#FFFFFF", text="#FFFFFF")
            else:
                fields = dict(fill="#FFFFFF", stroke=d["colour"], text=d["colour"])
            fields.update(name=escape(d["label"]), name_size=f"{size:.2f}",
                          name_y=f"{20 + 0.36 * size:.2f}", kind=escape(d["kind"]))
            out.append(Picture(f"res/r_to_{d['tag']}{suffix}.png", *TOGGLE_SIZE,
                               template.substitute(fields), COLOURS["blue"]))
    return out


def digit_sheets(src):
    template = load_template(src, "templates", "digits.svg")
    # Digits of DejaVu Sans Bold are 0.729 em high: 11 points give 8 of the cell's 11.
    baseline = 5.5 + 0.729 * 11 / 2
    cells = "".join(f'<text x="{DIGIT_CELL * i + DIGIT_CELL / 2}" y="{baseline:.3f}">{i}</text>'
                    for i in range(10))
    return [Picture("res/r_field_num.png", *DIGITS_SIZE,
                    template.substitute(colour="#263238", cells=cells)),
            Picture("res/r_field_num_w.png", *DIGITS_SIZE,
                    template.substitute(colour="#FFFFFF", cells=cells), COLOURS["blue_dark"])]


def controls(src):
    out = []
    for name, (width, height) in CONTROL_SIZES.items():
        with open(os.path.join(src, "controls", name + ".svg"), encoding="utf-8") as f:
            svg = string.Template(f.read()).substitute(COLOURS)
        backdrop = BACKDROPS.get(name)
        out.append(Picture(f"res/{name}.png", width, height, svg,
                           COLOURS.get(backdrop, backdrop)))
    return out


def build(src, data):
    return tabs(src, data) + toggles(src, data) + controls(src) + digit_sheets(src)
