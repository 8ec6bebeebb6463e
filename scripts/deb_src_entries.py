#!/usr/bin/env python3
"""Prints apt source entries (deb822) that mirror this machine's binary entries, so that
`apt-get source` finds the same suites and versions that the installed packages came from."""
import glob
import re


def stanzas(text):
    return [s for s in re.split(r"\n\s*\n", text) if s.strip()]


def fields(stanza):
    out, key = {}, None
    for line in stanza.splitlines():
        if line.startswith("#"):
            continue
        if line[:1].isspace() and key:
            out[key] += " " + line.strip()
        elif ":" in line:
            key, value = line.split(":", 1)
            out[key.strip()] = value.strip()
    return out


entries = []
for path in sorted(glob.glob("/etc/apt/sources.list.d/*.sources")):
    if path.endswith("zundlecards-sources.sources"):
        continue
    with open(path) as f:
        for stanza in stanzas(f.read()):
            f_ = fields(stanza)
            if "deb" in f_.get("Types", "").split() and f_.get("Enabled", "yes") != "no":
                entries.append(f_)
for path in ["/etc/apt/sources.list"] + sorted(glob.glob("/etc/apt/sources.list.d/*.list")):
    try:
        lines = open(path).read().splitlines()
    except OSError:
        continue
    for line in lines:
        m = re.match(r"\s*deb\s+(\[[^\]]*\]\s+)?(\S+)\s+(\S+)\s+(.*)", line)
        if m:
            entry = {"URIs": m.group(2), "Suites": m.group(3), "Components": m.group(4)}
            signed = re.search(r"signed-by=(\S+?)[\s\]]", m.group(1) or "")
            if signed:
                entry["Signed-By"] = signed.group(1)
            entries.append(entry)

# Only Debian's own archives carry the source packages wanted here.
for entry in entries:
    if "debian" not in entry.get("URIs", ""):
        continue
    print("Types: deb-src")
    for key in ("URIs", "Suites", "Components", "Signed-By"):
        if key in entry:
            print(f"{key}: {entry[key]}")
    print()
