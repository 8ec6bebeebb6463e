#!/usr/bin/env python3
"""The board simulator's real window on a private Xvfb: a program on the first instance's
standard input lights the LED, the window stays after that input ends, and closing it ends
the program and removes its socket; SIGTERM ends a window busy with a program that never
lets go, shown or unmapped from outside. With --wine-run, the Windows build under wine, where the
instances meet through a named pipe of the test's own instead.

Usage: simulator_window_test.py --program BOARD_SIMULATOR --out DIR
                                [--wine-run WINE_RUN --dlls DIR]
Exits 77 when no virtual display can be started."""

import argparse
import os
import select
import signal
import subprocess
import sys
import tempfile
import time
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "app"))
import window_test  # noqa: E402
from window_test import Screen, close_window, find_window, run_cases  # noqa: E402
from xvfb_run import VirtualDisplay, die_with_parent, stop  # noqa: E402

WAIT_S = 30
ARGS = None
# The middle of the LED, in window pixels (the window is drawn one to one).
LED = (55, 140)
LIT = (255, 64, 64)

KIB_LED_ON = b"NEW\r\n10 LED 1\r\nSAVE 0\r\nRUN\r\n"
# Fed by hand: RUN inside itself over thousands of lines near the longest the board takes,
# as much as one transfer holds; the LED lights once it runs.
KIB_RUN_IN_ITSELF = b"\r\n".join(
    [b"NEW", b"1 LED 1:GOTO 30000"]
    + [b"%d %s" % (n, b"LED 1:LED 0:" * 15) for n in range(2, 5001)]
    + [b"30000 RUN", b"RUN", b""])
# What a user would call prompt; the bound leaves room for a loaded machine.
QUIT_BOUND_S = 3.0


class SimulatorWindow(unittest.TestCase):
    def setUp(self):
        try:
            self.display = VirtualDisplay().__enter__()
        except (OSError, RuntimeError) as error:
            raise unittest.SkipTest("no virtual display: %s" % error)
        self.addCleanup(self.display.__exit__, None, None, None)
        runtime = tempfile.TemporaryDirectory()
        self.addCleanup(runtime.cleanup)
        self.env = dict(os.environ, DISPLAY=self.display.display, XDG_RUNTIME_DIR=runtime.name,
                        ZC_BOARD_SIMULATOR_HANDOFF="zc-window-test-%d" % os.getpid())
        # Where the window of this display listens.
        display = "".join(c if c.isalnum() or c in ".-" else "_" for c in self.display.display)
        self.socket = os.path.join(runtime.name, "zundle-board-simulator-%s.sock" % display)

    def expect_led(self, window, colour, name):
        path = os.path.join(ARGS.out, name)
        deadline = time.monotonic() + WAIT_S
        while True:
            subprocess.run(["import", "-window", str(window), path], env=self.env, check=True,
                           timeout=WAIT_S)
            if Screen(path).pixel(*LED) == colour:
                return
            self.assertLess(time.monotonic(), deadline, "the LED did not become %s" % (colour,))
            time.sleep(0.1)

    def first_instance(self, data, led_picture):
        """The instance that opens the window, its input ended after `data`; and its window
        once the LED is lit."""
        first = subprocess.Popen(ARGS.command, env=self.env, stdin=subprocess.PIPE,
                                 stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                                 preexec_fn=die_with_parent)
        self.addCleanup(stop, first)
        first.stdin.write(data)
        first.stdin.close()
        first.stdin = None  # communicate() later must not touch it again
        window = find_window(self.env, "Board simulator")
        self.expect_led(window, LIT, led_picture)
        self.assertIsNone(first.poll(), "the window stays after its input ends")
        return first, window

    def test_the_window_prints_the_answers_to_its_own_input_then_closes_its_output(self):
        first, _ = self.first_instance(b"NEW\r\n10 LED 1\r\n20 FROB\r\nRUN\r\n",
                                       "simulator-answers.png")
        answers = b"Syntax error in 20\n"
        printed = b""
        deadline = time.monotonic() + WAIT_S
        while time.monotonic() < deadline:
            ready, _, _ = select.select([first.stdout], [], [], 0.1)
            if ready:
                chunk = os.read(first.stdout.fileno(), 4096)
                if not chunk:
                    break
                printed += chunk
            # Wine keeps the output a Linux parent gave it open as long as the process runs,
            # whatever the program closes: there the answers themselves are the end.
            if ARGS.wine_run and printed == answers:
                break
        else:
            self.fail("the window kept its output open after the answers: %r" % printed)
        self.assertEqual(printed, answers)
        self.assertIsNone(first.poll(), "the window stays after its answers")

    def test_closing_or_sigterm_ends_the_window_and_removes_its_socket(self):
        # A later instance's hand-off and the stop meet this window in the end-to-end runs;
        # what they cannot see is what the window leaves behind. SIGTERM meets a busy one.
        for how in ("close", "sigterm", "sigterm unmapped")[:1 if ARGS.wine_run else 3]:
            with self.subTest(how):
                first, window = self.first_instance(
                    KIB_LED_ON if how == "close" else KIB_RUN_IN_ITSELF, "simulator-%s.png" % how.replace(" ", "-"))
                # Under wine the pipe is out of sight; the system removes it with its last handle.
                self.assertEqual(os.path.exists(self.socket), not ARGS.wine_run)
                if how == "sigterm unmapped":
                    subprocess.run(["xdotool", "windowunmap", "--sync", str(window)],
                                   env=self.env, check=True, timeout=WAIT_S)
                start = time.monotonic()
                if how == "close":
                    close_window(self.display.display, window)
                else:
                    first.send_signal(signal.SIGTERM)
                _, err = first.communicate(timeout=WAIT_S)
                self.assertEqual(first.returncode, 0, err)
                self.assertLess(time.monotonic() - start, QUIT_BOUND_S if how != "close" else WAIT_S)
                self.assertFalse(os.path.exists(self.socket), "the socket goes with the window")


def main():
    global ARGS
    parser = argparse.ArgumentParser()
    parser.add_argument("--program", required=True)
    parser.add_argument("--out", required=True)
    parser.add_argument("--wine-run")
    parser.add_argument("--dlls")
    ARGS, rest = parser.parse_known_args()
    ARGS.command = [ARGS.program]
    if ARGS.wine_run:
        ARGS.command = [ARGS.wine_run, ARGS.dlls, ARGS.program]
        # wine's own start, and a prefix's first, take longer than a native program's.
        global WAIT_S
        WAIT_S = window_test.WAIT_S = 90
    os.makedirs(ARGS.out, exist_ok=True)
    return run_cases(rest or ["SimulatorWindow"], sys.modules[__name__])


if __name__ == "__main__":
    sys.exit(main())
