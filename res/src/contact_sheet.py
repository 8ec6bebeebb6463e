"""The contact sheet: every picture at its size in points (as on screen at 100 %), on a
checkerboard that shows transparency, with its file name, for review."""

import base64
from xml.sax.saxutils import escape

import preview

PATH = "res/src/contact_sheet.png"
MARGIN = 16
GAP = 14
LABEL = 14
WIDTH = 1312


def _image(x, y, picture, png):
    uri = "data:image/png;base64," + base64.b64encode(png).decode("ascii")
    fill = picture.backdrop or "url(#checker)"
    return (f'<rect x="{x}" y="{y}" width="{picture.width}" height="{picture.height}" '
            f'fill="{fill}"/>'
            f'<image x="{x}" y="{y}" width="{picture.width}" height="{picture.height}" '
            f'href="{uri}"/>'
            f'<text x="{x}" y="{y + picture.height + 11}" font-family="DejaVu Sans" '
            f'font-size="10" fill="#37474F">{escape(picture.label)}</text>')


def _heading(y, text):
    return (f'<text x="{MARGIN}" y="{y + 16}" font-family="DejaVu Sans" font-weight="bold" '
            f'font-size="16" fill="#1E2A30">{escape(text)}</text>')


def build(made, render):
    """PNG bytes of the sheet; `render(svg, width, height)` turns SVG into PNG."""
    cards = [(p, png) for p, png in made if p.path.startswith("res/cards/") and p.width == 200]
    others = [(p, png) for p, png in made if (p, png) not in cards]
    parts = []
    y = MARGIN
    parts.append(_heading(y, "workspace mock-up from the pictures (closed settings bar; below, open)"))
    y += 26
    parts.append(f'<svg x="{MARGIN}" y="{y}" width="1024" height="768" viewBox="0 0 1024 768">'
                 f'{preview.build(made)}</svg>')
    y += 768 + GAP
    parts.append(f'<svg x="{MARGIN}" y="{y}" width="1024" height="160" viewBox="0 0 1024 160">'
                 f'{preview.build_settings(made)}</svg>')
    y += 160 + 2 * GAP
    # Cards: the palette picture and its two dialect pictures side by side.
    current_set = None
    column = 0
    for i in range(0, len(cards), 3):
        triple = cards[i:i + 3]
        card_set = triple[0][0].path.split("/")[2]
        if card_set != current_set:
            if column:
                y += 120 + LABEL + GAP
            current_set = card_set
            parts.append(_heading(y, f"cards/{card_set}: palette, kib, vemmo"))
            y += 26
            column = 0
        x = MARGIN + column * (3 * (200 + GAP) + 2 * GAP)
        for picture, png in triple:
            parts.append(_image(x, y, picture, png))
            x += 200 + GAP
        column += 1
        if column == 2:
            column = 0
            y += 120 + LABEL + GAP
    if column:
        y += 120 + LABEL + GAP
    parts.append(_heading(y, "tabs, toggles and workspace controls"))
    y += 26
    x = MARGIN
    row_height = 0
    for picture, png in others:
        width = max(picture.width, 7 * len(picture.label))
        if x + width > WIDTH - MARGIN:
            x = MARGIN
            y += row_height + LABEL + GAP
            row_height = 0
        parts.append(_image(x, y, picture, png))
        x += width + GAP
        row_height = max(row_height, picture.height)
    height = y + row_height + LABEL + MARGIN
    svg = (f'<svg xmlns="http://www.w3.org/2000/svg" width="{WIDTH}" height="{height}" '
           f'viewBox="0 0 {WIDTH} {height}">'
           '<defs><pattern id="checker" width="16" height="16" patternUnits="userSpaceOnUse">'
           '<rect width="16" height="16" fill="#D8DDE0"/>'
           '<rect width="8" height="8" fill="#B8C0C6"/><rect x="8" y="8" width="8" height="8" '
           'fill="#B8C0C6"/></pattern></defs>'
           f'<rect width="{WIDTH}" height="{height}" fill="#FFFFFF"/>' + "".join(parts) + "</svg>")
    return render(svg, WIDTH, height)
