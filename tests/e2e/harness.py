"""What the end-to-end runs share, whichever browser they start.

A run starts a private Xvfb with openbox, installs the host and the reporter (a second native
host that appends the test extension's messages to a file) for the test extension, starts the
browser with the extension loaded, and waits for the extension's reports. The extension checks
from inside the page what the host did (clicks, keys, wheel, rectangles); this module checks
what only the X server knows (the window's real frame, the monitors, the scale, the capture
file) and fails on any failed, missing or unreported check.

A browser is an object with:
  name                    short name, for messages and the log file
  wm_class                a word the browser's WM_CLASS holds (case-insensitive)
  programs                the names its program may have, the preferred one first
  install_hosts(session, install_script, hosts)
                          writes the manifests of hosts ({name: program path}) where this
                          browser reads them, with scripts/install-native-host
  start(session, program, scale)
                          starts the browser on session.display (through session.start)
  host_arguments(session) the arguments the browser gives a native host it starts
"""
import json
import os
import re
import shlex
import shutil
import signal
import struct
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
EXTENSION_DIR = os.path.join(HERE, "extension")
HOST_NAME = "com.morel.xy_host"
REPORTER_NAME = "com.morel.e2e_reporter"
# The screen in X pixels at scale 1 (twice as many pixels each way at scale 2).
SCREEN = (1280, 1024)
# The browser window's place (where the browser can ask for one) and size in points.
WINDOW_POSITION = (70, 40)
WINDOW_SIZE = (1000, 760)
X_TOOLS = ["Xvfb", "openbox", "xrandr", "xwininfo", "xprop", "xrdb"]

# Every check the extension must report, and pass. A check that never arrives fails the test.
EXPECTED_CHECKS = [
    "get_version",
    "get_active_browser_outer_rect matches the browser window",
    "calibration: move lands where asked",
    "click registers on the button at the computed point",
    "click is one press and one release",
    "calibration 2: move lands where asked",
    "separate press and release",
    "double click fires dblclick",
    "calibration 3: move lands where asked",
    "triple click selects the paragraph",
    "ctrl-click holds Control",
    "shift-click holds Shift",
    "right button click",
    "middle button click",
    "modifiers are released after modified clicks",
    "a click focuses the text field",
    "send_text types mixed scripts and an emoji exactly, then Enter",
    "Ctrl+A then text replaces the selection",
    "a malformed chord types nothing",
    "an unterminated chord types nothing",
    "find_rectangle finds the filled block",
    "find_rectangle finds the one-pixel outline",
    "find_rectangle of an absent colour is empty",
    "find_rectangle on an unknown display is an error",
    "wheel deltaX < 0 scrolls down",
    "wheel deltaX > 0 scrolls up",
    "wheel deltaY < 0 scrolls right",
    "a wrong parameter type is an error response and the channel stays open",
    "the host keeps serving after an error",
]


class Failure(Exception):
    pass


def log(message):
    print(f"[e2e {time.strftime('%H:%M:%S')}] {message}", flush=True)


class Session:
    """Everything this run starts; stop() ends it all, also after a failure."""

    def __init__(self, keep):
        self.keep = keep
        self.tmp = tempfile.mkdtemp(prefix="morel-e2e-")
        self.procs = []  # (name, Popen), stopped in reverse order
        self.display = None
        self.home = os.path.join(self.tmp, "home")
        self.browser_log = os.path.join(self.tmp, "browser.log")

    def start(self, name, argv, **kwargs):
        proc = subprocess.Popen(argv, start_new_session=True, **kwargs)
        self.procs.append((name, proc))
        return proc

    def env(self, **extra):
        env = dict(os.environ)
        env.update({
            "DISPLAY": self.display or "",
            "HOME": self.home,
            "XDG_CONFIG_HOME": os.path.join(self.home, ".config"),
            "XDG_CACHE_HOME": os.path.join(self.home, ".cache"),
            "XDG_RUNTIME_DIR": os.path.join(self.tmp, "runtime"),
            "LANG": "C.UTF-8",
        })
        env.pop("WAYLAND_DISPLAY", None)
        env.update(extra)
        return env

    def run(self, argv, check=True):
        result = subprocess.run(argv, env=self.env(), capture_output=True, text=True, timeout=30)
        if check and result.returncode != 0:
            raise Failure(f"{' '.join(argv)} failed ({result.returncode}): {result.stderr.strip()}")
        return result.stdout

    def stop(self):
        for name, proc in reversed(self.procs):
            if proc.poll() is None:
                try:
                    os.killpg(proc.pid, signal.SIGTERM)
                except ProcessLookupError:
                    pass
                try:
                    proc.wait(timeout=10)
                except subprocess.TimeoutExpired:
                    try:
                        os.killpg(proc.pid, signal.SIGKILL)
                    except ProcessLookupError:
                        pass
                    proc.wait(timeout=10)
            # A browser's helpers live in its process group; make sure none outlives the run.
            try:
                os.killpg(proc.pid, signal.SIGKILL)
            except (ProcessLookupError, PermissionError):
                pass
        if self.keep:
            log(f"kept {self.tmp}")
        else:
            shutil.rmtree(self.tmp, ignore_errors=True)


