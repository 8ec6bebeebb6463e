#!/usr/bin/env python3
"""The Debian package on this machine: installed with dpkg -i, the program started by its
menu entry's command (found through PATH) on a private Xvfb shows the workspace with its
icon, and play reaches the board simulator that the package put into
/usr/lib/zundlecards/exe/; dpkg -r then leaves none of the package's files or folders.

Usage: debian_package_test.py --deb PACKAGE --out DIR
Needs root, or sudo without a password: exits 77 (skipped) with the reason otherwise. Fails
when zundlecards is installed already, since the test would replace and then remove it."""

import argparse
import os
import shlex
import shutil
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import e2e_test  # noqa: E402
import window_test  # noqa: E402
from e2e_test import Bench, EndToEnd, find_window, near, processes_in, until  # noqa: E402
from window_test import WorkspaceChecks, check_program_icon, run_cases  # noqa: E402

ARGS = None
PACKAGE = "zundlecards"
HOME = "/usr/lib/zundlecards"
DESKTOP_ENTRY = "/usr/share/applications/org.zundlecards.ZundleCards.desktop"
SYSTEM_PATH = "/usr/local/bin:/usr/bin:/bin"


def as_root():
    """The command prefix that runs a command as root, or None when there is no way."""
    if os.geteuid() == 0:
        return []
    if shutil.which("sudo") and subprocess.run(["sudo", "-n", "true"],
                                               capture_output=True).returncode == 0:
        return ["sudo", "-n"]
    return None


def installed():
    status = subprocess.run(["dpkg-query", "-W", "-f=${Status}", PACKAGE], capture_output=True,
                            text=True).stdout
    return status.endswith(" installed")


def package_paths(deb):
    """Every path the package holds, as installed (folders included)."""
    listing = subprocess.run(["dpkg-deb", "--fsys-tarfile", deb], check=True,
                             capture_output=True).stdout
    names = subprocess.run(["tar", "-t"], input=listing, check=True,
                           capture_output=True).stdout.decode().split("\n")
    return sorted({"/" + name.strip("./").rstrip("/") for name in names if name.strip("./")})


def contents(folders):
    """The entries of each folder, by folder."""
    return {folder: set(os.listdir(folder)) for folder in folders if os.path.isdir(folder)}


def menu_command():
    """The argv of the installed menu entry's Exec line, its field codes left out."""
    with open(DESKTOP_ENTRY, encoding="utf-8") as entry:
        for line in entry:
            if line.startswith("Exec="):
                return [a for a in shlex.split(line[5:].strip()) if not a.startswith("%")]
    raise AssertionError(DESKTOP_ENTRY + " has no Exec line")


class InstalledBench(Bench):
    """The installed program as the end-to-end helpers drive it."""

    def __init__(self, argv, folder):
        self.args = argv
        self.folder = folder  # where it is started from
        self.data = folder  # its XDG_DATA_HOME

    def argv(self):
        return self.args

    def processes(self):
        return processes_in(HOME)


class DebianPackage(EndToEnd, WorkspaceChecks):
    def setUp(self):
        self.root = as_root()
        if self.root is None:
            self.skipTest("installing a package needs root or sudo without a password")
        self.assertFalse(installed(), "zundlecards is installed on this machine already; the "
                         "test installs and removes its own: remove it first (dpkg -r zundlecards)")
        super().setUp()

    def dpkg(self, *args):
        done = subprocess.run(self.root + ["dpkg"] + list(args), capture_output=True, text=True,
                              env=dict(os.environ, DEBIAN_FRONTEND="noninteractive"))
        self.assertEqual(done.returncode, 0, "dpkg %s: %s" % (" ".join(args), done.stderr))

    def remove_if_installed(self):
        if installed():
            subprocess.run(self.root + ["dpkg", "-r", PACKAGE], capture_output=True)

    def test_installs_starts_from_the_menu_reaches_its_simulator_and_removes_cleanly(self):
        paths = package_paths(ARGS.deb)
        there_before = {path for path in paths if os.path.lexists(path)}
        # What the folders that receive the package's files hold, to find anything else that
        # installing or starting it put there.
        shared = contents(p for p in there_before if os.path.isdir(p))
        self.addCleanup(self.remove_if_installed)
        self.dpkg("-i", ARGS.deb)

        argv = menu_command()
        self.assertEqual(shutil.which(argv[0], path=SYSTEM_PATH), "/usr/bin/zundlecards")
        data = tempfile.mkdtemp(prefix="zc-deb-data-")
        self.addCleanup(shutil.rmtree, data, True)
        bench = InstalledBench(argv, data)
        # With the system's PATH and a data folder of the test's, as a menu would start it for
        # a pupil; the simulator meets only its own later instances.
        program = self.open_workspace(bench, env={
            "PATH": SYSTEM_PATH, "XDG_RUNTIME_DIR": data,
            "ZC_BOARD_SIMULATOR_HANDOFF": "zc-deb-" + os.path.basename(data)})
        self.check_workspace(self.screen("installed.png"))
        check_program_icon(self, self.display.display, self.window)

        self.choose_first_entry()
        self.pointer.tear_off("LED on", 0, 0)
        self.press_play()
        simulator = find_window(program.env, "Board simulator")
        led = e2e_test.BoardSimulator.LED
        until(lambda: near(self.screen("simulator.png", simulator).pixel(*led),
                           e2e_test.BoardSimulator.LIT), "the simulator's LED to light")
        self.assertIn(HOME + "/exe/board-simulator",
                      [os.readlink("/proc/%d/exe" % pid) for pid in bench.processes()])
        window_test.close_window(self.display.display, simulator)
        until(lambda: len(bench.processes()) == 1, "the simulator to end")
        status, err = self.close_with_work()
        self.assertEqual(status, 0, err)

        self.dpkg("-r", PACKAGE)
        self.assertFalse(installed())
        left = [path for path in paths if path not in there_before and os.path.lexists(path)]
        for folder, names in contents(shared).items():
            # The desktop's caches of menu entries and icons are the system's, rebuilt by
            # dpkg's triggers (and made the first time a package with icons comes).
            left += [os.path.join(folder, name) for name in sorted(names - shared[folder])
                     if not name.endswith(".cache")]
        self.assertEqual(left, [], "left behind by dpkg -r")


def main():
    global ARGS
    parser = argparse.ArgumentParser()
    parser.add_argument("--deb", required=True)
    parser.add_argument("--out", required=True)
    ARGS, rest = parser.parse_known_args()
    ARGS.deb = os.path.abspath(ARGS.deb)
    os.makedirs(ARGS.out, exist_ok=True)
    # The end-to-end helpers read their settings from their own module's ARGS.
    e2e_test.ARGS = window_test.ARGS = argparse.Namespace(out=ARGS.out, wine_run=None,
                                                          artifacts=ARGS.out)
    return run_cases(rest or ["DebianPackage"], sys.modules[__name__])


if __name__ == "__main__":
    sys.exit(main())
