#!/usr/bin/env python3
"""Window tests of the real program and of the engine's window, each on its own Xvfb.

Usage: window_test.py --program ZUNDLECARDS --probe WINDOW_PROBE --out DIR
                      [--artifacts DIR] [TestCase ...]
Screenshots are saved in --out; the workspace's screenshot in --artifacts (default --out).
Exits 77 when every selected test was skipped."""

import argparse
import ctypes
import os
import select
import shutil
import signal
import subprocess
import sys
import tempfile
import time
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from xvfb_run import VirtualDisplay, die_with_parent, stop  # noqa: E402

WAIT_S = 30
ARGS = None


# ---- X helpers ----

class XClientMessageEvent(ctypes.Structure):
    _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong), ("send_event", ctypes.c_int),
                ("display", ctypes.c_void_p), ("window", ctypes.c_ulong),
                ("message_type", ctypes.c_ulong), ("format", ctypes.c_int),
                ("data", ctypes.c_long * 5)]


class XEvent(ctypes.Union):
    _fields_ = [("xclient", XClientMessageEvent), ("pad", ctypes.c_long * 24)]


class XErrorEvent(ctypes.Structure):
    _fields_ = [("type", ctypes.c_int), ("display", ctypes.c_void_p),
                ("resourceid", ctypes.c_ulong), ("serial", ctypes.c_ulong),
                ("error_code", ctypes.c_ubyte), ("request_code", ctypes.c_ubyte),
                ("minor_code", ctypes.c_ubyte)]


X_ERROR_HANDLER = ctypes.CFUNCTYPE(ctypes.c_int, ctypes.c_void_p, ctypes.POINTER(XErrorEvent))
X_ERRORS = []


@X_ERROR_HANDLER
def note_x_error(_display, event):
    # Xlib's own handler would end this whole test process with status 1.
    X_ERRORS.append((event.contents.error_code, event.contents.request_code))
    return 0


def close_window(display_name, window_id):
    """Asks the window to close the way a window manager's close button does:
    a WM_DELETE_WINDOW message (there is no window manager on the virtual display).
    Raises AssertionError when the server refuses it (the window is gone)."""
    x11 = ctypes.CDLL("libX11.so.6")
    x11.XOpenDisplay.restype = ctypes.c_void_p
    x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
    x11.XInternAtom.restype = ctypes.c_ulong
    x11.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
    x11.XSendEvent.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_long,
                               ctypes.POINTER(XEvent)]
    x11.XSync.argtypes = [ctypes.c_void_p, ctypes.c_int]
    x11.XCloseDisplay.argtypes = [ctypes.c_void_p]
    x11.XSetErrorHandler.argtypes = [X_ERROR_HANDLER]
    x11.XSetErrorHandler(note_x_error)
    display = x11.XOpenDisplay(display_name.encode())
    if not display:
        raise RuntimeError("cannot open X display " + display_name)
    del X_ERRORS[:]
    try:
        event = XEvent()
        event.xclient.type = 33  # ClientMessage
        event.xclient.window = window_id
        event.xclient.message_type = x11.XInternAtom(display, b"WM_PROTOCOLS", 0)
        event.xclient.format = 32
        event.xclient.data[0] = x11.XInternAtom(display, b"WM_DELETE_WINDOW", 0)
        x11.XSendEvent(display, window_id, 0, 0, ctypes.byref(event))
        x11.XSync(display, 0)
    finally:
        x11.XCloseDisplay(display)
    if X_ERRORS:
        raise AssertionError("the X server refused the close request for window 0x%x "
                             "(error %d, request %d)" % ((window_id,) + X_ERRORS[0]))


def window_icons(display_name, window_id):
    """The pictures the window offers as its icon (_NET_WM_ICON): (width, height, pixels)
    each, the pixels as 0xAARRGGBB numbers, rows top first."""
    out = subprocess.run(["xprop", "-display", display_name, "-id", str(window_id),
                          "-f", "_NET_WM_ICON", "32c", " = $0+\n", "_NET_WM_ICON"],
                         check=True, stdout=subprocess.PIPE, universal_newlines=True).stdout
    values = [int(v) & 0xFFFFFFFF for v in out.partition("=")[2].split(",") if v.strip()]
    icons = []
    while len(values) >= 2:
        width, height = values[0], values[1]
        icons.append((width, height, values[2:2 + width * height]))
        values = values[2 + width * height:]
    return icons


