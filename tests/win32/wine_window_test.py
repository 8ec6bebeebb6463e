#!/usr/bin/env python3
"""The Windows build of the program under wine on a private Xvfb: it opens "ZundleApps" at
1024 x 768 showing the whole workspace, and closes with status 0 when asked to.

Usage: wine_window_test.py --wine-run WINE_RUN --dlls DIR --program ZUNDLECARDS_EXE
                           --artifacts DIR [TestCase ...]
       wine_window_test.py --wine-run WINE_RUN --package ZIP --artifacts DIR WindowsPackage
       wine_window_test.py --wine-run WINE_RUN --installer SETUP_EXE --version X.Y.Z
                           --artifacts DIR WindowsInstaller
The workspace's screenshot is kept in --artifacts as workspace-windows.png. WindowsPackage
unpacks the zip a teacher gets and starts its program with nothing but what the zip holds.
WindowsInstaller installs silently for the current user, starts the program through its
Start-menu shortcut and uninstalls silently again. Both start the program in Japanese (the
zip its simulator too), whose glyphs no Windows font of the test's prefix has: the program
reports (ZC_REPORT_FONTS) which font file drew each Japanese text, and that must be
fonts\\ipag.ttf in the program's folder."""

import argparse
import os
import re
import shutil
import subprocess
import sys
import tempfile
import time
import zipfile

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "app"))
import window_test  # noqa: E402
from window_test import DisplayTest, WorkspaceChecks  # noqa: E402

# The first start of a prefix, and wine's own start, take longer than a native program.
window_test.WAIT_S = 90
ARGS = None


def japanese_start(test):
    """The environment that starts the program in Japanese with its fonts reported, and the
    report's path."""
    report = os.path.join(tempfile.mkdtemp(prefix="zc-fonts-"), "fonts.txt")
    test.addCleanup(shutil.rmtree, os.path.dirname(report), True)
    return {"ZC_LANGUAGE": "ja", "ZC_REPORT_FONTS": report}, report


def japanese(source):
    """The Japanese catalogue's translation of a one-line message."""
    po = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "po", "ja.po")
    with open(po, encoding="utf-8") as catalogue:
        found = re.search(r'^msgid "%s"\nmsgstr "(.*)"$' % re.escape(source), catalogue.read(),
                          re.M)
    return found.group(1) if found else source


def expect_carried_font(test, report, dlls, program_folder):
    """Every Japanese text the workspace drew came from the font in the program's folder."""
    with open(report, encoding="utf-8") as told:
        lines = [line.rstrip("\n").split("\t", 1) for line in told if "\t" in line]
    texts = [text for _, text in lines]
    # A card's caption, and the language's own name in the settings bar's chooser.
    test.assertTrue(any(any("\u3040" <= c <= "\u30ff" for c in text) for text in texts),
                    "no Japanese caption was drawn: %r" % texts)
    files = sorted({font for font, _ in lines})
    unix = subprocess.run([ARGS.wine_run, dlls, "winepath", "-u"] + files, capture_output=True,
                          text=True, timeout=window_test.WAIT_S).stdout.splitlines()
    carried = os.path.join(program_folder, "fonts", "ipag.ttf")
    test.assertTrue(os.path.isfile(carried), "the font is not beside the program")
    test.assertEqual(len(unix), len(files), files)
    for windows_path, path in zip(files, unix):
        test.assertTrue(os.path.exists(path) and os.path.samefile(path, carried),
                        "Japanese drawn with %s, not with the font carried beside the program"
                        % windows_path)


class WindowsProgram(DisplayTest, WorkspaceChecks):
    def test_opens_the_workspace_and_closes_cleanly(self):
        self.expect_workspace_then_close(self.start([ARGS.wine_run, ARGS.dlls, ARGS.program]),
                                         "workspace-windows.png")

    def test_without_its_pictures_it_says_which_one_and_where_it_looked(self):
        # wine-run.sh asks for the error stream only: a message box would wait for a click.
        with tempfile.TemporaryDirectory() as folder:
            copy = os.path.join(folder, "zundlecards.exe")
            shutil.copy2(ARGS.program, copy)
            os.mkdir(os.path.join(folder, "res"))
            program = self.start([ARGS.wine_run, ARGS.dlls, copy], cwd=folder)
            status, err = program.finish()
        self.assertNotEqual(status, 0)
        self.assertRegex(err, r'cannot load the picture "res/[^"]+\.png"')
        self.assertIn("looked at", err)


class WindowsPackage(DisplayTest, WorkspaceChecks):
    def test_unpacked_zip_opens_the_workspace(self):
        with tempfile.TemporaryDirectory() as folder:
            # A pupil's folder: a space and letters beyond ASCII on the way to the program.
            folder = os.path.join(folder, "Schüler Ordner")
            with zipfile.ZipFile(ARGS.package) as package:
                package.extractall(folder)
            top = os.path.join(folder, "zundlecards-windows")
            simulator = os.path.join(top, "exe", "board-simulator.exe")
            self.assertTrue(os.path.isfile(simulator), "the simulator is in exe\\")
            # No library folder of the build: the DLLs beside the program must do.
            env, report = japanese_start(self)
            program = self.start([ARGS.wine_run, top, os.path.join(top, "zundlecards.exe")],
                                 cwd=folder, env=env)
            self.expect_workspace_then_close(program, "workspace-windows-package.png")
            expect_carried_font(self, report, top, top)

            # The simulator runs from exe\, a folder below the font.
            env, report = japanese_start(self)
            program = self.start([ARGS.wine_run, os.path.dirname(simulator), simulator],
                                 cwd=folder, env=env)
            window = program.wait_for_window(japanese("Board simulator"))
            deadline = time.monotonic() + window_test.WAIT_S
            while not os.path.exists(report) and time.monotonic() < deadline:
                time.sleep(0.2)
            program.close(window)
            expect_carried_font(self, report, top, top)


