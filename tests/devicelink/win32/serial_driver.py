#!/usr/bin/env python3
"""Serial path of the Windows link under wine, against a real endpoint.

A pseudo-terminal stands in for a board: its port side is mapped to COM7 of a private
wine prefix (dosdevices/com7 -> /dev/pts/N), zc_serial_sender.exe sends a known program
to COM7 through the link, and the board side is read here with timestamps. Checks the
bytes exactly, the line settings the link left on the port, the pauses (as the sender
measured them: never shorter than asked, not far longer) and how refusals and a port
that goes away are reported. A port held by another program cannot be staged: wine
does not refuse a second open of a serial port. Exit status 0 when every check held.
"""

import argparse
import os
import select
import subprocess
import sys
import termios
import threading
import time

# Kept in step with SerialSender.cpp.
SEND_CHUNKS = [("\x1b", 20), ("10 LED 1\n", 30), ("\x04\r\nA\0B", 0), ("20 WAIT 5\n", 3),
               ("30 GOTO 10\n", 60), ("RUN\n", 15)]
LONG_CHUNKS = [("%d WAIT 1\n" % line, 50) for line in range(10, 401, 10)]
# TransferFailure::Kind, in its order.
KINDS = ["None", "PortMissing", "PortBusy", "NoPermission", "SettingsRefused", "PortVanished",
         "PortStalled", "ToolMissing", "ToolNotStarted", "ToolEndedEarly", "ToolStalled"]

failures = []


def check(condition, what):
    print(("ok    " if condition else "FAIL  ") + what, flush=True)
    if not condition:
        failures.append(what)


class Board:
    """A pseudo-terminal pair; the port side is also kept open here, as a board's port
    stays there while no program has it open."""

    def __init__(self):
        self.master, self.keeper = os.openpty()
        self.name = os.ttyname(self.keeper)
        self.received = bytearray()
        self.arrivals = []  # (end offset, time)
        self._stop = False
        self._hang_up_after = None
        self._thread = None

    def start(self, expected, hang_up_after=None, limit=30.0):
        self._hang_up_after = hang_up_after
        self._thread = threading.Thread(target=self._read, args=(expected, limit))
        self._thread.start()

    def _read(self, expected, limit):
        deadline = time.monotonic() + limit
        while len(self.received) < expected and time.monotonic() < deadline and not self._stop:
            ready, _, _ = select.select([self.master], [], [], 0.05)
            if not ready:
                continue
            try:
                piece = os.read(self.master, 4096)
            except OSError:
                break
            if not piece:
                break
            self.received += piece
            self.arrivals.append((len(self.received), time.monotonic()))
            if self._hang_up_after is not None and len(self.received) >= self._hang_up_after:
                self.hang_up()
                break

    def hang_up(self):
        for fd in (self.master, self.keeper):
            try:
                os.close(fd)
            except OSError:
                pass
        self.master = self.keeper = -1

    def join(self):
        self._stop = True
        if self._thread:
            self._thread.join()

    def close(self):
        self.join()
        self.hang_up()


def map_port(prefix, com, target):
    link = os.path.join(prefix, "dosdevices", com)
    if os.path.lexists(link):
        os.remove(link)
    if target:
        os.symlink(target, link)


def wine_environment(args):
    env = dict(os.environ, WINEPREFIX=args.prefix, WINEDEBUG="-all",
               WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d")
    if args.dlls:
        env["WINEPATH"] = "Z:" + args.dlls
    return env


def run_sender(args, port, mode):
    env = wine_environment(args)
    started = time.monotonic()
    done = subprocess.run([args.wine, args.sender, port, mode], env=env, capture_output=True,
                          text=True, timeout=180)
    sent, finished, result = [], None, None
    for line in done.stdout.splitlines():
        words = line.split(" ", 3)
        if words[0] == "sent":
            sent.append(float(words[2]))
        elif words[0] == "finished":
            finished = float(words[1])
        elif words[0] == "result":
            result = (words[1] == "1", KINDS[int(words[2])], words[3] if len(words) > 3 else "")
    print("      sender ran %.1f s, said: %s" % (time.monotonic() - started,
                                                 result[2] if result else done.stdout.strip()))
    if done.returncode != 0 or result is None:
        print(done.stderr[-2000:])
    return sent, finished, result


def check_pauses(chunks, sent, finished):
    """Lower bound exact, upper bound as a ratio, measured where the pauses are made."""
    if len(sent) != len(chunks) or finished is None:
        check(False, "every chunk was reported sent")
        return
    ends = sent[1:] + [finished]
    paused, intended = 0.0, 0
    for i, (chunk, end) in enumerate(zip(chunks, ends)):
        gap = end - sent[i]
        check(gap >= chunk[1], "pause after chunk %d: %.2f ms >= %d ms" % (i, gap, chunk[1]))
        paused += gap
        intended += chunk[1]
    check(paused < 3.0 * intended, "pauses together %.1f ms < 3 x %d ms" % (paused, intended))


def scenario_send(args):
    board = Board()
    map_port(args.prefix, "com7", board.name)
    expected = "".join(text for text, _ in SEND_CHUNKS).encode("latin-1")
    board.start(len(expected))
    sent, finished, result = run_sender(args, "COM7", "send")
    board.join()
    settings = termios.tcgetattr(board.keeper)
    board.close()
    check(result is not None and result[0], "transfer reported success")
    check(bytes(board.received) == expected,
          "board got exactly the chunk bytes: %r" % bytes(board.received))
    iflag, oflag, cflag, lflag, ispeed, ospeed, _ = settings
    check(ispeed == termios.B115200 and ospeed == termios.B115200, "115200 baud")
    check(cflag & termios.CSIZE == termios.CS8, "8 data bits")
    check(cflag & (termios.PARENB | termios.CSTOPB) == 0, "no parity, one stop bit")
    check(oflag & termios.OPOST == 0, "output unprocessed (no line-end translation)")
    check_pauses(SEND_CHUNKS, sent, finished)


def scenario_vanish(args):
    board = Board()
    map_port(args.prefix, "com7", board.name)
    # Hung up once the first lines are through, while the link still has lines to send.
    board.start(10 ** 6, hang_up_after=30)
    _, _, result = run_sender(args, "COM7", "long")
    board.close()
    check(result is not None and not result[0] and result[1] == "PortVanished",
          "port that went away mid-transfer reported as gone: %r" % (result,))


def scenario_refused(args):
    map_port(args.prefix, "com8", "/dev/null")
    _, _, result = run_sender(args, "COM8", "send")
    check(result is not None and result[1] == "SettingsRefused",
          "device that is no serial port refused: %r" % (result,))
    map_port(args.prefix, "com9", None)
    _, _, result = run_sender(args, "COM9", "send")
    check(result is not None and result[1] == "PortMissing",
          "port that is not there reported missing: %r" % (result,))


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--sender", required=True)
    parser.add_argument("--prefix", required=True)
    parser.add_argument("--dlls", default="", help="folder of the DLLs the sender needs")
    parser.add_argument("--wine", default="/usr/lib/wine/wine64")
    parser.add_argument("--only", default="")
    args = parser.parse_args()
    if not os.path.exists(os.path.join(args.prefix, "system.reg")):
        subprocess.run([args.wine, "wineboot", "-i"], env=wine_environment(args),
                       capture_output=True, timeout=600)
    for scenario in (scenario_send, scenario_refused, scenario_vanish):
        if args.only and args.only not in scenario.__name__:
            continue
        print("-- " + scenario.__name__, flush=True)
        scenario(args)
    print("%d check(s) failed" % len(failures) if failures else "all checks held")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
