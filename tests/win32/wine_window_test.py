#!/usr/bin/env python3
"""The Windows build of the program under wine on a private Xvfb: it opens "ZundleApps" at
1024 x 768 showing the whole workspace, and closes with status 0 when asked to.

Usage: wine_window_test.py --wine-run WINE_RUN --dlls DIR --program ZUNDLECARDS_EXE
                           --artifacts DIR [TestCase ...]
       wine_window_test.py --wine-run WINE_RUN --package ZIP --artifacts DIR WindowsPackage
The workspace's screenshot is kept in --artifacts as workspace-windows.png. WindowsPackage
unpacks the zip a teacher gets and starts its program with nothing but what the zip holds."""

import argparse
import os
import shutil
import sys
import tempfile
import zipfile

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "app"))
import window_test  # noqa: E402
from window_test import DisplayTest, WorkspaceChecks  # noqa: E402

# The first start of a prefix, and wine's own start, take longer than a native program.
window_test.WAIT_S = 90
ARGS = None


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
            program = self.start([ARGS.wine_run, top, os.path.join(top, "zundlecards.exe")],
                                 cwd=folder)
            self.expect_workspace_then_close(program, "workspace-windows-package.png")


def main():
    global ARGS
    parser = argparse.ArgumentParser()
    parser.add_argument("--wine-run", required=True)
    parser.add_argument("--dlls")
    parser.add_argument("--program")
    parser.add_argument("--package")
    parser.add_argument("--artifacts", required=True)
    ARGS, rest = parser.parse_known_args()
    # The tests start programs in folders of their own.
    ARGS.wine_run, ARGS.dlls, ARGS.program, ARGS.package = (
        p and os.path.abspath(p) for p in (ARGS.wine_run, ARGS.dlls, ARGS.program, ARGS.package))
    os.makedirs(ARGS.artifacts, exist_ok=True)
    window_test.ARGS = ARGS
    ARGS.out = ARGS.artifacts
    return window_test.run_cases(rest or ["WindowsProgram"], sys.modules[__name__])


if __name__ == "__main__":
    sys.exit(main())