class WindowsInstaller(DisplayTest, WorkspaceChecks):
    KEY = r"HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\ZundleCards"

    def wine(self, *argv, check=True):
        # An empty DLL folder: the installed program must do with what it brought.
        done = subprocess.run([ARGS.wine_run, self.no_dlls] + list(argv), capture_output=True,
                              text=True, timeout=window_test.WAIT_S)
        self.assertTrue(done.returncode == 0 or not check, "%s: %s" % (argv, done.stderr))
        return done.stdout

    def registered(self):
        """The uninstall entry's values by name; empty when there is none."""
        lines = [line.strip().split(None, 2) for line in
                 self.wine("reg", "query", self.KEY, check=False).splitlines()]
        return {p[0]: p[2] for p in lines if len(p) == 3 and p[1].startswith("REG_")}

    def test_silent_install_starts_from_the_start_menu_and_uninstalls_silently(self):
        self.no_dlls = tempfile.mkdtemp(prefix="zc-no-dlls-")
        self.addCleanup(shutil.rmtree, self.no_dlls, True)
        # Each wine command takes seconds to start: the questions are asked together.
        local, roaming, profile = self.wine(
            "cmd", "/c", "echo", "%LOCALAPPDATA%;%APPDATA%;%USERPROFILE%").strip().split(";")
        programs = local + r"\Programs\ZundleCards"
        uninstaller = programs + r"\uninstall.exe"
        shortcut = roaming + r"\Microsoft\Windows\Start Menu\Programs\ZundleCards.lnk"
        installed = self.wine("winepath", "-u", programs, shortcut,
                              profile + r"\Desktop\ZundleCards.lnk", uninstaller).splitlines()
        self.assertEqual([p for p in installed if os.path.lexists(p)], [],
                         "left by an earlier run: uninstall it first")
        self.addCleanup(lambda: os.path.exists(installed[3]) and
                        self.wine(installed[3], "/S", check=False))

        self.wine(ARGS.installer, "/S")
        self.assertEqual([p for p in installed if not os.path.exists(p)], [])
        entry = self.registered()
        self.assertEqual((entry.get("DisplayName"), entry.get("DisplayVersion")),
                         ("ZundleCards", ARGS.version))
        self.assertEqual(entry["InstallLocation"].lower(), programs.lower())
        self.assertEqual(entry["QuietUninstallString"].lower(), '"%s" /s' % uninstaller.lower())

        # From the Start menu, as a pupil starts it; start.exe is not the program, and ending
        # it would leave the program running.
        env, report = japanese_start(self)
        program = self.start([ARGS.wine_run, self.no_dlls, "start", "/wait", "/unix", installed[1]],
                             env=env)
        self.addCleanup(self.end_programs_in, programs)
        self.expect_workspace_then_close(program, "workspace-windows-installed.png")
        expect_carried_font(self, report, self.no_dlls, installed[0])

        # The uninstaller runs from a copy of itself and returns at once, as on Windows.
        self.wine(installed[3], "/S")
        deadline = time.monotonic() + window_test.WAIT_S
        while any(os.path.lexists(p) for p in installed) and time.monotonic() < deadline:
            time.sleep(0.2)
        self.assertEqual([p for p in installed if os.path.lexists(p)], [], "left after uninstall")
        self.assertEqual(self.registered(), {}, "still in the list of programs")

    def end_programs_in(self, folder):
        """Ends every wine process started from a program in the folder."""
        for entry in filter(str.isdigit, os.listdir("/proc")):
            try:
                with open(os.path.join("/proc", entry, "cmdline"), "rb") as cmdline:
                    command = cmdline.read().split(b"\0")[0].decode(errors="replace")
                if command.lower().startswith(folder.lower() + "\\"):
                    os.kill(int(entry), 9)
            except OSError:
                continue


def main():
    global ARGS
    parser = argparse.ArgumentParser()
    parser.add_argument("--wine-run", required=True)
    parser.add_argument("--dlls")
    parser.add_argument("--program")
    parser.add_argument("--package")
    parser.add_argument("--installer")
    parser.add_argument("--version")
    parser.add_argument("--artifacts", required=True)
    ARGS, rest = parser.parse_known_args()
    # The tests start programs in folders of their own.
    ARGS.wine_run, ARGS.dlls, ARGS.program, ARGS.package, ARGS.installer = (
        p and os.path.abspath(p)
        for p in (ARGS.wine_run, ARGS.dlls, ARGS.program, ARGS.package, ARGS.installer))
    os.makedirs(ARGS.artifacts, exist_ok=True)
    window_test.ARGS = ARGS
    ARGS.out = ARGS.artifacts
    return window_test.run_cases(rest or ["WindowsProgram"], sys.modules[__name__])


if __name__ == "__main__":
    sys.exit(main())
