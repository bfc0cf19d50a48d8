#!/usr/bin/env python3
"""Typing into a real Chromium: the built host's "send_text" into a text field of a Chromium
window on a private Xvfb with openbox, as a user's automation types into a page.

Prints one line per text and run: characters per second until the host answered ("typed") and
until the page held the whole text ("received"), and how many characters the page got wrong
(edit distance between what was sent and what the field holds).

Usage: chromium_typing.py --host PATH [--runs N]

The page reports its field through its title (count:text, white space percent-encoded), which
is the window's title; the bench reads it with xdotool.
"""
import argparse
import json
import os
import random
import shutil
import signal
import struct
import subprocess
import sys
import tempfile
import time
import urllib.parse

PAGE = """<!doctype html><meta charset="utf-8"><title>0:</title>
<textarea id="field" autofocus style="width:95vw;height:90vh;font-size:14px"></textarea>
<script>
  const field = document.getElementById("field");
  let pending = false;
  field.addEventListener("input", () => {
    if (pending) return;
    pending = true;
    setTimeout(() => {
      pending = false;
      // A title loses runs of white space: those (and the escape itself) go percent-encoded.
      document.title = [...field.value].length + ":" +
                       field.value.replace(/[\s%]/g, encodeURIComponent);
    }, 20);
  });
</script>
"""

ENGLISH_WORDS = ["the ", "quick ", "brown ", "fox ", "jumps ", "over ", "lazy ", "dog, ",
                 "while ", "Alice ", "reads ", "a ", "Book ", "about ", "Paris. ", "London ",
                 "New ", "York; ", "numbers ", "12 ", "345 ", "(yes!) ", "'quoted' ", "it's ",
                 "fine? ", "E-mail: ", "user@example.com ", "100% "]

# Mixed scripts as people write them: words of French, Czech, Greek, Russian and Chinese, with
# emoji, 300 characters.
MIXED_WORDS = (
    "Café crème et façade naïve à Noël. Příliš žluťoučký kůň úpěl ďábelské ódy. "
    "Καλημέρα κόσμε, ξεσκεπάζω την ψυχοφθόρα βδελυγμία. "
    "Съешь же ещё этих мягких французских булок, да выпей чаю. "
    "我能吞下玻璃而不伤身体。今天天气很好，我们去学习工作。😀🎉👍🚀❤ "
    "Ærøskøbing, Straße, señor, Ωμέγα, Жизнь, 你好世界！")

# The worst case: characters drawn at random from many scripts, so that few repeat.
MIXED_ALPHABET = (
    "abcdefghij ABC éèêëàâäôöûüçñß ÁÉÍÓÚ ěščřžýáíéůú ĚŠČŘŽ ΑΒΓΔΕαβγδεζηθλμπσω "
    "中文字符测试汉语你好世界天气很好学习工作生活朋友家庭时间😀🎉👍🚀❤")


def characters(text):
    return list(text)


def make_text(pieces, count, seed):
    rng = random.Random(seed)
    out = []
    while len(out) < count:
        out.extend(characters(rng.choice(pieces)))
    return "".join(out[:count])


def edit_distance(a, b):
    previous = list(range(len(b) + 1))
    for i in range(1, len(a) + 1):
        current = [i] + [0] * len(b)
        for j in range(1, len(b) + 1):
            current[j] = min(previous[j - 1] + (a[i - 1] != b[j - 1]), previous[j] + 1,
                             current[j - 1] + 1)
        previous = current
    return previous[len(b)]


