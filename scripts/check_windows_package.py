#!/usr/bin/env python3
"""Fails when an executable or DLL of a Windows package needs a DLL that is neither beside
it nor part of Windows itself, or when a program would open a console window, so that a
package that cannot start cleanly on a teacher's machine is never made; and when a program
of the package (or its installer) lacks the icon or a version resource that names the
product and the version, which Explorer, shortcuts and the list of programs show.

Usage: check_windows_package.py STAGE --version X.Y.Z [--installer SETUP_EXE]"""
import argparse
import pathlib
import struct
import subprocess
import sys

# DLLs every supported Windows has (the C runtime msvcrt.dll among them).
SYSTEM = {
    "advapi32.dll", "gdi32.dll", "imm32.dll", "kernel32.dll", "msvcrt.dll", "ole32.dll",
    "oleaut32.dll", "setupapi.dll", "shell32.dll", "user32.dll", "version.dll", "winmm.dll",
    "shlwapi.dll", "comdlg32.dll", "cfgmgr32.dll", "ws2_32.dll", "bcrypt.dll", "dwmapi.dll",
    "uxtheme.dll", "hid.dll", "ntdll.dll", "userenv.dll", "secur32.dll", "crypt32.dll",
    "api-ms-win-crt-runtime-l1-1-0.dll",
}


def headers(path):
    return subprocess.run(["x86_64-w64-mingw32-objdump", "-p", str(path)], check=True,
                          capture_output=True, text=True).stdout


def imports(text):
    return [line.split("DLL Name:")[1].strip() for line in text.splitlines() if "DLL Name:" in line]


def is_windowed(text):
    return any(line.split()[:2] == ["Subsystem", "00000002"] for line in text.splitlines())


def version_strings(data, at=0, found=None):
    """The name and value of every String in a VS_VERSIONINFO block, read as Windows lays
    it out: length, value length, type, key, then value and children on 32-bit bounds."""
    found = {} if found is None else found
    length, value_length, kind = struct.unpack_from("<HHH", data, at)
    end = at + length
    key_end = at + 6
    while data[key_end:key_end + 2] != b"\0\0":
        key_end += 2
    key = data[at + 6:key_end].decode("utf-16-le")
    pos = (key_end + 2 + 3) & ~3
    if kind == 1:  # text, its length counted in characters
        if key not in ("VS_VERSION_INFO", "StringFileInfo", "VarFileInfo") and value_length:
            found[key] = data[pos:pos + 2 * value_length].decode("utf-16-le").rstrip("\0")
        pos += 2 * value_length
    else:
        pos += value_length
    pos = (pos + 3) & ~3
    while pos < end:
        child_length = struct.unpack_from("<H", data, pos)[0]
        if child_length == 0:
            break
        version_strings(data, pos, found)
        pos = (pos + child_length + 3) & ~3
    return found


def resource_faults(binary, version):
    """What a program lacks of its icon and version resource."""
    listing = subprocess.run(["wrestool", "-l", str(binary)], check=True, capture_output=True,
                             text=True).stdout
    faults = []
    if "type=group_icon" not in listing:
        faults.append("has no icon")
    if listing.count("type=version") != 1:
        return faults + ["has %d version resources, not one" % listing.count("type=version")]
    raw = subprocess.run(["wrestool", "-x", "--raw", "--type=16", str(binary)], check=True,
                         capture_output=True).stdout
    strings = version_strings(raw)
    for key, expected in (("ProductName", "ZundleCards"), ("ProductVersion", version),
                          ("FileVersion", version)):
        if strings.get(key) != expected:
            faults.append("says %s %r, not %r" % (key, strings.get(key), expected))
    if not strings.get("FileDescription"):
        faults.append("has no FileDescription")
    return faults


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("stage")
    parser.add_argument("--version", required=True)
    parser.add_argument("--installer")
    args = parser.parse_args()
    stage = pathlib.Path(args.stage)
    binaries = sorted(list(stage.rglob("*.exe")) + list(stage.rglob("*.dll")))
    missing = []
    programs = [(p, p.relative_to(stage)) for p in stage.rglob("*.exe")]
    if args.installer:
        programs.append((pathlib.Path(args.installer), pathlib.Path(args.installer).name))
    for program, name in programs:
        missing += ["%s %s" % (name, fault) for fault in resource_faults(program, args.version)]
    for binary in binaries:
        # Windows looks for a program's DLLs in the program's own folder, not above it.
        shipped = {p.name.lower() for p in binary.parent.glob("*.dll")}
        text = headers(binary)
        if binary.suffix == ".exe" and not is_windowed(text):
            missing.append(f"{binary.relative_to(stage)} would open a console window")
        for dll in imports(text):
            if dll.lower() not in shipped and dll.lower() not in SYSTEM:
                missing.append(f"{binary.relative_to(stage)} needs {dll}")
    if missing:
        print("check_windows_package: the package would not start cleanly or not show as "
              "ZundleCards:\n  " + "\n  ".join(missing), file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
