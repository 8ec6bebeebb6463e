#!/usr/bin/env python3
"""Opens and closes windows many times under load and counts the failures; not part of
the default suite (a chance failure shows only over hundreds of runs).

Usage: window_stress.py --build DIR [--cycles 300] [--runs 30] [--load 2]
  --cycles  open-and-close cycles, alternating the program and the window probe: each
            must show its window, close on WM_DELETE_WINDOW, end with status 0 and print
            nothing
  --runs    runs of the window tests (`ctest -L window` in DIR)
  --load    busy processes kept running meanwhile, one per core by default
Exits 1 if anything failed."""

import argparse
import os
import subprocess
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import window_test  # noqa: E402
from window_test import Program  # noqa: E402
from xvfb_run import VirtualDisplay, die_with_parent, stop  # noqa: E402


def busy_loops(count):
    return [subprocess.Popen([sys.executable, "-c", "while True: pass"],
                             preexec_fn=die_with_parent) for _ in range(count)]


def one_cycle(display, argv, title):
    """None when the window opened and closed cleanly, else what went wrong."""
    program = Program(display, argv)
    try:
        window = program.wait_for_window(title)
        status, err = program.close(window)
    except Exception as error:  # every way of failing counts, and the loop goes on
        program.kill()
        return "%s: %s" % (type(error).__name__, str(error).strip()[:300])
    if status != 0 or err:
        return "status %d, printed %r" % (status, err[:300])
    return None


def close_cycles(build, count):
    program = os.path.join(build, "app", "zundlecards")
    probe = os.path.join(build, "tests", "app", "window_probe")
    kinds = [([program], "ZundleApps"), ([probe, "letterbox", "1200", "600"], "WindowProbe")]
    failures = []
    with VirtualDisplay() as display:
        for cycle in range(count):
            argv, title = kinds[cycle % 2]
            problem = one_cycle(display, argv, title)
            if problem:
                failures.append(problem)
                print("cycle %d (%s): %s" % (cycle, title, problem), flush=True)
    return failures


def test_runs(build, count):
    failed = 0
    for run in range(count):
        result = subprocess.run(["ctest", "--test-dir", build, "-L", "window",
                                 "--output-on-failure"], stdout=subprocess.PIPE,
                                stderr=subprocess.STDOUT, universal_newlines=True)
        if result.returncode != 0:
            failed += 1
            print("window tests, run %d failed:\n%s" % (run, result.stdout[-3000:]), flush=True)
    return failed


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--build", required=True)
    parser.add_argument("--cycles", type=int, default=300)
    parser.add_argument("--runs", type=int, default=30)
    parser.add_argument("--load", type=int, default=os.cpu_count() or 2)
    args = parser.parse_args()
    build = os.path.abspath(args.build)
    window_test.ARGS = argparse.Namespace(out=os.path.join(build, "stress-screenshots"))
    load = busy_loops(args.load)
    started = time.monotonic()
    try:
        cycle_failures = close_cycles(build, args.cycles)
        run_failures = test_runs(build, args.runs)
    finally:
        for process in load:
            stop(process)
    print("close cycles: %d failed of %d; window test runs: %d failed of %d; "
          "%d busy processes; %.0f s" % (len(cycle_failures), args.cycles, run_failures,
                                         args.runs, args.load, time.monotonic() - started))
    return 1 if cycle_failures or run_failures else 0


if __name__ == "__main__":
    sys.exit(main())
