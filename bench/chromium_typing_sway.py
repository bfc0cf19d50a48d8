#!/usr/bin/env python3
"""Typing into a real Chromium under a private headless sway: the built host's "send_text"
into a text field, with Chromium native on Wayland (the wlroots desktop) or an X client of
sway's Xwayland (the X11 desktop). The same texts, page and figures as chromium_typing.py,
which does it on Xvfb; the page's title is read from sway's window tree.

Usage: chromium_typing_sway.py --host PATH [--platform wayland|x11] [--runs N]
"""
import argparse
import os
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
sys.path.insert(0, os.path.join(os.path.dirname(HERE), "tests", "wayland"))
import chromium_typing  # noqa: E402
from sway_session import SwaySession  # noqa: E402


class SwayBench(chromium_typing.Bench):
    def __init__(self, platform):
        super().__init__()
        self.platform = platform
        # A folder of its own: sway's user must reach into it, and not into ours.
        self.sway = SwaySession(xwayland=platform == "x11")

    def env(self):
        env = self.sway.env(super().env())
        if self.platform == "x11":
            env["DISPLAY"] = self.display
        else:
            env.pop("DISPLAY", None)
        return env

    def start_desktop(self):
        self.sway.start()
        if self.platform == "x11":
            self.display = self.sway.xwayland_display()

    def start_chromium(self):
        # A browser window, not an app window: Wayland app windows carry app ids of their
        # own, which name no browser.
        self.launch_chromium([f"--ozone-platform={self.platform}", "--test-type",
                              "file://{page}"])
        self.wait_for(lambda: self.title() == "0:", "Chromium")

    def title(self):
        def walk(node):
            if node.get("pid") and node.get("focused"):
                name = node.get("name") or ""
                return name[:-len(" - Chromium")] if name.endswith(" - Chromium") else name
            for child in node.get("nodes", []) + node.get("floating_nodes", []):
                found = walk(child)
                if found is not None:
                    return found
            return None
        try:
            return walk(self.sway.ipc("get_tree")) or ""
        except Exception:
            return ""

    def stop(self):
        super().stop()
        self.sway.stop()


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--host", required=True)
    parser.add_argument("--platform", choices=["wayland", "x11"], default="wayland")
    parser.add_argument("--runs", type=int, default=3)
    args = parser.parse_args()
    bench = SwayBench(args.platform)
    try:
        bench.start_desktop()
        bench.start_chromium()
        chromium_typing.run(bench, args.host, args.runs,
                            "sway" if args.platform == "wayland" else "xwayland")
    finally:
        bench.stop()


if __name__ == "__main__":
    main()
