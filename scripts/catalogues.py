#!/usr/bin/env python3
"""The message catalogues in po/: gathers every text a user can see (the translation calls in
the sources, the card captions and set names of catalogue/cards.json) and checks that each
language's .po has every one of them, translated, with the same placeholders, and the
plural forms its header promises; msgfmt checks the rest.

    scripts/catalogues.py --check              # exit 1 with what is missing or wrong
    scripts/catalogues.py --template out.pot   # the messages, for msgmerge and translators
"""

import argparse
import json
import os
import re
import subprocess
import sys
import tempfile

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
SOURCE_FOLDERS = ["lang", "scene", "devicelink", "storage", "simulator", "widgets", "app",
                  "catalogue"]
KEYWORDS = ["--keyword=tr", "--keyword=trn:1,2", "--keyword=trc:1c,2", "--keyword=mark"]
PLACEHOLDER = re.compile(r"\{[a-z]+\}")


class Message:
    def __init__(self, context, source, plural=None):
        self.context = context
        self.source = source
        self.plural = plural
        self.forms = []
        self.fuzzy = False

    def key(self):
        return (self.context or "", self.source)


def unquote(text):
    return json.loads(text) if text.startswith('"') else text


def parse_po(text):
    """The messages of a .po or .pot text, the header (empty source) included."""
    messages = []
    current = None
    field = None
    flags = ""

    def finish():
        if current is not None:
            messages.append(current)

    for raw in text.splitlines():
        line = raw.strip()
        if line.startswith("#,"):
            flags = line
            continue
        if not line or line.startswith("#"):
            continue
        if line.startswith('"'):
            value = unquote(line)
            if field == "msgctxt":
                current.context += value
            elif field == "msgid":
                current.source += value
            elif field == "msgid_plural":
                current.plural += value
            else:
                current.forms[field] += value
            continue
        keyword, _, value = line.partition(" ")
        value = unquote(value)
        if keyword == "msgctxt" or (keyword == "msgid" and (current is None or field not in
                                                            ("msgctxt",))):
            finish()
            current = Message(None, "")
            current.fuzzy = "fuzzy" in flags
            flags = ""
        if keyword == "msgctxt":
            current.context = value
            field = "msgctxt"
        elif keyword == "msgid":
            current.source = value
            field = "msgid"
        elif keyword == "msgid_plural":
            current.plural = value
            field = "msgid_plural"
        elif keyword.startswith("msgstr"):
            index = int(keyword[7:-1]) if "[" in keyword else 0
            while len(current.forms) <= index:
                current.forms.append("")
            current.forms[index] = value
            field = index
    finish()
    return messages


def from_sources():
    files = []
    for folder in SOURCE_FOLDERS:
        for base, _, names in os.walk(os.path.join(ROOT, folder)):
            files += [os.path.join(base, n) for n in names if n.endswith((".cpp", ".h"))]
    with tempfile.TemporaryDirectory() as temp:
        pot = os.path.join(temp, "sources.pot")
        subprocess.run(["xgettext", "--from-code=UTF-8", "-C", "--omit-header", "--sort-output",
                        "-o", pot] + KEYWORDS + sorted(files), check=True)
        with open(pot, encoding="utf-8") as f:
            return [m for m in parse_po(f.read()) if m.source]


def from_cards():
    with open(os.path.join(ROOT, "catalogue", "cards.json"), encoding="utf-8") as f:
        data = json.load(f)
    texts = []
    for card_set in data["sets"]:
        texts.append(card_set["tab"])
        texts += [card["caption"] for card in card_set["cards"]]
    return [Message(None, t) for t in texts]


def all_messages():
    # Every catalogue names its own language, for the chooser on the settings bar.
    own_name = [Message("language name", "English")]
    seen = {}
    for message in from_sources() + from_cards() + own_name:
        seen.setdefault(message.key(), message)
    return [seen[k] for k in sorted(seen)]


def quote(text):
    return json.dumps(text, ensure_ascii=False)


def template(messages):
    out = ['msgid ""', 'msgstr ""', quote("Content-Type: text/plain; charset=UTF-8\n"), ""]
    for m in messages:
        if m.context:
            out.append("msgctxt " + quote(m.context))
        out.append("msgid " + quote(m.source))
        if m.plural is not None:
            out += ["msgid_plural " + quote(m.plural), 'msgstr[0] ""', 'msgstr[1] ""']
        else:
            out.append('msgstr ""')
        out.append("")
    return "\n".join(out)


def placeholders(text):
    return sorted(set(PLACEHOLDER.findall(text)))


def problems_of(path, wanted):
    with open(path, encoding="utf-8") as f:
        messages = parse_po(f.read())
    header = next((m for m in messages if not m.source and not m.context), None)
    found = {m.key(): m for m in messages if m.source}
    problems = []
    forms_match = re.search(r"nplurals\s*=\s*(\d+)", header.forms[0] if header else "")
    if not forms_match:
        return ["no Plural-Forms in the header"]
    forms = int(forms_match.group(1))
    for m in wanted:
        have = found.get(m.key())
        name = (m.context + " | " if m.context else "") + m.source
        if have is None:
            problems.append("missing: " + name)
            continue
        if have.fuzzy or not have.forms or any(not form for form in have.forms):
            problems.append("not translated: " + name)
            continue
        if m.plural is not None:
            if have.plural is None or len(have.forms) != forms:
                problems.append(f"wants {forms} plural forms: " + name)
                continue
            # A form may leave the count out ("The board got the line."), nothing else.
            want = set(placeholders(m.source) + placeholders(m.plural)) - {"{count}"}
            for form in have.forms:
                if set(placeholders(form)) - {"{count}"} != want:
                    problems.append("placeholders differ: " + name)
        elif placeholders(have.forms[0]) != placeholders(m.source):
            problems.append("placeholders differ: " + name)
    wanted_keys = {m.key() for m in wanted}
    for key in sorted(set(found) - wanted_keys):
        problems.append("no longer used: " + key[1])
    result = subprocess.run(["msgfmt", "--check", "-o", os.devnull, path],
                            capture_output=True, text=True)
    if result.returncode != 0:
        problems.append("msgfmt: " + result.stderr.strip())
    return problems


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--check", action="store_true", help="check every po/*.po")
    parser.add_argument("--template", help="write the messages as a .pot file")
    parser.add_argument("--po", default=os.path.join(ROOT, "po"), help="folder of .po files")
    args = parser.parse_args()
    wanted = all_messages()
    if args.template:
        with open(args.template, "w", encoding="utf-8") as f:
            f.write(template(wanted))
    if not args.check:
        return 0
    failed = False
    catalogues = sorted(n for n in os.listdir(args.po) if n.endswith(".po"))
    if not catalogues:
        print("no catalogues in " + args.po)
        return 1
    for name in catalogues:
        problems = problems_of(os.path.join(args.po, name), wanted)
        for problem in problems:
            print(f"{name}: {problem}")
        failed = failed or bool(problems)
    print(f"{len(wanted)} messages, {len(catalogues)} catalogues: "
          + ("problems above" if failed else "complete"))
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
