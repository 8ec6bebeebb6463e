#!/usr/bin/env python3
"""End-to-end runs of the real program on a private Xvfb, driven by real X pointer events
(xdotool): cards laid into the rows with the mouse, play and stop, and what a transfer tool
beside the program receives; a tool's error on a row shown on that row; the port chooser
with the serial numbers of boards from a sysfs tree of the test's own; then the board
simulator as that tool, opened beside the workspace, its LED lit by play and dark after
stop, and brought to the front by a later program while stop is held, without taking that
press; the row it runs lit in the workspace, one at a time, and none after stop; and on the
screens schools have, the simulator wholly on the display and over no pixel of the
workspace, which moves to the display's edge where only that makes room.

Usage: e2e_test.py --program ZUNDLECARDS --simulator BOARD_SIMULATOR --out DIR [TestCase ...]
When a wait fails, the last screenshot it looked at is left in --out.

The Windows build runs the same cases under wine: --wine-run WINE_RUN --dlls DIR, with
--tool-standin TOOL_EXE as the transfer tool (it keeps each transfer as
<its path>.transfer.NNNN)."""

import argparse
import json
import os
import re
import shutil
import signal
import stat
import subprocess
import sys
import tempfile
import time
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import window_test  # noqa: E402
from window_test import DisplayTest, find_window, run_cases  # noqa: E402
from xvfb_run import VirtualDisplay  # noqa: E402

WAIT_S = 20
ARGS = None

# Window pixels of the workspace (origin top left) as its fixed layout places them.
PALETTE_CARD = {"LED on": (165, 152), "LED off": (165, 292), "Wait 1 second": (165, 432),
                "Button pressed": (165, 572)}
TAB = {"basic": (47, 26), "full": (227, 26)}
PLAY, STOP, DIALECT, TRASH = (954, 384), (984, 504), (974, 264), (944, 80)
DIALECT_OPTION = {"kib": (974, 164), "vemmo": (874, 164)}
PANEL_RIGHT = 275
# Centre of a card seated in the left or right slot of the first row shown, and the rows'
# pitch downwards.
SLOT_X = (493, 707)
FIRST_ROW_Y, ROW_PITCH = 118, 136
# A spot of a row head clear of its line number, and the head lit in the play button's green
# for the row the simulator runs (seen through the loading overlay while that stands).
ROW_HEAD_X, ROW_HEAD_DY = 360, -50
RUNNING_GREEN = (67, 160, 71)
RUNNING_GREEN_COVERED = tuple(round(c * 191 / 255 + 64 * 64 / 255) for c in RUNNING_GREEN)
GEAR, PORT_FIELD, PORT_ICON = (999, 735), (515, 705), (340, 705)
PORT_FIELD_HALF_HEIGHT = 16
PORT_ICON_BLUE = (42, 155, 200)
# The controls that keep work, right above the player strip; in the shelf's popup the
# open and save buttons of its first tiles (the last work, then place 1), and the answers
# of the question asked before the window closes with cards on the field.
SHELF, UNDO, REDO = (875, 147), (946, 147), (995, 147)
# The shelf: the newest earlier run's work first in the top row, place 1 below it.
OPEN_LAST_WORK, OPEN_PLACE_1, SAVE_PLACE_1 = (363, 164), (347, 322), (423, 322)
CLOSE_ANYWAY, CLOSE_ANYWAY_EDGE = (650, 427), (597, 426)
BUTTON_BLUE = (42, 155, 200)
# Bare field above the rows: white, greyed while the loading overlay or a chooser covers it.
FIELD_SPOT = (600, 12)
TOLERANCE = 12

TOOL_SCRIPT = """#!/bin/sh
# Each transfer's input, kept whole under a name of its own once it has ended.
part=$(mktemp '{folder}/part.XXXXXX')
cat > "$part"
mv "$part" "{folder}/transfer.$(date +%s%N)"
"""


ANSWER_TOOL = """#!/bin/sh
# Passes back every line it gets, as a board that echoes, then errs on line 20.
while IFS= read -r line; do printf '%s\\n' "$line"; done
echo 'Syntax error in 20'
"""

# The row heads: a white spot on the head's plate, below the row's number.
ROW_HEAD_X, ROW_HEAD_SPOT = 360, 40
# What the board says: the button at the field's bottom left (above the settings bar), and
# the panel above it (its slate over the bare field), where the lines begin 5 pixels below
# its top edge; both stand higher by the bar's rise while the bar is open.
ANSWER_BUTTON = (363, 740)
ANSWER_PANEL = (55, 66, 72)
ANSWER_PANEL_LEFT, ANSWER_PANEL_TOP = 285, 536
SETTINGS_BAR_RISE = 92
ANSWER_LINE_HEIGHT, ANSWER_PANEL_ROWS = 16, 11


def near(seen, colour):
    return all(abs(a - b) <= TOLERANCE for a, b in zip(seen, colour))


def field_is_bare(screen):
    return near(screen.pixel(*FIELD_SPOT), (255, 255, 255))


def field_is_covered(screen):
    return not field_is_bare(screen)


def lit_rows(screen, rows=5):
    """The rows of the first ones shown whose heads are lit for the running line."""
    return [row for row in range(rows)
            if any(near(screen.pixel(ROW_HEAD_X, FIRST_ROW_Y + ROW_PITCH * row + ROW_HEAD_DY),
                        green) for green in (RUNNING_GREEN, RUNNING_GREEN_COVERED))]


def until(check, what, timeout=WAIT_S):
    """check()'s first true answer; AssertionError naming `what` once the deadline passed."""
    deadline = time.monotonic() + timeout
    while True:
        answer = check()
        if answer:
            return answer
        if time.monotonic() > deadline:
            raise AssertionError("timed out waiting for " + what)
        time.sleep(0.05)


