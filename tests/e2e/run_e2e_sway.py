#!/usr/bin/env python3
"""End-to-end test of morel_xy_host in a real Chromium under a private headless sway.

The harness's run (the same extension and checks as run_e2e.py, which runs the browsers on
Xvfb), with Chromium either native on Wayland (--ozone-platform=wayland, served by the wlroots
desktop) or an X client of sway's Xwayland (--ozone-platform=x11, served by the X11 desktop).
A page on Wayland cannot know where its window is, so the extension is told (config.json) to
take the window's corner from the host; this script checks that place, the displays and the
scale against sway's own answers (swaymsg -t get_tree / get_outputs).

Usage: run_e2e_sway.py --host PATH --install-script PATH
           [--platform wayland|x11] [--scale 1|2] [--second-output] [--timeout S] [--keep]
"""
import argparse
import os
import shutil
import struct
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(os.path.dirname(HERE), "wayland"))
import harness  # noqa: E402
from chromium import Chromium  # noqa: E402
from harness import Failure, log  # noqa: E402
from sway_session import SwayError, SwaySession  # noqa: E402


class SwayBrowserSession(harness.Session):
    """The harness's session (profile, manifests, processes ended by pid) on a sway: its
    clients get sway's Wayland display, and its Xwayland display where there is one."""

    def __init__(self, keep, sway):
        super().__init__(keep)
        self.sway = sway

    def env(self, **extra):
        env = self.sway.env(super().env())
        if self.display:
            env["DISPLAY"] = self.display
        env.update(extra)
        return env


class SwayChromium(Chromium):
    """Chromium on sway's Wayland display or its Xwayland; the window is sway's to place."""

    def __init__(self, platform, extension):
        self.platform = platform
        self.extension = extension

    def start(self, session, program, scale):
        # The scale is the output's: sway sets it, and Chromium follows.
        self.launch(session, program, [f"--ozone-platform={self.platform}"])


def browser_view(sway):
    """The focused Chromium window in sway's tree (a Wayland app id or an X class), and the
    output it is on."""
    found = []

    def walk(node, output):
        if node.get("type") == "output":
            output = node
        if node.get("pid") and node.get("focused"):
            ident = (node.get("app_id") or
                     (node.get("window_properties") or {}).get("class") or "")
            if ident.lower().startswith("chromium"):
                found.append((node, output))
        for child in node.get("nodes", []) + node.get("floating_nodes", []):
            walk(child, output)

    walk(sway.ipc("get_tree"), None)
    if not found:
        raise Failure("no focused Chromium window in sway's tree")
    return found[0]


