#!/usr/bin/env python3
"""End-to-end test of morel_xy_host inside a real browser, Chromium or Firefox (see harness.py
for what a run does and checks).

Usage: run_e2e.py --browser chromium|firefox --host PATH --install-script PATH
                  [--scale 1|2] [--timeout SECONDS] [--keep]
"""
import argparse
import sys

import harness
from chromium import Chromium
from firefox import Firefox

BROWSERS = {"chromium": Chromium, "firefox": Firefox}


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--browser", choices=sorted(BROWSERS), default="chromium")
    parser.add_argument("--host", required=True)
    parser.add_argument("--host-version", required=True,
                        help="the version the host must report (the build's)")
    parser.add_argument("--install-script", required=True)
    parser.add_argument("--timeout", type=float, default=150)
    parser.add_argument("--keep", action="store_true", help="keep the temporary folder")
    parser.add_argument("--scale", type=int, default=1, choices=[1, 2],
                        help="desktop scale (Xft.dpi / 96): pixels per point")
    args = parser.parse_args()
    return harness.run(BROWSERS[args.browser](), args.host, args.host_version,
                       args.install_script, args.scale, args.timeout, args.keep)


if __name__ == "__main__":
    sys.exit(main())
