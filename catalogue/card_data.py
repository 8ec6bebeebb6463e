#!/usr/bin/env python3
"""The cards as cards.json writes them down, for the two programs that read it: the picture
generator (res/src/generate.py) imports this module, and the build runs it to write the
catalogue's card table:

    card_data.py CARDS_JSON OUTPUT   writes the C++ rows that catalogue/CardTables.cpp includes

A set has its name (tab pictures), folder (card pictures), tab text and colour; its cards
stand in palette order, and a new card goes at the end, since older files may name a card by
its place. A card has:
  picture   its palette picture, res/cards/<folder>/<picture>.png
  stem      its key in saved programs, never changed; the dialect pictures are
            res/cards/<folder>/<tag>/r_<stem>_<tag>.png
  kib, vemmo (each dialect's tag)  its code: the text, or {"text", "wait_ms", "terminator"}
            where the pause after it is not the one its length gives (wait_ms), or no line
            terminator may follow it (terminator: false)
  repeat    forever-start, forever-end, counted-start or counted-end; none when left out
  caption, icon, value, sub, turn, strength, pwm   what its pictures show
"""

import json
import os
import re
import sys

CARDS_JSON = os.path.join(os.path.dirname(os.path.abspath(__file__)), "cards.json")

ROLES = {None: "None", "forever-start": "ForeverStart", "forever-end": "ForeverEnd",
         "counted-start": "CountedStart", "counted-end": "CountedEnd"}


def load(path=CARDS_JSON):
    with open(path, encoding="utf-8") as f:
        return json.load(f)


def palette_picture(card_set, card):
    return f"res/cards/{card_set['folder']}/{card['picture']}.png"


def dialect_picture(card_set, card, tag):
    return f"res/cards/{card_set['folder']}/{tag}/r_{card['stem']}_{tag}.png"


def tab_picture(card_set, state):
    """state: "on" (the set shown) or "off"."""
    return f"res/cards/r_{card_set['name']}_{state}.png"


def code(card, tag):
    """(text, pause in ms or -1 for the one its length gives, whether a terminator follows)."""
    entry = card[tag]
    if isinstance(entry, str):
        return entry, -1, True
    return entry["text"], entry.get("wait_ms", -1), entry.get("terminator", True)


def c_string(text):
    """A C++ string literal that holds the text's UTF-8 bytes unchanged."""
    out = []
    for byte in text.encode("utf-8"):
        char = chr(byte)
        if char == "\n":
            out.append("\\n")
        elif char in "\"\\" or not 32 <= byte < 127:
            out.append(f"\\{byte:03o}")
        else:
            out.append(char)
    return '"' + "".join(out) + '"'


def check(data):
    stems = set()
    for card_set in data["sets"]:
        for card in card_set["cards"]:
            if not re.fullmatch(r"[a-z0-9_]+", card["stem"]):
                raise ValueError(f"{card['stem']!r}: a stem is made of a-z, 0-9 and _")
            if card["stem"] in stems:
                raise ValueError(f"two cards have the stem {card['stem']}: saved programs "
                                 "name a card by it")
            stems.add(card["stem"])
            if card.get("repeat") not in ROLES:
                raise ValueError(f"{card['stem']}: unknown repeat role {card['repeat']}")


def card_table(data):
    """The text of the C++ rows: kCards, kCardFaces and kSetTabs (types in CardTables.cpp)."""
    check(data)
    tags = [d["tag"] for d in data["dialects"]]
    cards, faces, tabs = [], [], []
    for s, card_set in enumerate(data["sets"]):
        tabs.append(f"    {{{c_string(tab_picture(card_set, 'on'))}, "
                    f"{c_string(tab_picture(card_set, 'off'))}, {c_string(card_set['tab'])}, "
                    f"0x{card_set['colour'][1:]}}},")
        for c, card in enumerate(card_set["cards"]):
            cards.append(f"    {{{s}, {c_string(card['stem'])}, "
                         f"{c_string(palette_picture(card_set, card))}, "
                         f"LoopRole::{ROLES[card.get('repeat')]}, {c_string(card['caption'])}}},")
            for d, tag in enumerate(tags):
                text, wait_ms, terminator = code(card, tag)
                faces.append(f"    {{{s}, {c}, {d}, {c_string(dialect_picture(card_set, card, tag))}, "
                             f"{{{c_string(text)}, {wait_ms}, {'true' if terminator else 'false'}}}}},")
    return "\n".join(
        ["// Written by catalogue/card_data.py from catalogue/cards.json at build time: edit "
         "that file.", "const CardRow kCards[] = {"] + cards +
        ["};", "const CardFace kCardFaces[] = {"] + faces +
        ["};", "const SetTabs kSetTabs[] = {"] + tabs + ["};", ""])


def main(argv):
    if len(argv) != 3:
        print(__doc__, file=sys.stderr)
        return 2
    text = card_table(load(argv[1]))
    old = None
    if os.path.exists(argv[2]):
        with open(argv[2], encoding="utf-8") as f:
            old = f.read()
    if old != text:
        os.makedirs(os.path.dirname(os.path.abspath(argv[2])), exist_ok=True)
        with open(argv[2], "w", encoding="utf-8") as f:
            f.write(text)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