class Screen:
    """A screenshot of one window."""

    def __init__(self, path):
        size = subprocess.run(["identify", "-format", "%w %h", path], check=True,
                              stdout=subprocess.PIPE, universal_newlines=True).stdout
        self.width, self.height = (int(v) for v in size.split())
        self.rgb = subprocess.run(["convert", path, "-depth", "8", "rgb:-"], check=True,
                                  stdout=subprocess.PIPE).stdout

    def pixel(self, x, y):
        i = (y * self.width + x) * 3
        return tuple(self.rgb[i:i + 3])


def find_window(env, name, timeout=None):
    """The id of the mapped window titled exactly `name`, once there is one. xdotool's
    search walks every window of the display and fails with BadWindow when one of them
    (any client's, shown or not) is destroyed during the walk; that says nothing about
    the window sought, so the search is simply made again."""
    timeout = timeout or WAIT_S  # read when called: a slower program's tests raise it
    deadline = time.monotonic() + timeout
    while True:
        found = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", "^%s$" % name],
                               env=env, stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                               universal_newlines=True, timeout=timeout)
        if found.returncode == 0 and found.stdout.split():
            return int(found.stdout.split()[0])
        if time.monotonic() > deadline:
            raise AssertionError("no window titled %r appeared: %s" % (name, found.stderr))
        time.sleep(0.05)


# ---- the program under test ----

class Program:
    """A program started on the virtual display, stopped and reaped at the end."""

    def __init__(self, display, argv, cwd=None, env=None):
        self.display = display
        self.env = dict(os.environ, DISPLAY=display.display, **(env or {}))
        self.process = subprocess.Popen(argv, cwd=cwd, env=self.env, stdout=subprocess.PIPE,
                                        stderr=subprocess.PIPE, preexec_fn=die_with_parent)

    def tool(self, *argv, timeout=None):
        timeout = timeout or WAIT_S
        return subprocess.run(list(argv), env=self.env, check=True, timeout=timeout,
                              stdout=subprocess.PIPE, universal_newlines=True).stdout

    def wait_for_window(self, name):
        """The window's id once a window with exactly this title is mapped."""
        return find_window(self.env, name)

    def screenshot(self, window_id, name, folder=None):
        path = os.path.join(folder or ARGS.out, name)
        self.tool("import", "-window", str(window_id), path)
        return Screen(path)

    def close(self, window_id):
        close_window(self.display.display, window_id)
        return self.finish()

    def finish(self, timeout=None):
        """Exit status and standard error once the program ends (killed after timeout)."""
        timeout = timeout or WAIT_S
        try:
            _, err = self.process.communicate(timeout=timeout)
        except subprocess.TimeoutExpired:
            stop(self.process)
            _, err = self.process.communicate()
            raise AssertionError("the program did not end: " + err.decode(errors="replace"))
        return self.process.returncode, err.decode(errors="replace")

    def kill(self):
        stop(self.process)
        self.process.communicate()


class DisplayTest(unittest.TestCase):
    def setUp(self):
        self.display = VirtualDisplay()
        self.display.__enter__()
        self.addCleanup(self.display.__exit__, None, None, None)

    def start(self, argv, cwd=None, env=None):
        program = Program(self.display, argv, cwd, env)
        self.addCleanup(program.kill)
        return program


class ProgramWindow(DisplayTest):
    def test_window_has_the_title_and_size_and_closes_cleanly(self):
        program = self.start([ARGS.program])
        window = program.wait_for_window("ZundleApps")
        self.assertEqual(program.tool("xdotool", "getwindowname", str(window)).strip(),
                         "ZundleApps")
        screen = program.screenshot(window, "zundlecards-window.png")
        self.assertEqual((screen.width, screen.height), (1024, 768))
        check_program_icon(self, self.display.display, window)
        status, err = program.close(window)
        self.assertEqual(status, 0, err)
        self.assertEqual(err, "", "the program writes no log")


