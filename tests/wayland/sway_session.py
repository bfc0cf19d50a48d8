"""A private headless sway for tests.

sway refuses to run as root, so it runs as an unprivileged user (nobody, uid 65534) with a
runtime folder of its own inside the session's temporary folder; root's clients (the tests,
the host, the browser) connect to its sockets there. Every process the session starts is
ended by its process id when the session stops.
"""
import glob
import json
import os
import shutil
import signal
import subprocess
import tempfile
import time

SWAY_UID = 65534


class SwayError(Exception):
    pass


def missing_tools(xwayland=False):
    tools = ["sway", "swaymsg", "setpriv"] + (["Xwayland"] if xwayland else [])
    return [t for t in tools if not shutil.which(t)]


class SwaySession:
    """One headless sway: start() it, use env() for its clients, stop() it (also after a
    failure). `outputs` configures HEADLESS-1; more are made with add_output()."""

    def __init__(self, width=1600, height=1000, scale=1, xwayland=False, keep=False,
                 tmp=None):
        self.width, self.height, self.scale = width, height, scale
        self.xwayland = xwayland
        self.keep = keep
        self.owns_tmp = tmp is None
        self.tmp = tmp or tempfile.mkdtemp(prefix="morel-sway-")
        self.runtime = os.path.join(self.tmp, "sway-runtime")
        self.proc = None
        self.socket = None
        self.display = None

    def start(self, timeout=15):
        missing = missing_tools(self.xwayland)
        if missing:
            raise SwayError("missing required programs: " + ", ".join(missing) +
                            " (run scripts/install-deps)")
        # sway's user must reach its runtime folder and config inside ours.
        os.chmod(self.tmp, 0o711)
        os.makedirs(self.runtime, mode=0o700, exist_ok=True)
        os.chown(self.runtime, SWAY_UID, SWAY_UID)
        home = os.path.join(self.tmp, "sway-home")
        os.makedirs(home, exist_ok=True)
        os.chown(home, SWAY_UID, SWAY_UID)
        config = os.path.join(self.tmp, "sway.config")
        with open(config, "w") as f:
            f.write(f"output HEADLESS-1 resolution {self.width}x{self.height} position 0 0 "
                    f"scale {self.scale}\n")
            # No borders or title bars: a window's rect is its content, as tests compute.
            f.write("default_border none\ndefault_floating_border none\n")
            f.write("focus_follows_mouse no\n")
            f.write(f"xwayland {'enable' if self.xwayland else 'disable'}\n")
        os.chmod(config, 0o644)
        env = {
            "PATH": "/usr/bin:/bin", "HOME": home, "WLR_BACKENDS": "headless",
            "WLR_LIBINPUT_NO_DEVICES": "1", "WLR_RENDERER": "pixman",
            "XDG_RUNTIME_DIR": self.runtime,
        }
        self.log_path = os.path.join(self.tmp, "sway.log")
        with open(self.log_path, "w") as log:
            self.proc = subprocess.Popen(
                ["setpriv", f"--reuid={SWAY_UID}", f"--regid={SWAY_UID}", "--clear-groups",
                 "sway", "-c", config],
                env=env, stdout=log, stderr=subprocess.STDOUT, start_new_session=True)
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            if self.proc.poll() is not None:
                raise SwayError(f"sway ended with status {self.proc.returncode}: {self.log_tail()}")
            sockets = glob.glob(os.path.join(self.runtime, "sway-ipc.*.sock"))
            displays = [d for d in glob.glob(os.path.join(self.runtime, "wayland-*"))
                        if not d.endswith(".lock")]
            if sockets and displays:
                self.socket = sockets[0]
                self.display = os.path.basename(displays[0])
                try:
                    self.ipc("get_outputs")
                    return self
                except SwayError:
                    pass
            time.sleep(0.05)
        raise SwayError(f"sway did not start within {timeout} s: {self.log_tail()}")

    def log_tail(self, lines=20):
        try:
            with open(self.log_path, errors="replace") as f:
                return "".join(f.readlines()[-lines:])
        except OSError:
            return ""

    def env(self, base=None, **extra):
        """The environment of a client of this sway (no X display unless given)."""
        env = dict(os.environ if base is None else base)
        env.pop("DISPLAY", None)
        env.update({"WAYLAND_DISPLAY": self.display, "XDG_RUNTIME_DIR": self.runtime,
                    "SWAYSOCK": self.socket})
        env.update(extra)
        return env

    def swaymsg(self, *args, check=True):
        result = subprocess.run(["swaymsg", "-s", self.socket, *args], capture_output=True,
                                text=True, timeout=30)
        if check and result.returncode != 0:
            raise SwayError(f"swaymsg {' '.join(args)} failed: {result.stdout}{result.stderr}")
        return result.stdout

    def ipc(self, kind):
        """The JSON answer of `swaymsg -t KIND` (get_tree, get_outputs, ...)."""
        try:
            return json.loads(self.swaymsg("-r", "-t", kind))
        except (ValueError, subprocess.TimeoutExpired) as e:
            raise SwayError(f"swaymsg -t {kind}: {e}")

    def add_output(self, width, height, scale=1, position=None):
        """A further headless output, placed to the right of the others unless `position`."""
        before = {o["name"] for o in self.ipc("get_outputs")}
        self.swaymsg("create_output")
        added = [o["name"] for o in self.ipc("get_outputs") if o["name"] not in before]
        if len(added) != 1:
            raise SwayError(f"create_output made {added}")
        name = added[0]
        if position is None:
            position = (max(o["rect"]["x"] + o["rect"]["width"] for o in self.ipc("get_outputs")
                            if o["name"] != name), 0)
        self.swaymsg("output", name, "resolution", f"{width}x{height}", "position",
                     str(position[0]), str(position[1]), "scale", str(scale))
        return name

    def xwayland_display(self, timeout=15):
        """The X display sway's Xwayland serves (started on first use), with root's clients
        let in: sway runs a command as its own user that opens the display and says its
        name."""
        if not self.xwayland:
            raise SwayError("this sway was started without Xwayland")
        if not shutil.which("xhost"):
            raise SwayError("missing required program: xhost (run scripts/install-deps)")
        said = os.path.join(self.runtime, "xwayland-display")
        self.swaymsg("exec", f"xhost +si:localuser:root && echo $DISPLAY > {said}")
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            try:
                with open(said) as f:
                    display = f.read().strip()
                if display:
                    return display
            except OSError:
                pass
            time.sleep(0.05)
        raise SwayError(f"Xwayland did not start within {timeout} s: {self.log_tail()}")

    def stop(self):
        if self.proc and self.proc.poll() is None:
            try:
                os.killpg(self.proc.pid, signal.SIGTERM)
            except ProcessLookupError:
                pass
            try:
                self.proc.wait(timeout=10)
            except subprocess.TimeoutExpired:
                os.killpg(self.proc.pid, signal.SIGKILL)
                self.proc.wait(timeout=10)
        if self.proc:
            # Xwayland and anything else sway started share its process group.
            try:
                os.killpg(self.proc.pid, signal.SIGKILL)
            except (ProcessLookupError, PermissionError):
                pass
        if self.owns_tmp:
            if self.keep:
                print(f"kept {self.tmp}", flush=True)
            else:
                shutil.rmtree(self.tmp, ignore_errors=True)

    def __enter__(self):
        return self.start()

    def __exit__(self, *exc):
        self.stop()
