#!/usr/bin/env python3
"""Writes the NSIS macros that install every file of the unpacked Windows package and
remove exactly those files again, so that the uninstaller leaves a teacher's own tools in
exe\\ (and the folders that hold them) where they are.

Usage: file_list.py STAGE OUTPUT.nsh"""

import os
import sys


def windows(relative):
    return relative.replace("/", "\\")


def main():
    stage, output = os.path.abspath(sys.argv[1]), sys.argv[2]
    folders, files = [], []
    for top, dirs, names in os.walk(stage):
        dirs.sort()
        relative = os.path.relpath(top, stage)
        relative = "" if relative == "." else relative
        folders.append(relative)
        files.extend(os.path.join(relative, name) for name in sorted(names))
    lines = ["!macro ZC_INSTALL_FILES"]
    for folder in folders:
        lines.append('  SetOutPath "$INSTDIR%s"' % ("\\" + windows(folder) if folder else ""))
        for name in files:
            if os.path.dirname(name) == folder:
                # A dollar sign would start an NSIS variable.
                lines.append('  File "%s"' % os.path.join(stage, name).replace("$", "$$"))
    lines += ["  SetOutPath \"$INSTDIR\"", "!macroend", "", "!macro ZC_UNINSTALL_FILES"]
    lines += ['  Delete "$INSTDIR\\%s"' % windows(name) for name in files]
    # Deepest first; RMDir without /r leaves a folder that still holds something.
    lines += ['  RMDir "$INSTDIR\\%s"' % windows(folder)
              for folder in sorted(folders, key=lambda f: -f.count("/")) if folder]
    lines.append("!macroend")
    with open(output, "w", encoding="utf-8") as out:
        out.write("\n".join(lines) + "\n")


if __name__ == "__main__":
    main()