def check_program_icon(test, display_name, window):
    """The window shows the program's icon: its blue tile, with clear corners."""
    icons = window_icons(display_name, window)
    test.assertEqual([(w, h) for w, h, _ in icons], [(128, 128)], "the window's icon sizes")
    _, _, pixels = icons[0]
    test.assertEqual(pixels[0] >> 24, 0, "the tile's rounded corner is clear")
    test.assertEqual(pixels[12 * 128 + 64], 0xFF69D0EE, "the tile's blue, at its top edge")


class WorkspaceChecks:
    """What the complete workspace looks like, for every build of the program."""
    BLUE = (105, 208, 238)
    WHITE = (255, 255, 255)
    ORANGE = (240, 144, 30)  # the basic set's colour
    PALE = (210, 241, 250)  # a tab not selected
    HEAD = (228, 246, 252)  # a row head
    GREEN = (46, 173, 91)
    RED = (229, 72, 77)
    # Window pixels (origin top left) that only the complete, correct layout colours so.
    EXPECTED = [
        ("palette panel between its first two cards", (150, 223), WHITE),
        ("basic tab, selected", (47, 40), ORANGE),
        ("car tab, not selected", (107, 40), PALE),
        ("first palette card's frame", (68, 150), ORANGE),
        ("field above row 10", (340, 47), WHITE),
        ("row 10's head at the top", (340, 60), HEAD),
        ("play button", (960, 384), GREEN),
        ("stop button", (984, 504), RED),
        ("settings gear", (999, 728), WHITE),
        ("the gear's tab", (970, 745), BLUE),
        ("frame, left", (272, 400), BLUE),
        ("frame, right", (1021, 400), BLUE),
    ]
    TOLERANCE = 12

    def check_workspace(self, screen):
        self.assertEqual((screen.width, screen.height), (1024, 768))
        for what, (x, y), colour in self.EXPECTED:
            seen = screen.pixel(x, y)
            self.assertTrue(all(abs(a - b) <= self.TOLERANCE for a, b in zip(seen, colour)),
                            "%s at %d,%d: %s, not %s" % (what, x, y, seen, colour))

    def expect_workspace_then_close(self, program, screenshot_name):
        """Waits until the program's window shows the whole workspace (the screenshot kept
        in the artifacts), then closes it: status 0 and nothing on the error stream."""
        window = program.wait_for_window("ZundleApps")
        deadline = time.monotonic() + WAIT_S
        while True:
            screen = program.screenshot(window, screenshot_name, ARGS.artifacts)
            try:
                self.check_workspace(screen)
                break
            except AssertionError:
                if time.monotonic() > deadline:
                    raise
                time.sleep(0.2)  # the first frames may not be on screen yet
        status, err = program.close(window)
        self.assertEqual(status, 0, err)
        self.assertEqual(err, "", "the program writes no log")


class Workspace(DisplayTest, WorkspaceChecks):
    def test_program_shows_the_whole_workspace(self):
        self.expect_workspace_then_close(self.start([ARGS.program]), "workspace.png")


class Letterbox(DisplayTest):
    GREEN = (0, 200, 0)
    BLACK = (0, 0, 0)

    def expect_letterbox(self, program, window, name):
        # 1200 x 600 shows the 4:3 design area as 800 x 600 in the middle.
        deadline = time.monotonic() + WAIT_S
        while True:
            screen = program.screenshot(window, name)
            try:
                self.check_letterbox(screen)
                return
            except AssertionError:
                if time.monotonic() > deadline:
                    raise
                time.sleep(0.2)  # the frame after a resize may not be drawn yet

    def check_letterbox(self, screen):
        self.assertEqual((screen.width, screen.height), (1200, 600))
        for y in (0, 300, 599):
            for x, colour in ((0, self.BLACK), (195, self.BLACK), (205, self.GREEN),
                              (600, self.GREEN), (995, self.GREEN), (1005, self.BLACK),
                              (1199, self.BLACK)):
                self.assertEqual(screen.pixel(x, y), colour, "at %d,%d" % (x, y))

    def test_window_resized_wider_or_hidden_and_shown_is_drawn_with_side_borders(self):
        program = self.start([ARGS.probe, "letterbox", "1024", "768"])
        window = program.wait_for_window("WindowProbe")
        # At the screen's corner, so that the whole resized window is on screen for import.
        program.tool("xdotool", "windowmove", "--sync", str(window), "0", "0")
        program.tool("xdotool", "windowsize", "--sync", str(window), "1200", "600")
        self.expect_letterbox(program, window, "letterbox-resized.png")
        # Hiding stops the frames (the program goes to the background); showing the
        # window must bring its picture back.
        program.tool("xdotool", "windowunmap", "--sync", str(window))
        program.tool("xdotool", "windowmap", "--sync", str(window))
        self.expect_letterbox(program, window, "letterbox-shown-again.png")
        status, err = program.close(window)
        self.assertEqual(status, 0, err)


