#!/usr/bin/env python3
"""Runs a test program against a private headless sway set up for one scenario.

  scale1       one 1600x1000 output at scale 1
  scale2       the same output at scale 2 (3200x2000 pixels)
  scale1.5     the same output at scale 1.5 (2400x1500 pixels)
  two_outputs  a 1600x1000 output and an 800x600 one at scale 2 to its right
  lost         one output; the tests end sway themselves
  xwayland     one output at scale 1, with Xwayland (DISPLAY given too)

The program gets WAYLAND_DISPLAY, XDG_RUNTIME_DIR and SWAYSOCK of that sway; its exit status
is this script's. Usage: run_sway_tests.py --scenario NAME [--keep] -- PROGRAM [ARGS...]
"""
import argparse
import os
import subprocess
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from sway_session import SwayError, SwaySession  # noqa: E402

SCENARIOS = {
    "scale1": dict(scale=1),
    "scale2": dict(scale=2),
    "scale1.5": dict(scale=1.5),
    "two_outputs": dict(scale=1),
    "lost": dict(scale=1),
    "xwayland": dict(scale=1, xwayland=True),
}


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--scenario", required=True, choices=sorted(SCENARIOS))
    parser.add_argument("--keep", action="store_true", help="keep sway's folder and log")
    parser.add_argument("program", nargs=argparse.REMAINDER)
    args = parser.parse_args()
    program = args.program[1:] if args.program[:1] == ["--"] else args.program
    if not program:
        parser.error("no program to run")
    session = SwaySession(keep=args.keep, **SCENARIOS[args.scenario])
    try:
        session.start()
        if args.scenario == "two_outputs":
            session.add_output(800, 600, scale=2)
        env = session.env()
        if args.scenario == "xwayland":
            env["DISPLAY"] = session.xwayland_display()
        result = subprocess.run(program, env=env, timeout=600)
        if result.returncode != 0:
            print(f"sway log:\n{session.log_tail()}", flush=True)
        return result.returncode
    except SwayError as e:
        print(f"run_sway_tests: {e}", file=sys.stderr)
        return 1
    finally:
        session.stop()


if __name__ == "__main__":
    sys.exit(main())