def place(program, window, x, y):
    """Moves a window until it stays where asked: wine places a new window itself a moment
    after it is shown, and may undo an earlier move."""
    def there():
        return geometry(program, window)[:2] == (x, y)

    def placed():
        # No --sync: it waits for the window to change place, which wine may never report
        # when the window is at the spot already or puts it back, and the wait has no end.
        if not there():
            program.tool("xdotool", "windowmove", str(window), str(x), str(y))
        time.sleep(0.2)
        return there()
    until(placed, "window %d to stay at %d,%d" % (window, x, y))


def geometry(program, window):
    """Where a window lies on the screen: x, y, width, height."""
    out = program.tool("xdotool", "getwindowgeometry", str(window))
    found = re.search(r"Position: (-?\d+),(-?\d+).*Geometry: (\d+)x(\d+)", out, re.S)
    return tuple(int(value) for value in found.groups())


def topmost(program, windows):
    """Which of the windows is in front: xwininfo lists the root's children topmost first."""
    out = program.tool("xwininfo", "-root", "-children")
    for line in out.splitlines():
        if line.strip().startswith("0x") and int(line.split()[0], 16) in windows:
            return int(line.split()[0], 16)
    return None


def wine_prefix():
    """The prefix wine-run.sh runs the programs in."""
    if os.environ.get("ZC_WINEPREFIX"):
        return os.environ["ZC_WINEPREFIX"]
    cache = os.environ.get("ZC_WIN_CACHE") or os.path.join(
        os.environ.get("XDG_CACHE_HOME") or os.path.expanduser("~/.cache"), "zundlecards-win64")
    return os.path.join(cache, "wineprefix")


def holds(rect, point):
    x, y, w, h = rect
    return x <= point[0] < x + w and y <= point[1] < y + h


