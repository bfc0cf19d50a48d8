#!/usr/bin/env python3
"""The end-to-end test's second native host: receives the test extension's reports over the
browser's native-messaging framing and appends each, as one JSON line, to the file named on
the command line (the test writes a wrapper that names it). Answers every message with
{"ok": true} so the extension knows it arrived."""
import json
import struct
import sys


def main() -> int:
    out_path = sys.argv[1]
    stdin = sys.stdin.buffer
    stdout = sys.stdout.buffer
    with open(out_path, "a", encoding="utf-8") as out:
        while True:
            header = stdin.read(4)
            if len(header) < 4:
                return 0
            (length,) = struct.unpack("=I", header)
            body = stdin.read(length)
            if len(body) < length:
                return 0
            message = json.loads(body.decode("utf-8"))
            out.write(json.dumps(message, ensure_ascii=False) + "\n")
            out.flush()
            reply = b'{"ok":true}'
            stdout.write(struct.pack("=I", len(reply)) + reply)
            stdout.flush()


if __name__ == "__main__":
    sys.exit(main())
