#!/usr/bin/env python3
"""Serial path of the Windows link under wine, against a real endpoint.

A pseudo-terminal stands in for a board: its port side is mapped to a COM port of a
private wine prefix (dosdevices/com7 -> /dev/pts/N), zc_serial_sender.exe sends a known
program to it through the link, and the board side is read here. Checks the bytes exactly,
the line settings the link left on the port, the pauses as the sender measured them, and
how a port that is no serial port, is not there or goes away is reported. A port held by
another program cannot be staged: wine does not refuse a second open. Exit status 0 when
every check held.
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
failures = []


def check(condition, what):
    print(("ok    " if condition else "FAIL  ") + what, flush=True)
    if not condition:
        failures.append(what)



def close_pair(*fds):
    """Closes both sides of a pseudo-terminal pair, whichever is still open."""
    for fd in fds:
        try:
            os.close(fd)
        except OSError:
            pass

class Board(threading.Thread):
    """Reads the board side of a pseudo-terminal until `expected` bytes arrived, or hangs up
    once `hang_up_after` have. The port side stays open here, as a board's port stays."""

    def __init__(self, expected, hang_up_after=None):
        super().__init__()
        self.master, self.keeper = os.openpty()
        self.name = os.ttyname(self.keeper)
        self.expected, self.hang_up_after = expected, hang_up_after
        self.received = b""
        self.start()

    def run(self):
        deadline = time.monotonic() + 30
        while len(self.received) < self.expected and time.monotonic() < deadline:
            if select.select([self.master], [], [], 0.05)[0]:
                piece = os.read(self.master, 4096)
                self.received += piece
                if not piece or len(self.received) >= (self.hang_up_after or self.expected + 1):
                    break
        if self.hang_up_after:
            self.close()

    def close(self):
        close_pair(self.master, self.keeper)


class AnsweringBoard(threading.Thread):
    """Echoes what arrives, answers each line after RUN with an error naming line 10, and
    says one more line a second later, while the link listens."""

    def __init__(self):
        super().__init__()
        self.master, self.keeper = os.openpty()
        self.name = os.ttyname(self.keeper)
        self.start()

    def run(self):
        received = b""
        deadline = time.monotonic() + 30
        while b"RUN\r\n" not in received and time.monotonic() < deadline:
            if select.select([self.master], [], [], 0.05)[0]:
                piece = os.read(self.master, 4096)
                if not piece:
                    return
                received += piece
                os.write(self.master, piece)
        os.write(self.master, b"Syntax error in 10\r\n")
        time.sleep(1)
        os.write(self.master, b"late\r\n")

    def close(self):
        close_pair(self.master, self.keeper)


def run_sender(args, com, target, mode):
    """Maps the COM port to `target` (None: not there) and sends; (sent times, result)."""
    link = os.path.join(args.prefix, "dosdevices", com.lower())
    if os.path.lexists(link):
        os.remove(link)
    if target:
        os.symlink(target, link)
    done = subprocess.run([args.wine, args.sender, com, mode], env=wine_environment(args),
                          capture_output=True, text=True, timeout=180)
    run_sender.last_output = done.stdout
    lines = [line.split(" ", 3) for line in done.stdout.splitlines()]
    sent = [float(words[2]) for words in lines if words[0] == "sent"]
    sent += [float(words[1]) for words in lines if words[0] == "finished"]
    result = [words[1:] for words in lines if words[0] == "result"]
    print("      sender said: %s" % (result or done.stderr[-2000:]))
    return sent, (result[0] + [""])[:3] if result else [None, None, None]


def wine_environment(args):
    return dict(os.environ, WINEPREFIX=args.prefix, WINEDEBUG="-all", WINEPATH="Z:" + args.dlls,
                WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--sender", required=True)
    parser.add_argument("--prefix", required=True)
    parser.add_argument("--dlls", default="", help="folder of the DLLs the sender needs")
    parser.add_argument("--wine", default="/usr/lib/wine/wine64")
    args = parser.parse_args()
    if not os.path.exists(os.path.join(args.prefix, "system.reg")):
        subprocess.run([args.wine, "wineboot", "-i"], env=wine_environment(args),
                       capture_output=True, timeout=600)

    expected = "".join(text for text, _ in SEND_CHUNKS).encode("latin-1")
    board = Board(len(expected))
    sent, result = run_sender(args, "COM7", board.name, "send")
    board.join()
    _, oflag, cflag, _, ispeed, ospeed, _ = termios.tcgetattr(board.keeper)
    board.close()
    check(result[0] == "1", "transfer reported success")
    check(board.received == expected, "board got exactly the chunk bytes: %r" % board.received)
    check(ispeed == ospeed == termios.B115200, "115200 baud")
    check(cflag & (termios.CSIZE | termios.PARENB | termios.CSTOPB) == termios.CS8, "8N1")
    check(oflag & termios.OPOST == 0, "output unprocessed (no line-end translation)")
    # Measured where the pauses are made: never shorter, together not far longer.
    gaps = [b - a for a, b in zip(sent, sent[1:])]
    check(len(gaps) == len(SEND_CHUNKS) and all(g >= w for g, (_, w) in zip(gaps, SEND_CHUNKS))
          and sum(gaps) < 3 * sum(w for _, w in SEND_CHUNKS), "pauses: %r" % gaps)

    for com, target, kind in (("COM8", "/dev/null", "4"), ("COM9", None, "1")):
        check(run_sender(args, com, target, "send")[1][1] == kind,
              "%s refused as kind %s" % (target, kind))
    # Hung up once the first lines are through, while the link still has lines to send.
    board = Board(10 ** 6, hang_up_after=30)
    result = run_sender(args, "COM7", board.name, "long")[1]
    board.join()
    check(result[:2] == ["0", "5"], "port that went away mid-transfer reported as gone")
    # The port is read while sending and after it: the echo, the error, and a late line.
    board = AnsweringBoard()
    result = run_sender(args, "COM7", board.name, "listen")[1]
    board.join()
    board.close()
    heard = [line[len("heard "):] for line in run_sender.last_output.splitlines()
             if line.startswith("heard ")]
    check(result[0] == "1", "listening transfer reported success")
    check(heard == ["10 LED 1\\r\\nRUN\\r\\nSyntax error in 10\\r\\nlate\\r\\n"],
          "echo, error and late line heard through the open port: %r" % heard)
    check("listened 0" in run_sender.last_output, "listening ended when told, not by a failure")
    print("%d check(s) failed" % len(failures) if failures else "all checks held")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