class Pointer:
    """The mouse over one window: each gesture is one xdotool chain of moves in small steps
    with short waits, so that the program sees every step as a move of its own."""
    STEP_WAIT = "0.01"

    def __init__(self, program, window):
        self.program = program
        self.window = str(window)
        self.at = None

    def _to(self, x, y):
        # A synchronous move to where the pointer already is waits for a motion that never
        # comes (until xdotool gives up, seconds later).
        if self.at == (x, y):
            return []
        self.at = (x, y)
        return ["mousemove", "--window", self.window, "--sync", str(x), str(y),
                "sleep", self.STEP_WAIT]

    def _glide(self, x, y, step):
        x0, y0 = self.at
        count = max(1, int(max(abs(x - x0), abs(y - y0)) + step - 1) // step)
        chain = []
        for i in range(1, count + 1):
            chain += self._to(x0 + (x - x0) * i // count, y0 + (y - y0) * i // count)
        return chain

    def _run(self, chain):
        if ARGS.wine_run:
            self._clear_consoles()
        self.program.tool("xdotool", *chain)

    def _clear_consoles(self):
        """A console transfer tool gets a console window of its own, and nothing manages the
        windows here: one over the workspace would take the clicks. Moves every window but
        the workspace and the simulator below the workspace."""
        shown = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", "."],
                               env=self.program.env, stdout=subprocess.PIPE,
                               stderr=subprocess.DEVNULL, universal_newlines=True).stdout
        for window in shown.split():
            name = subprocess.run(["xdotool", "getwindowname", window], env=self.program.env,
                                  stdout=subprocess.PIPE, stderr=subprocess.DEVNULL,
                                  universal_newlines=True).stdout.strip()
            if window != self.window and name not in ("ZundleApps", "Board simulator"):
                subprocess.run(["xdotool", "windowmove", window, "0", "1100"],
                               env=self.program.env, stderr=subprocess.DEVNULL)

    def click(self, x, y):
        self._run(self._to(x, y) + ["mousedown", "1", "sleep", "0.05", "mouseup", "1"])

    def press(self, x, y):
        self._run(self._to(x, y) + ["mousedown", "1"])

    def release(self):
        self._run(["mouseup", "1"])

    # Where the hand comes from for the last stretch into a slot, in window pixels from the
    # slot's centre.
    APPROACH = {"below": (0, 150), "left": (-170, 0), "right": (170, 0), "above": (0, -150)}

    def tear_off(self, card, column, row, approach="below", step=12, off=(0, 0)):
        """Drags a palette card into a slot of the first rows shown (row 0 at the top) the
        way a child does: out of the panel, then from `approach` straight onto the slot's
        centre, or `off` it, in steps of `step` pixels, and lets go there."""
        x, y = PALETTE_CARD[card]
        chain = self._to(x, y) + ["sleep", "0.05", "mousedown", "1", "sleep", "0.05"]
        target = (SLOT_X[column] + off[0], FIRST_ROW_Y + ROW_PITCH * row + off[1])
        dx, dy = self.APPROACH[approach]
        start = (max(target[0] + dx, PANEL_RIGHT + 110), target[1] + dy)
        chain += self._glide(PANEL_RIGHT + 110, y, 20) + self._glide(*start, 20)
        chain += self._glide(*target, step)
        self._run(chain + ["sleep", "0.05", "mouseup", "1"])

    def drag_to_trash(self, column, row):
        """Presses a seated card until it is picked up, then drops it on the trash marker."""
        self._run(self._to(SLOT_X[column], FIRST_ROW_Y + ROW_PITCH * row) +
                  ["mousedown", "1", "sleep", "0.15"] + self._glide(*TRASH, 10) +
                  ["sleep", "0.05", "mouseup", "1"])


def processes_in(folder, wine=False):
    """Ids of the running processes started from the folder's programs (under wine: whose
    command names one, as a Linux or a Windows path)."""
    windows = ("z:" + folder.replace("/", "\\") + "\\").lower()
    found = []
    for entry in os.listdir("/proc"):
        if entry.isdigit():
            try:
                exe = os.readlink(os.path.join("/proc", entry, "exe"))
                with open(os.path.join("/proc", entry, "cmdline"), "rb") as cmdline:
                    command = cmdline.read().split(b"\0")[0].decode(errors="replace")
            except OSError:
                continue
            ours = exe.startswith(folder + os.sep)
            if wine and "/wine" in exe:
                ours = command.startswith(folder + os.sep) or command.lower().startswith(windows)
            if ours:
                found.append(int(entry))
    return found


class Bench:
    def kill_leftovers(self):
        for pid in self.processes():
            try:
                os.kill(pid, 9)
            except ProcessLookupError:
                pass


class Workbench(Bench):
    """A folder with a copy of the program, its pictures, and an `exe` folder of its own."""

    def __init__(self, test, tools):
        self.folder = os.path.realpath(tempfile.mkdtemp(prefix="zc-e2e-"))
        test.addCleanup(shutil.rmtree, self.folder, True)
        self.program = os.path.join(self.folder, os.path.basename(ARGS.program))
        # Where the program keeps programs and the last work: the folder its system gives.
        if ARGS.wine_run:
            users = os.path.join(wine_prefix(), "drive_c", "users")
            user = [name for name in os.listdir(users) if name != "Public"][0]
            self.data = os.path.join(users, user, "AppData", "Roaming", "ZundleCards")
        else:
            self.data = os.path.join(self.folder, "data")
        self.programs = os.path.join(self.data, "programs") if ARGS.wine_run else \
            os.path.join(self.data, "zundlecards", "programs")
        shutil.copy2(ARGS.program, self.program)
        os.symlink(os.path.realpath(os.path.join(os.path.dirname(ARGS.program), "res")),
                   os.path.join(self.folder, "res"))
        os.mkdir(os.path.join(self.folder, "exe"))
        for name, make in tools.items():
            path = os.path.join(self.folder, "exe", name)
            make(path)
            os.chmod(path, os.stat(path).st_mode | stat.S_IXUSR)

    def argv(self):
        """How the program is started: itself, or through wine."""
        if ARGS.wine_run:
            return [ARGS.wine_run, ARGS.dlls, self.program]
        return [self.program]

    def processes(self):
        return processes_in(self.folder, bool(ARGS.wine_run))


class EndToEnd(DisplayTest):
    def setUp(self):
        # Wide enough for the workspace and the simulator's window side by side: nothing
        # manages the windows, and a click lands on whichever lies on top.
        self.display = VirtualDisplay("2000x1024x24")
        self.display.__enter__()
        self.addCleanup(self.display.__exit__, None, None, None)

    def open_workspace(self, bench, env=None, at=(0, 0)):
        """The workspace started from the bench, moved to `at` (None: where it starts)."""
        # The run's own data folder: no earlier run's programs or last work.
        env = dict(env or {}, XDG_DATA_HOME=bench.data)
        if ARGS.wine_run:
            shutil.rmtree(bench.data, ignore_errors=True)
        program = self.start(bench.argv(), cwd=bench.folder, env=env)
        self.addCleanup(bench.kill_leftovers)
        window = program.wait_for_window("ZundleApps")
        if at is not None:
            place(program, window, *at)
        self.program, self.window = program, window
        self.pointer = Pointer(program, window)
        until(lambda: field_is_bare(self.screen()), "the workspace to be drawn")
        if ARGS.wine_run:
            time.sleep(1.0)  # wine activates the new window a while after it is drawn
        return program

    def open_with_simulator(self, at=(0, 0)):
        """The workspace from a bench whose one tool is the simulator, chosen; the bench."""
        bench = Workbench(self, {os.path.basename(ARGS.simulator):
                                 lambda path: shutil.copy2(ARGS.simulator, path)})
        runtime = tempfile.mkdtemp(prefix="zc-runtime-")
        self.addCleanup(shutil.rmtree, runtime, True)
        # Each run's simulator meets only its own later instances.
        self.open_workspace(bench, at=at, env={
            "XDG_RUNTIME_DIR": runtime,
            "ZC_BOARD_SIMULATOR_HANDOFF": "zc-e2e-" + os.path.basename(runtime)})
        self.choose_first_entry()
        return bench

    def close_simulator(self, bench):
        """Closes the simulator's window and waits for it to end: under wine it holds the
        output the workspace was given, which the workspace's end would otherwise not close."""
        simulator = find_window(self.program.env, "Board simulator")
        window_test.close_window(self.display.display, simulator)
        until(lambda: len(bench.processes()) == 1, "the simulator to end")

    def screen(self, name="workspace.png", window=None):
        # Named by the case, since cases run side by side into one folder.
        return self.program.screenshot(window or self.window,
                                       "e2e-%s-%s" % (type(self).__name__, name), ARGS.out)

    def choose_first_entry(self):
        """Chooses the first entry of the port chooser in the settings bar, which is left
        open: plug-in ports come first, then the tools, then the computer's own ports, so
        with no board plugged in the test's tool is the first entry."""
        self.pointer.click(*GEAR)
        until(lambda: near(self.screen().pixel(*PORT_ICON), PORT_ICON_BLUE),
              "the settings bar to open")
        self.pointer.click(*PORT_FIELD)
        until(lambda: field_is_covered(self.screen()), "the port chooser")
        # The rows stand on the port field, each as high as the field, inside a frame 5
        # pixels wide: the first entry is the lowest row.
        self.pointer.click(PORT_FIELD[0], PORT_FIELD[1] - PORT_FIELD_HALF_HEIGHT - 5 -
                           PORT_FIELD_HALF_HEIGHT)
        until(lambda: field_is_bare(self.screen()), "the port chooser to close")

    def press_play(self, sent_so_far=lambda: False):
        """Presses play until it is taken (refused silently while the last transfer ends),
        then waits until the loading overlay has gone."""
        def taken():
            self.pointer.click(*PLAY)
            try:
                return until(lambda: field_is_covered(self.screen()) or sent_so_far(),
                             "the loading overlay", timeout=2)
            except AssertionError:
                return False
        until(taken, "play to be taken")
        until(lambda: field_is_bare(self.screen()), "the loading overlay to go")

    def close_with_work(self):
        """Closes the workspace with cards on it: the window asks first whether to keep
        them, and "Close anyway" ends the program."""
        window_test.close_window(self.display.display, self.window)
        until(lambda: near(self.screen().pixel(*CLOSE_ANYWAY_EDGE), BUTTON_BLUE),
              "the question before closing")
        self.pointer.click(*CLOSE_ANYWAY)
        return self.program.finish()

    def choose_dialect(self, dialect):
        self.pointer.click(*DIALECT)
        until(lambda: field_is_covered(self.screen()), "the dialect chooser")
        self.pointer.click(*DIALECT_OPTION[dialect])
        until(lambda: field_is_bare(self.screen()), "the dialect chooser to close")


class ToolBench(EndToEnd):
    """A workspace with a transfer tool of the test's own that keeps each transfer."""
    KIB, VEMMO = b"\r\n", b"\n"

    def setUp(self):
        super().setUp()
        self.received = tempfile.mkdtemp(prefix="zc-received-")
        self.addCleanup(shutil.rmtree, self.received, True)

        def write_tool(path):
            with open(path, "w") as tool:
                tool.write(TOOL_SCRIPT.format(folder=self.received))
        if ARGS.wine_run:
            # A Windows program that keeps each transfer beside itself.
            self.bench = Workbench(self, {"copy-keep.exe":
                                          lambda path: shutil.copy2(ARGS.tool_standin, path)})
            self.received = os.path.join(self.bench.folder, "exe")
        else:
            self.bench = Workbench(self, {"copy-input": write_tool})

    def transfers(self):
        return sorted(name for name in os.listdir(self.received)
                      if name.startswith(("transfer.", "copy-keep.exe.transfer.")))

    def expect_transfer(self, count, expected, what):
        """The count-th transfer the tool received is exactly `expected`."""
        until(lambda: len(self.transfers()) >= count, "transfer %d (%s)" % (count, what))
        names = self.transfers()
        self.assertEqual(len(names), count, "one transfer per press")
        with open(os.path.join(self.received, names[-1]), "rb") as received:
            self.assertEqual(received.read(), expected, what)
        # The next gesture comes once the tool is gone, as a person's would: under wine its
        # console window takes the focus while it runs and hands it back some time after it
        # closes, and a press made while the focus moves is cut short.
        until(lambda: len(self.bench.processes()) == 1, "the tool to end")
        if ARGS.wine_run:
            time.sleep(1.5)

    def read_json(self, name):
        try:
            with open(os.path.join(self.bench.programs, name)) as kept:
                return json.load(kept)
        except (OSError, ValueError):
            return None

    def newest_work(self):
        """The work the newest run kept, each run keeping its own."""
        try:
            names = [name for name in os.listdir(self.bench.programs)
                     if name.startswith("last-work") and name.endswith(".json")]
        except OSError:
            return None
        if not names:
            return None
        newest = max(names, key=lambda name: os.path.getmtime(
            os.path.join(self.bench.programs, name)))
        return self.read_json(newest)

    def sent(self, index):
        with open(os.path.join(self.received, self.transfers()[index]), "rb") as received:
            return received.read()

    def lay_program(self):
        for card, column, row in (("LED on", 0, 0), ("Wait 1 second", 1, 0), ("LED off", 0, 1)):
            self.pointer.tear_off(card, column, row)

    def play_and_compare(self, what):
        """Plays the field: it must send what the first play of the run sent."""
        count = len(self.transfers())
        self.press_play(lambda: len(self.transfers()) > count)
        until(lambda: len(self.transfers()) == count + 1, "the transfer of " + what)
        self.assertEqual(self.sent(count), self.sent(0), what)

    def open_from_shelf(self, button):
        self.pointer.click(*SHELF)
        until(lambda: field_is_covered(self.screen()), "the shelf")
        self.pointer.click(*button)
        until(lambda: field_is_bare(self.screen()), "the shelf to close")

class TransferTool(ToolBench):
    def test_cards_laid_with_the_mouse_reach_the_tool_byte_for_byte(self):
        self.open_workspace(self.bench)
        self.choose_first_entry()
        self.pointer.tear_off("LED on", 0, 0)
        self.pointer.tear_off("Wait 1 second", 1, 0)
        self.pointer.tear_off("LED off", 0, 2)
        self.pointer.click(*TAB["full"])
        if ARGS.wine_run:
            time.sleep(1.0)  # under load wine may hand the next press over before the new set
        # Alone in the second slot: the line number goes to it, and in vemmo the condition's
        # trailing space stays before the line's end.
        self.pointer.tear_off("Button pressed", 1, 1)
        if ARGS.wine_run:
            time.sleep(1.0)  # and the last release after play's press

        sent = lambda count: lambda: len(self.transfers()) >= count  # noqa: E731
        self.press_play(sent(1))
        kib = self.KIB
        self.expect_transfer(1, b"NEW" + kib + b"10 LED 1:WAIT 60" + kib +
                             b"20 IF BTN()=1 THEN" + kib + b"30 LED 0" + kib +
                             b"SAVE 0" + kib + b"RUN" + kib, "the kib program")

        self.choose_dialect("vemmo")
        self.press_play(sent(2))
        nl = self.VEMMO
        opening = b"cat uart > .\nvar i=0;var o=0;" + nl
        closing = b"while(uart()!=-1);\n\x04" + b"ms ." + nl
        self.expect_transfer(2, opening + b"led(1);sleep(1000);" + nl + b"if(btn()==1) " + nl +
                             b"led(0);" + nl + closing, "the vemmo program")

        self.pointer.click(*STOP)
        self.expect_transfer(3, b" " + b"ms\nout(0)\nexit()\n", "the vemmo stop chunks")

        self.pointer.drag_to_trash(0, 2)
        self.press_play(sent(4))
        self.expect_transfer(4, opening + b"led(1);sleep(1000);" + nl + b"if(btn()==1) " + nl +
                             closing, "the program without the trashed card")

        status, err = self.close_with_work()
        self.assertEqual(status, 0, err)
        self.assertEqual(err, "", "the program writes no log")

    def test_every_card_let_go_over_a_slot_is_sent_whatever_way_it_came(self):
        self.open_workspace(self.bench)
        self.choose_first_entry()
        # Eight slots of the first four rows, each reached from another side or at another
        # speed, and let go on the slot's centre or well off it, as a hand does; a card that
        # ends beside its slot would be missing from the program.
        laid = [("LED on", 0, 0, "below", 12, (0, 0)), ("LED off", 1, 0, "right", 30, (45, 30)),
                ("Wait 1 second", 0, 1, "left", 6, (-40, -35)),
                ("LED on", 1, 1, "above", 40, (0, 0)), ("LED off", 0, 2, "above", 12, (50, 40)),
                ("Wait 1 second", 1, 2, "below", 60, (0, 0)),
                ("LED on", 0, 3, "right", 8, (-45, 38)), ("LED off", 1, 3, "left", 25, (0, 0))]
        for card, column, row, approach, step, off in laid:
            self.pointer.tear_off(card, column, row, approach, step, off)
        self.press_play(lambda: len(self.transfers()) >= 1)
        kib = self.KIB
        self.expect_transfer(1, b"NEW" + kib + b"10 LED 1:LED 0" + kib +
                             b"20 WAIT 60:LED 1" + kib + b"30 LED 0:WAIT 60" + kib +
                             b"40 LED 1:LED 0" + kib + b"SAVE 0" + kib + b"RUN" + kib,
                             "every card laid")
        status, err = self.close_with_work()
        self.assertEqual(status, 0, err)


    def test_a_program_kept_in_a_place_or_as_the_last_work_comes_back_and_sends_the_same_bytes(
            self):
        self.open_workspace(self.bench)
        self.choose_first_entry()
        self.lay_program()
        self.press_play(lambda: len(self.transfers()) >= 1)
        until(lambda: len(self.transfers()) == 1, "the first transfer")
        self.open_from_shelf(SAVE_PLACE_1)
        saved = until(lambda: self.read_json("place-01.json"), "place 1's file in " +
                      self.bench.programs)
        self.assertEqual(len(saved["rows"]), 2, saved)

        # Killed a second after the last change, the program has kept every card; a new
        # start offers them from the shelf. (Wine gives no SIGKILL.)
        if not ARGS.wine_run:
            time.sleep(1.2)
            self.program.process.kill()
            self.program.process.communicate()
            kept = self.newest_work()
            self.assertIsNotNone(kept, "the last work after the kill")
            self.assertEqual(sum(len(row["slots"]) for row in kept["rows"]), 3, kept)
            self.open_workspace(self.bench)
            self.choose_first_entry()
            self.open_from_shelf(OPEN_LAST_WORK)
            self.play_and_compare("the last work opened")

        # Every card taken back, once with the control and twice with Ctrl+Z; the last
        # work follows within a second.
        self.pointer.click(*UNDO)
        for _ in range(2):
            self.program.tool("xdotool", "key", "--window", str(self.window), "ctrl+z")
            time.sleep(0.3)
        until(lambda: (self.newest_work() or {}).get("rows") == [],
              "the last work to hold an empty field")
        self.open_from_shelf(OPEN_PLACE_1)
        self.play_and_compare("the program opened from place 1")
        status, err = self.close_with_work()
        self.assertEqual(status, 0, err)



# Its own case, so that each of the two stays well within the time a case has on a busy machine.
class Endings(ToolBench):
    def test_every_way_of_ending_keeps_a_change_made_just_before(self):
        """A card laid less than a second before the end is in the run's work however the
        program ends, and the next start still finds the earlier run's work."""
        endings = [("close", None), ("session end", "session")] if ARGS.wine_run else [
            ("SIGTERM", signal.SIGTERM), ("SIGINT", signal.SIGINT), ("SIGHUP", signal.SIGHUP),
            ("close", None)]
        for name, signum in endings:
            with self.subTest(ending=name):
                bench = Workbench(self, {})
                self.bench = bench
                self.open_workspace(bench)
                self.pointer.tear_off("LED on", 0, 0)
                if signum is None:
                    status, err = self.close_with_work()
                    self.assertEqual(status, 0, err)
                elif signum == "session":
                    # The session's end asks every window and then ends its program.
                    subprocess.run([ARGS.wine_run, ARGS.dlls, "wineboot", "--end-session"],
                                   env=self.program.env, timeout=WAIT_S * 3,
                                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
                    self.program.finish()
                else:
                    self.program.process.send_signal(signum)
                    status, err = self.program.finish()
                    self.assertEqual(status, 0, err)
                kept = self.newest_work()
                self.assertIsNotNone(kept, "no work after " + name)
                self.assertEqual(sum(len(row["slots"]) for row in kept["rows"]), 1, kept)


class ToolAnswer(EndToEnd):
    """A transfer tool that passes back every line it gets, as a board that echoes, then
    errs on line 20: the head of row 20 turns red, the notice names row 20, and the panel
    of what the board says holds the error alone, the echo left out."""
    # The failure red over the head's pale blue plate.
    RED = (205, 69, 76)
    NOTICE = "The board did not understand row 20: Syntax error."

    def setUp(self):
        super().setUp()
        if ARGS.wine_run:
            # A Windows program that does the same.
            self.bench = Workbench(self, {"relay-errs.exe":
                                          lambda path: shutil.copy2(ARGS.tool_standin, path)})
        else:
            def write_tool(path):
                with open(path, "w") as tool:
                    tool.write(ANSWER_TOOL)
            self.bench = Workbench(self, {"relay-errs": write_tool})
        self.notices = os.path.join(self.bench.folder, "notices.txt")

    def notices_shown(self):
        try:
            with open(self.notices, encoding="utf-8") as told:
                return told.read().splitlines()
        except OSError:
            return []

    def panel_rows(self, screen, top):
        """The rows of the panel whose top edge is at `top` that hold text: light pixels on
        the dark panel."""
        rows = []
        for row in range(ANSWER_PANEL_ROWS):
            y = top + ANSWER_LINE_HEIGHT * row + ANSWER_LINE_HEIGHT // 2
            lit = any(min(screen.pixel(x, y + dy)) > 150 for x in
                      range(ANSWER_PANEL_LEFT, ANSWER_PANEL_LEFT + 240) for dy in (-3, 0, 3))
            rows.append(lit)
        return rows

    def test_an_error_the_tool_reports_marks_its_row_and_the_panel_holds_it_alone(self):
        self.open_workspace(self.bench, env={"ZC_REPORT_NOTICES": self.notices})
        self.choose_first_entry()
        for card, column, row in (("LED on", 0, 0), ("Wait 1 second", 0, 1),
                                  ("LED off", 0, 2)):
            self.pointer.tear_off(card, column, row)
            if ARGS.wine_run:
                time.sleep(1.0)
        head = (ROW_HEAD_X, FIRST_ROW_Y + ROW_PITCH * 1 + ROW_HEAD_SPOT)
        before = self.screen("before-play.png").pixel(*head)
        self.assertFalse(near(before, self.RED), before)
        # Under wine the tool may have answered before a screenshot shows the overlay.
        self.press_play(lambda: self.NOTICE in self.notices_shown())
        until(lambda: near(self.screen("answered.png").pixel(*head), self.RED),
              "the head of row 20 to turn red")
        until(lambda: self.NOTICE in self.notices_shown(),
              "the notice that names row 20 (told: %r)" % self.notices_shown())
        # The rows above and below keep their heads.
        for row in (0, 2):
            other = (ROW_HEAD_X, FIRST_ROW_Y + ROW_PITCH * row + ROW_HEAD_SPOT)
            self.assertFalse(near(self.screen("answered.png").pixel(*other), self.RED), row)

        # The settings bar is still open.
        top = ANSWER_PANEL_TOP - SETTINGS_BAR_RISE
        self.pointer.click(ANSWER_BUTTON[0], ANSWER_BUTTON[1] - SETTINGS_BAR_RISE)
        until(lambda: near(self.screen().pixel(ANSWER_PANEL_LEFT + 2, top + 2), ANSWER_PANEL),
              "the panel of what the board says")
        rows = self.panel_rows(self.screen("panel.png"), top)
        self.assertEqual(rows, [True] + [False] * (ANSWER_PANEL_ROWS - 1),
                         "one line in the panel, the error; the echo left out")
        status, err = self.close_with_work()
        self.assertEqual(status, 0, err)


def fake_sysfs(root):
    """A sysfs tree in the kernel's shape: two boards of one kind that only their serial
    numbers tell apart, an adapter without one, and a UART of the computer's own."""
    def port(name, chain, device_type=None):
        device = "devices"
        for folder, bus in chain:
            device += "/" + folder
            os.makedirs(os.path.join(root, device), exist_ok=True)
            link = os.path.join(root, device, "subsystem")
            if bus and not os.path.lexists(link):
                os.symlink("/sys/bus/" + bus, link)
        tty = os.path.join(root, device, "tty", name)
        os.makedirs(tty)
        with open(os.path.join(tty, "uevent"), "w") as uevent:
            uevent.write("MAJOR=166\nDEVNAME=%s\n" % name)
        os.symlink("../..", os.path.join(tty, "device"))
        if device_type:
            with open(os.path.join(tty, "type"), "w") as kind:
                kind.write(device_type + "\n")
        os.makedirs(os.path.join(root, "class", "tty"), exist_ok=True)
        os.symlink("../../%s/tty/%s" % (device, name), os.path.join(root, "class", "tty", name))

    def usb(folder, vendor, product, serial, model):
        path = os.path.join(root, "devices", "pci0000:00", "0000:00:14.0", "usb1", folder)
        os.makedirs(path, exist_ok=True)
        for key, value in (("idVendor", vendor), ("idProduct", product), ("serial", serial),
                           ("product", model)):
            if value:
                with open(os.path.join(path, key), "w") as attribute:
                    attribute.write(value + "\n")

    hub = [("pci0000:00", None), ("0000:00:14.0", "pci"), ("usb1", "usb")]
    for name, folder, product, serial, model in (
            ("ttyACM0", "1-2", "0043", "85736323838351F0A1D1", "Arduino Uno"),
            ("ttyACM1", "1-3", "0043", "7573330303135191C0E2", "Arduino Uno"),
            ("ttyUSB0", "1-4", "7523", "", "USB Serial")):
        vendor = "2341" if name.startswith("ttyACM") else "1a86"
        usb(folder, vendor, product, serial, model)
        port(name, hub + [(folder, "usb"), (folder + ":1.0", "usb")])
    port("ttyS0", [("platform", None), ("serial8250", "platform")], "4")


def namespace_wrapper():
    """The command that runs a program with a sysfs tree of the test's own over /sys, in a
    mount namespace of its own (the system's /sys is untouched); None where none can be
    made."""
    for unshare in (["unshare", "-m"], ["unshare", "-rm"]):
        try:
            made = subprocess.run(unshare + ["true"], stdout=subprocess.DEVNULL,
                                  stderr=subprocess.DEVNULL).returncode == 0
        except OSError:
            return None
        if made:
            return unshare + ["sh", "-c", 'mount --bind "$1" /sys && shift && exec "$@"', "sh"]
    return None


class PortChooser(EndToEnd):
    """The port chooser of the real program, its ports found in a sysfs tree of the test's
    own: plug-in boards first, each with its serial number's end, then the tool, then the
    computer's own port. Left as chooser.png for a person to look at."""
    ROW_HEIGHT, SEPARATOR = 2 * PORT_FIELD_HALF_HEIGHT, 2

    def test_the_chooser_lists_each_board_with_its_serial_numbers_end(self):
        if ARGS.wine_run:
            self.skipTest("the Windows listing reads no sysfs")
        wrapper = namespace_wrapper()
        if wrapper is None:
            self.skipTest("no mount namespace can be made here")
        bench = Workbench(self, {"board-simulator":
                                 lambda path: shutil.copy2(ARGS.simulator, path)})
        sysfs = os.path.join(bench.folder, "sys")
        fake_sysfs(sysfs)
        bench.argv = lambda: wrapper + [sysfs, bench.program]
        self.open_workspace(bench)
        self.pointer.click(*GEAR)
        until(lambda: near(self.screen().pixel(*PORT_ICON), PORT_ICON_BLUE),
              "the settings bar to open")
        self.pointer.click(*PORT_FIELD)
        until(lambda: field_is_covered(self.screen()), "the port chooser")
        time.sleep(0.3)  # the chooser fades in
        screen = self.screen("chooser.png")
        # Five rows stand on the port field, the frame's blue bar above the last: two
        # boards, the adapter, the tool and the computer's own port.
        top = PORT_FIELD[1] - PORT_FIELD_HALF_HEIGHT - 5 - 5 * self.ROW_HEIGHT - \
            4 * self.SEPARATOR
        frame = (105, 208, 238)
        x = PORT_FIELD[0] + 120  # right of the rows' text
        self.assertTrue(near(screen.pixel(x, top - 3), frame), screen.pixel(x, top - 3))
        self.assertFalse(near(screen.pixel(x, top + 3), frame), screen.pixel(x, top + 3))
        status, err = self.program.close(self.window)
        self.assertEqual(status, 0, err)


class BoardSimulator(EndToEnd):
    LED = (55, 140)
    LIT, DARK = (255, 64, 64), (90, 40, 42)
    KIB_LED_ON = b"NEW\r\n10 LED 1\r\nSAVE 0\r\nRUN\r\n"

    def hand_over(self, bench, data):
        """A later instance of the simulator, as a transfer starts it: it hands its input to
        the window and ends."""
        path = os.path.join(bench.folder, "exe", os.path.basename(ARGS.simulator))
        argv = [ARGS.wine_run, ARGS.dlls, path] if ARGS.wine_run else [path]
        done = subprocess.run(argv, input=data, env=self.program.env, timeout=WAIT_S * 3,
                              stdout=subprocess.PIPE, stderr=subprocess.PIPE)
        self.assertEqual(done.returncode, 0, done.stderr)

    def test_play_opens_the_simulator_beside_the_workspace_and_a_held_stop_outlasts_a_raise(self):
        bench = self.open_with_simulator()
        program = self.program
        self.pointer.tear_off("LED on", 0, 0)
        self.press_play()
        simulator = find_window(program.env, "Board simulator")
        workspace_rect = geometry(program, self.window)

        # The screen is wide enough for both: the simulator opens right of the workspace,
        # level with it.
        def beside():
            x, y, _, _ = geometry(program, simulator)
            return (x, y) == (workspace_rect[0] + workspace_rect[2], workspace_rect[1])
        until(beside, "the simulator beside the workspace")

        def led(colour):
            return lambda: near(self.screen("simulator.png", simulator).pixel(*self.LED),
                                colour)
        until(led(self.LIT), "the simulator's LED to light")

        # Moved over the field and play, under the workspace; stop stays clear of it.
        place(program, simulator, 0, 300)
        program.tool("xdotool", "windowraise", str(self.window))
        pair = (self.window, simulator)
        until(lambda: topmost(program, pair) == self.window, "the workspace in front")
        self.assertFalse(holds(geometry(program, simulator), STOP))
        # A later program brings the simulator to the front while stop is held; the press
        # stays the workspace's, and stop acts on its release. (Play's transfer has ended
        # with its overlay, so the link takes the stop.)
        self.pointer.press(*STOP)
        self.hand_over(bench, self.KIB_LED_ON)
        until(lambda: topmost(program, pair) == simulator, "the simulator in front")
        self.pointer.release()
        until(led(self.DARK), "stop, released after the raise, to darken the LED")

        window_test.close_window(self.display.display, simulator)
        until(lambda: len(bench.processes()) == 1, "the simulator to end")
        status, err = self.close_with_work()
        self.assertEqual(status, 0, err)
        self.assertEqual(err, "", "the program writes no log")
        until(lambda: not bench.processes(), "every process of the run to end")

    def watch_rows(self, done, what):
        """The lit rows as they change, watched until done(changes); never two at once."""
        changes = []

        def look():
            lit = lit_rows(self.screen("rows.png"))
            self.assertLessEqual(len(lit), 1, "rows %s lit at once" % lit)
            if not changes or changes[-1] != lit:
                changes.append(lit)
            return done(changes)
        until(look, what)
        return changes

    def test_the_row_the_simulator_runs_is_lit_one_at_a_time_and_none_after_stop(self):
        bench = self.open_with_simulator()
        laid = (("LED on", 0), ("Wait 1 second", 1), ("LED off", 2), ("Wait 1 second", 3))
        for card, row in laid:
            self.pointer.tear_off(card, 0, row)
        # Watched from the press on: the first wait runs while the transfer still ends.
        self.pointer.click(*PLAY)
        changes = self.watch_rows(lambda seen: [3] in seen and seen[-1] == [],
                                  "rows 20 and 40 lit in turn, then none")
        lit = [rows[0] for rows in changes if rows]
        self.assertIn(1, lit, changes)
        self.assertLess(lit.index(1), lit.index(3), changes)
        self.assertTrue(set(lit) <= {0, 1, 2, 3}, changes)

        # Again, stopped while row 40 waits: no row is lit from then on.
        self.press_play(lambda: lit_rows(self.screen("rows.png")) != [])
        self.watch_rows(lambda seen: seen[-1] == [3], "row 40 lit again")
        self.pointer.click(*STOP)
        until(lambda: lit_rows(self.screen("rows.png")) == [], "stop to darken the row")
        deadline = time.monotonic() + 1.5
        while time.monotonic() < deadline:
            self.assertEqual(lit_rows(self.screen("rows.png")), [], "a row lit after stop")
        self.close_simulator(bench)
        status, err = self.close_with_work()
        self.assertEqual(status, 0, err)


class SchoolScreens(EndToEnd):
    """The workspace where it starts on the screens schools have, and play to the
    simulator: it opens wholly on the display and over no pixel of the workspace. Where
    neither side of the workspace has room, the workspace moves to the display's nearer edge
    and the simulator lies beside it."""
    SIZES = ("1366x768", "1600x900", "1920x1080")

    def setUp(self):
        if ARGS.wine_run:
            self.skipTest("the window system's placement is the Linux build's to show")
        # A display of each size of its own, made by the cases.

    def on_screen(self, size, at=None):
        """A display of that size with the workspace on it (where it starts, or at `at`) and
        the simulator opened by play; the display's, workspace's and simulator's rectangles."""
        self.display = VirtualDisplay(size + "x24")
        self.display.__enter__()
        self.addCleanup(self.display.__exit__, None, None, None)
        self.bench = self.open_with_simulator(at=at)
        self.pointer.tear_off("LED on", 0, 0)
        # One press: the workspace may move under the pointer once the simulator opens.
        self.pointer.click(*PLAY)
        simulator = find_window(self.program.env, "Board simulator")
        self.pointer.at = None
        width, height = (int(v) for v in size.split("x"))
        return (0, 0, width, height), simulator

    def settled(self, window):
        """A window's rectangle once it has stood still for a moment."""
        last = [None]

        def still():
            now = geometry(self.program, window)
            same, last[0] = now == last[0], now
            time.sleep(0.2)
            return same
        until(still, "window %d to stand still" % window)
        return last[0]

    def check_apart(self, size, display, simulator):
        work = self.settled(self.window)
        sim = self.settled(simulator)
        self.program.tool("import", "-window", "root",
                          os.path.join(ARGS.out, "e2e-SchoolScreens-%s.png" % size))
        dx, dy, dw, dh = display
        self.assertTrue(dx <= sim[0] and sim[0] + sim[2] <= dx + dw and dy <= sim[1] and
                        sim[1] + sim[3] <= dy + dh, "%s: simulator %s off the display" % (size, sim))
        apart = (sim[0] >= work[0] + work[2] or sim[0] + sim[2] <= work[0] or
                 sim[1] >= work[1] + work[3] or sim[1] + sim[3] <= work[1])
        self.assertTrue(apart, "%s: simulator %s over the workspace %s" % (size, sim, work))
        return work, sim

    def finish_run(self):
        self.close_simulator(self.bench)
        status, err = self.close_with_work()
        self.assertEqual(status, 0, err)

    def test_the_simulator_opens_on_the_display_and_off_the_workspace(self):
        for size in self.SIZES:
            with self.subTest(size):
                display, simulator = self.on_screen(size)
                self.check_apart(size, display, simulator)
                self.finish_run()
                self.display.__exit__(None, None, None)

    def test_a_workspace_with_no_room_beside_it_moves_to_the_nearer_edge(self):
        display, simulator = self.on_screen("1366x768", at=(100, 0))
        work, sim = self.check_apart("1366x768-moved", display, simulator)
        self.assertEqual(work[:2], (0, 0), "the workspace did not move to the left edge")
        self.assertEqual(sim[0], display[2] - sim[2], "the simulator is not at the far edge")
        self.finish_run()


def main():
    global ARGS
    parser = argparse.ArgumentParser()
    parser.add_argument("--program", required=True)
    parser.add_argument("--simulator", required=True)
    parser.add_argument("--out", required=True)
    parser.add_argument("--wine-run")
    parser.add_argument("--dlls")
    parser.add_argument("--tool-standin")
    ARGS, rest = parser.parse_known_args()
    os.makedirs(ARGS.out, exist_ok=True)
    window_test.ARGS = ARGS
    if ARGS.wine_run:
        # A wine program started right after another one's end may take long to show.
        window_test.WAIT_S = 60
    return run_cases(rest or ["TransferTool", "Endings", "ToolAnswer", "PortChooser",
                              "BoardSimulator", "SchoolScreens"],
                     sys.modules[__name__])


if __name__ == "__main__":
    sys.exit(main())