class Closing(DisplayTest):
    def read_line(self, program):
        """The program's next line of standard output, or "" when none comes in time."""
        ready, _, _ = select.select([program.process.stdout], [], [], WAIT_S)
        return program.process.stdout.readline().decode() if ready else ""

    def test_a_refused_close_keeps_the_window_and_a_signal_still_ends_the_program(self):
        for signum in (signal.SIGTERM, signal.SIGINT):
            with self.subTest(signal=signum):
                program = self.start([ARGS.probe, "refusing"])
                window = program.wait_for_window("WindowProbe")
                close_window(self.display.display, window)
                self.assertEqual(self.read_line(program), "close refused\n")
                self.assertIsNone(program.process.poll(), "the refused close ended the program")
                self.assertEqual(program.wait_for_window("WindowProbe"), window)
                # A second press of the close button asks again.
                close_window(self.display.display, window)
                self.assertEqual(self.read_line(program), "close refused\n")
                program.process.send_signal(signum)
                status, err = program.finish()
                self.assertEqual(status, 0, err)


class MissingPicture(DisplayTest):
    def test_unloadable_picture_ends_the_program_naming_the_file(self):
        with tempfile.TemporaryDirectory() as folder:
            program = self.start([ARGS.probe, "picture", "res/r_absent.png"], cwd=folder)
            status, err = program.finish()
        self.assertNotEqual(status, 0)
        self.assertIn("res/r_absent.png", err)
        # Beside the program, never in the folder it was started from.
        self.assertIn(os.path.join(os.path.dirname(os.path.realpath(ARGS.probe)),
                                   "res/r_absent.png"), err, "where it looked")
        self.assertNotIn(folder, err, "looked in the current folder")

    def test_program_without_its_pictures_stops_at_start_up(self):
        with tempfile.TemporaryDirectory() as folder:
            copy = os.path.join(folder, "zundlecards")
            shutil.copy2(ARGS.program, copy)
            os.mkdir(os.path.join(folder, "res"))
            program = self.start([copy], cwd=folder)
            status, err = program.finish()
        self.assertNotEqual(status, 0)
        self.assertRegex(err, r'picture "res/[^"]+\.png"')
        self.assertIn("looked at", err)


def run_cases(names, module):
    """Runs the named test cases of a module: 0 when all passed, 77 when every one was
    skipped, 1 otherwise."""
    suite = unittest.defaultTestLoader.loadTestsFromNames(names, module)
    result = unittest.TextTestRunner(verbosity=2).run(suite)
    if not result.wasSuccessful():
        return 1
    if result.testsRun and len(result.skipped) == result.testsRun:
        return 77
    return 0


def main():
    global ARGS
    parser = argparse.ArgumentParser()
    parser.add_argument("--program", required=True)
    parser.add_argument("--probe", required=True)
    parser.add_argument("--out", required=True)
    parser.add_argument("--artifacts")
    ARGS, rest = parser.parse_known_args()
    ARGS.artifacts = ARGS.artifacts or ARGS.out
    os.makedirs(ARGS.out, exist_ok=True)
    os.makedirs(ARGS.artifacts, exist_ok=True)
    return run_cases(rest or ["ProgramWindow", "Workspace", "Letterbox", "Closing",
                              "MissingPicture"],
                     sys.modules[__name__])


if __name__ == "__main__":
    sys.exit(main())
