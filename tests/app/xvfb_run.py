#!/usr/bin/env python3
"""Runs a command on a private virtual display: starts Xvfb on a free display number
(Xvfb picks it and reports it through -displayfd), runs the command with DISPLAY set,
then stops Xvfb and waits for it, so no server or zombie is left behind.

Usage: xvfb_run.py [--screen WxHxD] command [args...]
The command's exit status is returned; 77 if no display could be started."""

import ctypes
import os
import select
import signal
import subprocess
import sys

START_TIMEOUT_S = 20
PR_SET_PDEATHSIG = 1


def die_with_parent():
    """Runs in the child before exec: if this driver is killed outright (a CTest time-out),
    the kernel stops the child too instead of leaving it running."""
    libc = ctypes.CDLL(None, use_errno=True)
    libc.prctl(PR_SET_PDEATHSIG, signal.SIGTERM)


def stop(process, grace_s=10):
    """Ends a child and reaps it."""
    if process.poll() is not None:
        return
    process.terminate()
    try:
        process.wait(timeout=grace_s)
    except subprocess.TimeoutExpired:
        process.kill()
        process.wait()


class Stopped(Exception):
    """Raised by the signal handler so that the clean-up below runs."""


def raise_stopped(*_):
    raise Stopped()


class VirtualDisplay:
    """One Xvfb server for the life of a `with` block."""

    def __init__(self, screen="1280x1024x24"):
        self.screen = screen
        self.process = None
        self.display = None

    def __enter__(self):
        read_end, write_end = os.pipe()
        try:
            self.process = subprocess.Popen(
                ["Xvfb", "-displayfd", str(write_end), "-screen", "0", self.screen,
                 "-nolisten", "tcp", "-noreset"],
                pass_fds=(write_end,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                preexec_fn=die_with_parent)
        finally:
            os.close(write_end)
        number = self._read_display_number(read_end)
        os.close(read_end)
        if number is None:
            self.__exit__(None, None, None)
            raise RuntimeError("Xvfb did not report a display")
        self.display = ":" + number
        return self

    def _read_display_number(self, fd):
        data = b""
        while not data.endswith(b"\n"):
            ready, _, _ = select.select([fd], [], [], START_TIMEOUT_S)
            if not ready:
                return None
            chunk = os.read(fd, 64)
            if not chunk:
                return None
            data += chunk
        return data.decode().strip() or None

    def __exit__(self, *exc):
        if self.process is not None:
            stop(self.process)
        return False


def on_display(work):
    """work(display_name) on $DISPLAY, or on a private Xvfb when that is unset."""
    if os.environ.get("DISPLAY"):
        return work(os.environ["DISPLAY"])
    with VirtualDisplay() as display:
        return work(display.display)


def main(argv):
    screen = "1280x1024x24"
    if len(argv) > 2 and argv[1] == "--screen":
        screen = argv[2]
        argv = argv[2:]
    if len(argv) < 2:
        print(__doc__, file=sys.stderr)
        return 2
    display = VirtualDisplay(screen)
    try:
        display.__enter__()
    except (OSError, RuntimeError) as error:
        print("xvfb_run: cannot start a virtual display: %s" % error, file=sys.stderr)
        return 77
    child = None
    try:
        for signum in (signal.SIGTERM, signal.SIGINT, signal.SIGHUP):
            signal.signal(signum, raise_stopped)
        env = dict(os.environ, DISPLAY=display.display)
        child = subprocess.Popen(argv[1:], env=env, preexec_fn=die_with_parent)
        return child.wait()
    except Stopped:
        return 130
    finally:
        if child is not None:
            stop(child)
        display.__exit__(None, None, None)


if __name__ == "__main__":
    sys.exit(main(sys.argv))