def prepare_extension(session, host_version, **config):
    """The test extension copied into the run's folder with its config.json: the version the
    host must report (the build's) and whatever else the runner tells the page."""
    extension = os.path.join(session.tmp, "extension")
    shutil.copytree(EXTENSION_DIR, extension)
    with open(os.path.join(extension, "config.json"), "w") as f:
        json.dump({"hostVersion": host_version, **config}, f)
    return extension


def missing_programs(browser):
    """The browser's program, and the list of required programs that are not installed."""
    missing = [tool for tool in X_TOOLS if not shutil.which(tool)]
    program = next((shutil.which(c) for c in browser.programs if shutil.which(c)), None)
    if not program:
        missing.append(" or ".join(browser.programs))
    return program, missing


def start_x(session, scale):
    read_fd, write_fd = os.pipe()
    session.start("Xvfb", ["Xvfb", "-displayfd", str(write_fd), "-screen", "0",
                           f"{SCREEN[0] * scale}x{SCREEN[1] * scale}x24", "-noreset",
                           "-nolisten", "tcp",
                           "+extension", "RANDR", "+extension", "XTEST"],
                  pass_fds=(write_fd,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    os.close(write_fd)
    number = b""
    deadline = time.monotonic() + 30
    os.set_blocking(read_fd, False)
    while time.monotonic() < deadline and not number.endswith(b"\n"):
        try:
            chunk = os.read(read_fd, 32)
            if not chunk:
                break
            number += chunk
        except BlockingIOError:
            time.sleep(0.05)
    os.close(read_fd)
    if not number.strip():
        raise Failure("Xvfb did not start")
    session.display = ":" + number.decode().strip()
    log(f"Xvfb on {session.display}")

    os.makedirs(session.home, exist_ok=True)
    os.makedirs(os.path.join(session.tmp, "runtime"), mode=0o700, exist_ok=True)
    session.start("openbox", ["openbox", "--sm-disable"], env=session.env(),
                  stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    deadline = time.monotonic() + 20
    while time.monotonic() < deadline:
        out = session.run(["xprop", "-root", "_NET_SUPPORTING_WM_CHECK"], check=False)
        if "window id" in out:
            break
        time.sleep(0.1)
    else:
        raise Failure("openbox did not take over the screen")
    if scale != 1:
        # The desktop's scale, as desktops set it: the X resource the host and the browsers
        # read.
        subprocess.run(["xrdb", "-merge"], input=f"Xft.dpi: {96 * scale}\n", text=True,
                       env=session.env(), check=True, timeout=30)


def install_hosts(session, browser, install_script, host_program):
    """A copy of the host and the reporter in a folder of their own, installed for the browser.
    Browsers start a native host in its own folder, where it writes its screenshot.bmp.
    Returns (bin_dir, report_path)."""
    bin_dir = os.path.join(session.tmp, "bin")
    os.makedirs(bin_dir)
    host = os.path.join(bin_dir, "morel_xy_host")
    shutil.copy2(host_program, host)

    report_path = os.path.join(session.tmp, "report.jsonl")
    reporter = os.path.join(bin_dir, "e2e_reporter")
    with open(reporter, "w") as f:
        # The browser's own arguments (Firefox passes the manifest and the add-on id) are
        # dropped: the report file is the reporter's only argument.
        f.write("#!/bin/sh\n")
        f.write(f"exec {shlex.quote(sys.executable)} {shlex.quote(os.path.join(HERE, 'reporter.py'))} "
                f"{shlex.quote(report_path)}\n")
    os.chmod(reporter, 0o755)

    browser.install_hosts(session, install_script, {HOST_NAME: host, REPORTER_NAME: reporter})
    return bin_dir, report_path


def install_native_host(session, install_script, name, host_path, options):
    """Runs scripts/install-native-host for one host; options say which browser and ids."""
    result = subprocess.run(
        ["bash", install_script, "--name", name, "--host-path", host_path] + options,
        capture_output=True, text=True, env=session.env())
    if result.returncode != 0:
        raise Failure(f"install-native-host failed for {name}: {result.stderr.strip()}")


def read_manifest(path):
    try:
        with open(path) as f:
            return json.load(f)
    except (OSError, ValueError) as e:
        raise Failure(f"no readable manifest at {path}: {e}")


def read_reports(path):
    reports = []
    if not os.path.exists(path):
        return reports
    with open(path, encoding="utf-8") as f:
        for line in f:
            line = line.strip()
            if line:
                reports.append(json.loads(line))
    return reports


def wait_for_done(session, report_path, timeout):
    deadline = time.monotonic() + timeout
    seen = 0
    while time.monotonic() < deadline:
        reports = read_reports(report_path)
        for r in reports[seen:]:
            if r.get("type") == "check":
                log(f"{'ok  ' if r['ok'] else 'FAIL'} {r['name']}" +
                    ("" if r["ok"] else f": {r['detail']}"))
            elif r.get("type") == "fatal":
                log(f"FATAL {r['detail']}")
        seen = len(reports)
        if any(r.get("type") == "done" for r in reports):
            return reports
        for name, proc in session.procs:
            if proc.poll() is not None:
                raise Failure(f"{name} ended early with status {proc.returncode}")
        time.sleep(0.25)
    return None


def active_browser_window(session, browser):
    """The browser's top-level window: the client window of openbox's active window."""
    out = session.run(["xprop", "-root", "_NET_ACTIVE_WINDOW"])
    m = re.search(r"window id # (0x[0-9a-f]+)", out)
    if not m or int(m.group(1), 16) == 0:
        raise Failure(f"no active window: {out.strip()}")
    wid = m.group(1)
    wm_class = session.run(["xprop", "-id", wid, "WM_CLASS"])
    if browser.wm_class not in wm_class.lower():
        raise Failure(f"the active window {wid} is not {browser.name}'s: {wm_class.strip()}")
    return wid


def window_outer_frame(session, wid):
    """The window manager's frame of a client window, in X pixels."""
    info = session.run(["xwininfo", "-id", wid])
    get = lambda key: int(re.search(key + r":\s+(-?\d+)", info).group(1))
    x, y = get("Absolute upper-left X"), get("Absolute upper-left Y")
    w, h = get("Width"), get("Height")
    extents = session.run(["xprop", "-id", wid, "_NET_FRAME_EXTENTS"], check=False)
    m = re.search(r"=\s*(\d+),\s*(\d+),\s*(\d+),\s*(\d+)", extents)
    left, right, top, bottom = (int(v) for v in m.groups()) if m else (0, 0, 0, 0)
    return {"x": x - left, "y": y - top, "width": w + left + right, "height": h + top + bottom}


def xrandr_monitors(session):
    """Monitors as (name, x, y, width, height, primary) in pixels."""
    out = session.run(["xrandr", "--listmonitors"])
    monitors = []
    for line in out.splitlines()[1:]:
        m = re.match(r"\s*\d+:\s+([+*]*)(\S+)\s+(\d+)/\d+x(\d+)/\d+\+(-?\d+)\+(-?\d+)", line)
        if m:
            flags, name, w, h, x, y = m.groups()
            monitors.append({"name": name, "x": int(x), "y": int(y), "width": int(w),
                             "height": int(h), "primary": "*" in flags})
    return monitors


def x_scale(session):
    out = session.run(["xrdb", "-query"], check=False)
    m = re.search(r"^Xft\.dpi:\s*([\d.]+)", out, re.M)
    return float(m.group(1)) / 96.0 if m else 1.0


def host_side_checks(session, browser, reports, bin_dir):
    """Checks of the host's answers against the X server. Returns a list of (name, ok, detail)."""
    data = {r["name"]: r["value"] for r in reports if r.get("type") == "data"}
    results = []

    def check(name, ok, detail=""):
        results.append((name, bool(ok), detail))

    scale = x_scale(session)
    wid = active_browser_window(session, browser)
    frame = window_outer_frame(session, wid)  # X pixels
    # The host gives each of the four in whole points, truncated: a frame at an odd pixel on a
    # desktop scaled 2x (the window manager's borders do not scale) loses its half point.
    frame_points = {k: int(v / scale) for k, v in frame.items()}
    outer = data.get("get_active_browser_outer_rect")
    check("outer rect equals the X window's frame (xwininfo + _NET_FRAME_EXTENTS)",
          outer == frame_points, f"host {outer}, X {frame} pixels = {frame_points} points")

    host_scale = data.get("get_screen_backing_scale_factor")
    check("scale factor equals the X server's (Xft.dpi / 96, 1.0 unset)",
          isinstance(host_scale, (int, float)) and abs(host_scale - scale) < 1e-9,
          f"host {host_scale}, X {scale}")

    monitors = xrandr_monitors(session)
    displays = data.get("get_display_list")
    ok = isinstance(displays, list) and len(displays) == len(monitors) and len(monitors) > 0
    detail = f"host {displays}, xrandr {monitors}"
    if ok:
        primary = next((m for m in monitors if m["primary"]), monitors[0])
        main_height = primary["height"] / scale
        for m in monitors:
            # The host reports frames in points with the origin at the main display's
            # bottom-left corner, y upwards.
            want = {"x": round(m["x"] / scale), "width": round(m["width"] / scale),
                    "height": round(m["height"] / scale),
                    "y": round(main_height - (m["y"] + m["height"]) / scale)}
            match = [d for d in displays if d.get("frame") == want]
            if len(match) != 1:
                ok = False
                detail += f"; no display with frame {want}"
                continue
            d = match[0]
            vf = d.get("visibleFrame") or {}
            ok = ok and (d.get("isPrimary") is (m is primary)) and \
                d.get("backingScaleFactor") == scale and \
                isinstance(d.get("id"), str) and d["id"].isdigit() and \
                isinstance(d.get("name"), str) and \
                vf.get("width", 0) > 0 and vf.get("height", 0) > 0 and \
                vf["x"] >= want["x"] and vf["y"] >= want["y"] and \
                vf["x"] + vf["width"] <= want["x"] + want["width"] and \
                vf["y"] + vf["height"] <= want["y"] + want["height"]
    check("display list equals xrandr's monitors", ok, detail)

    # The block's place in the capture, from where the page drew it on the screen and where
    # the frame really is, in pixels: the page knows the frame only to the point.
    block = data.get("find_rectangle block") or {}
    screen = block.get("screen")
    want = None
    if screen:
        want = {"x": int((round(screen["x"] * scale) - frame["x"]) / scale),
                "y": int((round(screen["y"] * scale) - frame["y"]) / scale),
                "width": int(screen["width"]), "height": int(screen["height"])}
    check("find_rectangle's block is where the page drew it, to the pixel",
          want is not None and block.get("got") == want,
          f"host {block.get('got')}, want {want} (block on screen {screen} points, "
          f"frame {frame} pixels)")

    # The capture is the window's frame as the X server holds it, in pixels.
    bmp = os.path.join(bin_dir, "screenshot.bmp")
    ok, detail = False, "no screenshot.bmp beside the host"
    if os.path.exists(bmp):
        with open(bmp, "rb") as f:
            header = f.read(54)
        if len(header) == 54 and header[:2] == b"BM":
            width, height = struct.unpack("<ii", header[18:26])
            ok = (width, abs(height)) == (frame["width"], frame["height"])
            detail = f"BMP {width}x{height}, window frame {frame['width']}x{frame['height']} pixels"
        else:
            detail = "screenshot.bmp is not a BMP file"
    check("find_rectangle's capture is the browser window", ok, detail)

    # The browser starts the host with arguments of its own, which the host must accept.
    arguments = host_arguments(os.path.join(bin_dir, "morel_xy_host"))
    want = browser.host_arguments(session)
    check(f"the host runs with {browser.name}'s arguments", arguments == [want],
          f"host processes' arguments {arguments}, want [{want}]")
    return results


def host_arguments(program):
    """The arguments (without the program name) of every running process of `program`."""
    found = []
    for pid in filter(str.isdigit, os.listdir("/proc")):
        try:
            if os.readlink(f"/proc/{pid}/exe") != program:
                continue
            with open(f"/proc/{pid}/cmdline", "rb") as f:
                argv = f.read().split(b"\0")[:-1]
        except OSError:
            continue
        found.append([a.decode(errors="replace") for a in argv[1:]])
    return found


def judge(session, browser, reports, bin_dir, side_checks=None):
    """Every failure of the run: failed, missing or unknown failed checks, and the host-side
    checks (`side_checks`, host_side_checks' signature; the X server's by default). Logs the
    host-side checks as it makes them."""
    failures = []
    checks = {r["name"]: r for r in reports if r.get("type") == "check"}
    for r in reports:
        if r.get("type") == "fatal":
            failures.append(f"extension stopped: {r['detail']}")
    for name in EXPECTED_CHECKS:
        if name not in checks:
            failures.append(f"not reported: {name}")
        elif not checks[name]["ok"]:
            failures.append(f"{name}: {checks[name]['detail']}")
    for name, r in checks.items():
        if name not in EXPECTED_CHECKS and not r["ok"]:
            failures.append(f"{name}: {r['detail']}")
    for name, ok, detail in (side_checks or host_side_checks)(session, browser, reports, bin_dir):
        log(f"{'ok  ' if ok else 'FAIL'} {name}" + ("" if ok else f": {detail}"))
        if not ok:
            failures.append(f"{name}: {detail}")
    passed = sum(1 for r in checks.values() if r["ok"])
    return failures, passed, len(checks)


def log_tail(path, lines=30):
    if not os.path.exists(path):
        return ""
    with open(path, errors="replace") as f:
        return "".join(f.readlines()[-lines:])


def run(browser, host_program, host_version, install_script, scale, timeout, keep):
    """One end-to-end run in `browser`. Returns the process exit status."""
    started = time.monotonic()
    session = None
    try:
        if not os.access(host_program, os.X_OK):
            raise Failure(f"the host program {host_program} is missing; build it first")
        program, missing = missing_programs(browser)
        if missing:
            raise Failure("missing required programs: " + ", ".join(missing) +
                          " (run scripts/install-deps)")
        session = Session(keep)
        browser.extension = prepare_extension(session, host_version)
        start_x(session, scale)
        bin_dir, report_path = install_hosts(session, browser, install_script, host_program)
        browser.start(session, program, scale)
        log(f"{browser.name} started; waiting for the extension's reports")
        reports = wait_for_done(session, report_path, timeout)
        if reports is None:
            reports = read_reports(report_path)
            raise Failure(
                f"no complete report within {timeout:.0f} s ({len(reports)} messages). "
                f"Did {browser.name} load the extension and start the native hosts?\n"
                f"{browser.name} log tail:\n{log_tail(session.browser_log)}")

        failures, passed, reported = judge(session, browser, reports, bin_dir)
        log(f"{passed} of {reported} extension checks passed, "
            f"{time.monotonic() - started:.1f} s")
        if failures:
            raise Failure("\n  ".join([f"{len(failures)} failure(s):"] + failures))
        log("PASSED")
        return 0
    except Failure as e:
        log(f"FAILED: {e}")
        return 1
    finally:
        if session:
            session.stop()