def sway_side_checks(session, browser, reports, bin_dir):
    """The host's window, displays, scale and capture against sway's answers."""
    sway = session.sway
    data = {r["name"]: r["value"] for r in reports if r.get("type") == "data"}
    results = []

    def check(name, ok, detail=""):
        results.append((name, bool(ok), detail))

    view, output = browser_view(sway)
    outputs = [o for o in sway.ipc("get_outputs") if o.get("active")]
    main = next((o for o in outputs if o["rect"]["x"] == 0 and o["rect"]["y"] == 0), outputs[0])
    rect = {k: view["rect"][k] - (main["rect"][k] if k in ("x", "y") else 0)
            for k in ("x", "y", "width", "height")}
    outer = data.get("get_active_browser_outer_rect")
    check("outer rect equals the window's rect in sway's tree", outer == rect,
          f"host {outer}, sway {view['rect']}")

    scale = next(o["scale"] for o in outputs if o["name"] == output["name"])
    host_scale = data.get("get_screen_backing_scale_factor")
    check("scale factor equals the scale of the browser's output",
          isinstance(host_scale, (int, float)) and abs(host_scale - scale) < 1e-9,
          f"host {host_scale}, sway {scale} ({output['name']})")

    displays = data.get("get_display_list")
    ok = isinstance(displays, list) and len(displays) == len(outputs)
    detail = f"host {displays}, sway {[(o['name'], o['rect'], o['scale']) for o in outputs]}"
    if ok:
        main_height = main["rect"]["height"]
        for o in outputs:
            r = o["rect"]
            # Frames in points, origin at the main display's bottom-left corner, y upwards.
            want = {"x": r["x"] - main["rect"]["x"], "width": r["width"], "height": r["height"],
                    "y": main_height - (r["y"] - main["rect"]["y"] + r["height"])}
            match = [d for d in displays if d.get("frame") == want]
            if len(match) != 1:
                ok = False
                detail += f"; no display with frame {want}"
                continue
            d = match[0]
            # Xwayland names its outputs XWAYLAND0, ...; natively the host names sway's.
            named = d.get("name") in (o.get("model"), o["name"]) \
                if browser.platform == "wayland" else bool(d.get("name"))
            ok = ok and d.get("isPrimary") is (o is main) and \
                d.get("backingScaleFactor") == o["scale"] and \
                isinstance(d.get("id"), str) and d["id"].isdigit() and named
    check("display list equals sway's outputs", ok, detail)

    bmp = os.path.join(bin_dir, "screenshot.bmp")
    ok, detail = False, "no screenshot.bmp beside the host"
    if os.path.exists(bmp) and outer:
        with open(bmp, "rb") as f:
            header = f.read(54)
        if len(header) == 54 and header[:2] == b"BM":
            width, height = struct.unpack("<ii", header[18:26])
            want = (round(outer["width"] * scale), round(outer["height"] * scale))
            ok = (width, abs(height)) == want
            detail = f"BMP {width}x{height}, window {want[0]}x{want[1]} pixels"
    check("find_rectangle's capture is the browser window", ok, detail)

    arguments = harness.host_arguments(os.path.join(bin_dir, "morel_xy_host"))
    want = browser.host_arguments(session)
    check("the host runs with chromium's arguments", arguments == [want],
          f"host processes' arguments {arguments}, want [{want}]")
    return results


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--host", required=True)
    parser.add_argument("--host-version", required=True,
                        help="the version the host must report (the build's)")
    parser.add_argument("--install-script", required=True)
    parser.add_argument("--platform", choices=["wayland", "x11"], default="wayland")
    parser.add_argument("--scale", type=int, default=1, choices=[1, 2])
    parser.add_argument("--second-output", action="store_true",
                        help="put the browser on a second output right of the main one")
    parser.add_argument("--timeout", type=float, default=150)
    parser.add_argument("--keep", action="store_true")
    args = parser.parse_args()

    started = time.monotonic()
    sway = session = None
    try:
        if not os.access(args.host, os.X_OK):
            raise Failure(f"the host program {args.host} is missing; build it first")
        program = next((shutil.which(c) for c in Chromium.programs if shutil.which(c)), None)
        if not program:
            raise Failure("missing required program: chromium (run scripts/install-deps)")
        sway = SwaySession(scale=args.scale, xwayland=args.platform == "x11", keep=args.keep)
        sway.start()
        session = SwayBrowserSession(args.keep, sway)
        if args.second_output:
            sway.swaymsg("focus", "output", sway.add_output(1280, 800, scale=args.scale))
        if args.platform == "x11":
            session.display = sway.xwayland_display()
        extension = harness.prepare_extension(session, args.host_version,
                                              positionsFromHost=args.platform == "wayland")
        browser = SwayChromium(args.platform, extension)
        bin_dir, report_path = harness.install_hosts(session, browser, args.install_script,
                                                     args.host)
        browser.start(session, program, args.scale)
        log(f"chromium started on sway ({args.platform}, scale {args.scale}"
            f"{', second output' if args.second_output else ''})")
        reports = harness.wait_for_done(session, report_path, args.timeout)
        if reports is None:
            raise Failure(f"no complete report within {args.timeout:.0f} s\n"
                          f"chromium log tail:\n{harness.log_tail(session.browser_log)}\n"
                          f"sway log tail:\n{sway.log_tail()}")
        failures, passed, reported = harness.judge(session, browser, reports, bin_dir,
                                                   sway_side_checks)
        log(f"{passed} of {reported} extension checks passed, "
            f"{time.monotonic() - started:.1f} s")
        if failures:
            raise Failure("\n  ".join([f"{len(failures)} failure(s):"] + failures))
        log("PASSED")
        return 0
    except (Failure, SwayError) as e:
        log(f"FAILED: {e}")
        return 1
    finally:
        if session:
            session.stop()
        if sway:
            sway.stop()


if __name__ == "__main__":
    sys.exit(main())
