#!/usr/bin/env python3
"""Fails when an executable or DLL of a Windows package needs a DLL that is neither beside
it nor part of Windows itself, or when a program would open a console window, so that a
package that cannot start cleanly on a teacher's machine is never made."""
import pathlib
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


def main():
    stage = pathlib.Path(sys.argv[1])
    binaries = sorted(list(stage.rglob("*.exe")) + list(stage.rglob("*.dll")))
    missing = []
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
        print("check_windows_package: the package would not start cleanly:\n  " + "\n  ".join(missing),
              file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