class Bench:
    def __init__(self):
        self.tmp = tempfile.mkdtemp(prefix="morel-typing-")
        self.procs = []
        self.display = None

    def env(self):
        env = dict(os.environ)
        env.update({"DISPLAY": self.display, "HOME": self.tmp, "LANG": "C.UTF-8",
                    "XDG_RUNTIME_DIR": self.tmp})
        env.pop("WAYLAND_DISPLAY", None)
        return env

    def start(self, argv, **kwargs):
        proc = subprocess.Popen(argv, start_new_session=True, **kwargs)
        self.procs.append(proc)
        return proc

    def stop(self):
        for proc in reversed(self.procs):
            for sig in (signal.SIGTERM, signal.SIGKILL):
                try:
                    os.killpg(proc.pid, sig)
                except (ProcessLookupError, PermissionError):
                    pass
                try:
                    proc.wait(timeout=5)
                    break
                except subprocess.TimeoutExpired:
                    continue
        shutil.rmtree(self.tmp, ignore_errors=True)

    def start_x(self):
        read_fd, write_fd = os.pipe()
        self.start(["Xvfb", "-displayfd", str(write_fd), "-screen", "0", "1280x800x24",
                    "-noreset", "-nolisten", "tcp"], pass_fds=(write_fd,),
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write_fd)
        with os.fdopen(read_fd, "rb") as pipe:
            number = pipe.readline().strip()
        if not number:
            raise RuntimeError("Xvfb did not start")
        self.display = ":" + number.decode()
        self.start(["openbox", "--sm-disable"], env=self.env(), stdout=subprocess.DEVNULL,
                   stderr=subprocess.DEVNULL)
        self.wait_for(lambda: "window id" in self.output(["xprop", "-root",
                                                           "_NET_SUPPORTING_WM_CHECK"]),
                      "openbox")

    def output(self, argv):
        result = subprocess.run(argv, env=self.env(), capture_output=True, timeout=30)
        return result.stdout.decode("utf-8", "replace") if result.returncode == 0 else ""

    def wait_for(self, condition, what, timeout=30):
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            value = condition()
            if value:
                return value
            time.sleep(0.05)
        raise RuntimeError(f"timed out waiting for {what}")

    def launch_chromium(self, arguments):
        """Starts Chromium with a fresh profile and no traffic of its own; arguments (which
        name the page, a format field {page}) come last."""
        chromium = shutil.which("chromium") or shutil.which("chromium-browser")
        if not chromium:
            raise RuntimeError("chromium is missing (scripts/install-deps)")
        page = os.path.join(self.tmp, "page.html")
        with open(page, "w", encoding="utf-8") as f:
            f.write(PAGE)
        self.start([chromium, "--no-sandbox", "--disable-gpu", "--no-first-run",
                    "--disable-background-networking", "--disable-component-update",
                    "--disable-sync", "--disable-default-apps", "--password-store=basic",
                    f"--user-data-dir={os.path.join(self.tmp, 'profile')}",
                    *(a.format(page=page) for a in arguments)],
                   env=self.env(), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    def start_chromium(self):
        self.launch_chromium(["--window-position=20,20", "--window-size=1200,700",
                              "--app=file://{page}"])
        self.window = self.wait_for(
            lambda: self.output(["xdotool", "search", "--name", "^0:$"]).split()[:1], "Chromium")[0]

    def title(self):
        return self.output(["xdotool", "getwindowname", self.window]).rstrip("\n")


class Host:
    def __init__(self, bench, path):
        self.proc = bench.start([path], env=bench.env(), stdin=subprocess.PIPE,
                                stdout=subprocess.PIPE, cwd=bench.tmp)
        self.next_id = 0

    def call(self, method, params):
        self.next_id += 1
        body = json.dumps({"id": self.next_id, "method": method, "params": params}).encode()
        self.proc.stdin.write(struct.pack("=I", len(body)) + body)
        self.proc.stdin.flush()
        length = struct.unpack("=I", self.proc.stdout.read(4))[0]
        return json.loads(self.proc.stdout.read(length)).get("result")


def measure(bench, host, text):
    expected = len(characters(text))
    host.call("send_text", {"text": "${KEY_CTRL+KEY_A}${KEY_BKSP}"})
    bench.wait_for(lambda: bench.title() == "0:", "an empty field", timeout=10)
    start = time.monotonic()
    if host.call("send_text", {"text": text}) is not True:
        raise RuntimeError("send_text failed")
    typed = time.monotonic() - start
    # Until the field holds as many characters as were sent, or nothing changes for 3 s.
    last, changed = None, time.monotonic()
    while True:
        title = bench.title()
        count, _, received = title.partition(":")
        received = urllib.parse.unquote(received)
        if count.isdigit() and int(count) >= expected:
            break
        if title != last:
            last, changed = title, time.monotonic()
        elif time.monotonic() - changed > 3:
            break
        time.sleep(0.01)
    done = time.monotonic() - start
    wrong = edit_distance(characters(text), characters(received))
    if wrong:
        at = next((i for i, (a, b) in enumerate(zip(text, received)) if a != b),
                  min(len(text), len(received)))
        print(f"  first difference at {at}: sent {text[at:at + 12]!r}, "
              f"received {received[at:at + 12]!r}", file=sys.stderr)
    return typed, done, wrong


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--host", required=True)
    parser.add_argument("--runs", type=int, default=3)
    args = parser.parse_args()
    missing = [t for t in ["Xvfb", "openbox", "xprop", "xdotool"] if not shutil.which(t)]
    if missing:
        sys.exit("missing: " + ", ".join(missing) + " (scripts/install-deps)")

    bench = Bench()
    try:
        bench.start_x()
        bench.start_chromium()
        run(bench, args.host, args.runs, "chromium")
    finally:
        bench.stop()


def run(bench, host_path, runs, label):
    """Types each text `runs` times into the Chromium `bench` started, and prints the figures."""
    texts = [("english", make_text(ENGLISH_WORDS, 2000, 1)),
             ("mixed words", MIXED_WORDS),
             ("mixed random", make_text(characters(MIXED_ALPHABET), 300, 2))]
    host = Host(bench, os.path.abspath(host_path))
    rect = bench.wait_for(lambda: host.call("get_active_browser_outer_rect", {}),
                          "the host to see Chromium")
    # A click in the middle of the field, to be sure it has the focus.
    host.call("send_mouse_event", {"type": 3, "button": 0, "x": rect["x"] + 300,
                                   "y": rect["y"] + 300})
    # An empty title proves nothing about the focus: a key that shows up in the field does.
    host.call("send_text", {"text": "x"})
    bench.wait_for(lambda: bench.title() == "1:x", "the field to take a key", timeout=10)
    for _ in range(runs):
        for name, text in texts:
            count = len(characters(text))
            typed, received, wrong = measure(bench, host, text)
            print(f"{label} {name:13s} {count:5d} chars  typed {count / typed:7.1f}/s  "
                  f"received {count / received:7.1f}/s  {wrong:4d} wrong", flush=True)


if __name__ == "__main__":
    main()
