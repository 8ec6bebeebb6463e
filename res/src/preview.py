"""A mock of the 1024 x 768 workspace put together from the pictures at the places the
program gives them, so that the contact sheet shows whether they fit together. The
program draws the real screen; this only arranges the same files."""

import base64

W, H = 1024, 768
BLUE = "#69D0EE"


class _Canvas:
    """Draws in workspace coordinates onto an SVG area `height` high whose bottom edge is
    the workspace's bottom edge."""

    def __init__(self, pngs, height=H):
        self.pngs = pngs
        self.height = height
        self.parts = []

    def uri(self, name):
        return "data:image/png;base64," + base64.b64encode(self.pngs[name]).decode("ascii")

    def sprite(self, name, size, x, y, opacity=1.0):
        """A picture centred at (x, y) in workspace coordinates (origin bottom left)."""
        w, h = size
        self.parts.append(f'<image x="{x - w / 2:.2f}" y="{self.height - y - h / 2:.2f}" width="{w}" '
                          f'height="{h}" opacity="{opacity}" href="{self.uri(name)}"/>')

    def rect(self, colour, x, y, w, h):
        """A colour layer with its bottom-left corner at (x, y)."""
        self.parts.append(f'<rect x="{x}" y="{self.height - y - h}" width="{w}" height="{h}" fill="{colour}"/>')

    def number(self, sheet, text, x, y, anchor_x):
        """A character-map label: cells of 9 x 11 from a digit sheet."""
        left = x - anchor_x * 9 * len(text)
        for i, ch in enumerate(text):
            d = int(ch)
            self.parts.append(
                f'<svg x="{left + 9 * i:.2f}" y="{self.height - y - 5.5:.2f}" width="9" height="11" '
                f'viewBox="{9 * d} 0 9 11"><image width="90" height="11" '
                f'href="{self.uri(sheet)}"/></svg>')


def build(made):
    """SVG group (1024 x 768, origin top left) of the mock workspace."""
    pngs = {p.path: png for p, png in made}
    sizes = {p.path: (p.width, p.height) for p, _ in made}
    c = _Canvas(pngs)

    def sprite(name, x, y, opacity=1.0):
        c.sprite(name, sizes[name], x, y, opacity)

    # Field view: white content, rows stacking down from 50 below the top.
    c.rect("#FFFFFF", 0, 0, W, H)
    field = [("res/cards/basic/r_led1.png", None), ("res/cards/basic/kib/r_wait1_kib.png", None),
             ("res/cards/full/r_loop_3_start.png", None), ("res/cards/tum/r_tum_forward.png", None),
             ("res/cards/full/vemmo/r_loop_3_end_vemmo.png", None)]
    for i in range(5):
        y = H - 50 - (i + 0.5) * 136
        sprite("res/r_field_no.png", 360, y)
        left_x = 360 + 30 + 108 - 2
        right_x = left_x + 216 - 2
        sprite("res/r_field.png", left_x, y)
        sprite("res/r_field.png", right_x, y)
        c.number("res/r_field_num.png", str(10 * (i + 1)), 360 + 30 - 5, y, 1.0)
        sprite("res/r_btn_add.png", 360 - 30 - 14, y + 68)
        sprite("res/r_btn_delete.png", 360 - 30 - 14, y)
        if i < len(field):
            sprite(field[i][0], left_x - 108 + 5 + 100, y)
    sprite("res/cards/full/r_btn1.png", right_x - 3, H - 50 - 68)

    # Palette panel with the basic set, its badges, header strip, tabs and arrows.
    c.rect("#FFFFFF", 0, 0, 275, H)
    cards = ["r_led1", "r_led0", "r_wait1", "r_wait3", "r_loop_inf_start", "r_loop_inf_end"]
    content = 20 + 140 * len(cards) + 40
    shift = (H - 58) - content  # the list shows its top
    for k, name in enumerate(cards):
        y = 100 + 140 * (len(cards) - 1 - k) + shift + 5
        sprite(f"res/cards/basic/{name}.png", 5 + 160, y)
        sprite("res/r_card_num.png", 5 + 160 - 100 - 22, y)
        c.number("res/r_field_num_w.png", str([2, 0, 1, 0, 1, 1][k]), 5 + 160 - 100 - 22 - 11, y, 0.0)
    c.rect(BLUE, 0, H - 53, 275, 53)
    c.rect(BLUE, 0, 0, 275, 5)
    c.rect(BLUE, 0, 0, 5, H)
    sprite("res/menuup.png", 137.5, H - 12 - 53 + 5)
    sprite("res/menudown.png", 137.5, 12)
    sprite("res/cards/r_basic_on.png", 42.5 + 5, H - 21.5 - 5)
    sprite("res/cards/r_tumbrel_off.png", 137.5, H - 21.5 - 5)
    sprite("res/cards/r_full_off.png", 275 - 42.5 - 5, H - 21.5 - 5)

    # Settings bar, closed: 92 below its open place.
    bar = -92
    sprite("res/r_setting_back.png", 749 / 2 + 275, 50 + bar)
    sprite("res/r_setting_back1.png", W - 30, 100 + 20 + bar)
    sprite("res/r_setting.png", W - 15 - 10, 100 + 15 + 10 + bar)

    # Right-hand strip.
    sprite("res/r_player.png", W - 50, H / 2)
    sprite("res/r_play.png", W - 40 - 30, H / 2)
    sprite("res/r_stop.png", W - 30 - 10, H / 2 - 120)
    sprite("res/r_to_kib_on.png", W - 40 - 10, H / 2 + 120)

    # Frame.
    c.rect(BLUE, 270, 0, 5, H)
    c.rect(BLUE, 275, H - 5, 749, 5)
    c.rect(BLUE, W - 5, 0, 5, H)
    c.rect(BLUE, 275, 0, 749, 5)
    return "".join(c.parts)


def build_settings(made):
    """SVG group of the bottom 160 points of the workspace with the settings bar open."""
    top = 160
    c = _Canvas({p.path: png for p, png in made}, top)
    sizes = {p.path: (p.width, p.height) for p, _ in made}

    def sprite(name, x, y):
        c.sprite(name, sizes[name], x, y)

    def label(text, x, y, anchor, colour):
        c.parts.append(f'<text x="{x}" y="{top - y}" font-family="DejaVu Sans" font-size="12" '
                       f'fill="{colour}" text-anchor="{anchor}">{text}</text>')

    c.rect("#FFFFFF", 0, 0, W, top)
    sprite("res/r_setting_back.png", 749 / 2 + 275, 50)
    sprite("res/r_port.png", 340, 63)
    sprite("res/r_port_input.png", 515, 63)
    label("ttyUSB0 [ USB Serial Port ]", 375, 63 - 4, "start", "#1E1E1E")
    sprite("res/r_reload.png", 665, 63)
    label("Pictures: our own work", 1016, 10, "end", BLUE)
    label("Ver 0.6.4", 278, 10, "start", BLUE)
    sprite("res/r_setting_back1.png", W - 30, 120)
    sprite("res/r_setting.png", W - 25, 125)
    c.rect(BLUE, 0, 0, 275, 5)
    c.rect(BLUE, 0, 0, 5, top)
    c.rect(BLUE, 270, 0, 5, top)
    c.rect(BLUE, W - 5, 0, 5, top)
    c.rect(BLUE, 275, 0, 749, 5)
    return "".join(c.parts)
