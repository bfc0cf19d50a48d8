#!/usr/bin/env python3
"""Writes the seed corpora of the fuzz targets into corpus/<target>/. The seeds are committed;
run this again only to change them."""
import json
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))


def write(target, name, data):
    folder = os.path.join(HERE, "corpus", target)
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, name), "wb") as f:
        f.write(data if isinstance(data, bytes) else data.encode("utf-8"))


def frame(body):
    if not isinstance(body, bytes):
        body = json.dumps(body, ensure_ascii=False).encode("utf-8")
    return struct.pack("=I", len(body)) + body


# --- the host's channel ---
requests = [
    {"id": 1, "method": "get_version", "params": {}},
    {"id": 2, "method": "send_mouse_event", "params": {"type": 3, "button": 0, "x": 20, "y": 15}},
    {"id": 3, "method": "send_mouse_event", "params": {"type": 4, "button": 1, "x": 3.9, "y": True}},
    {"id": 4, "method": "send_mouse_event", "params": {"type": 7, "button": 2, "x": -5, "y": 9}},
    {"id": 5, "method": "send_mouse_wheel_event", "params": {"deltaX": -3, "deltaY": 2, "deltaZ": 0}},
    {"id": 6, "method": "send_text", "params": {"text": "Héllo Ωμέγα 漢字 😀${KEY_ENTER}"}},
    {"id": 7, "method": "send_text", "params": {"text": "${KEY_CTRL+KEY_A}x${key_shift+key_cmd+key_z}"}},
    {"id": 8, "method": "send_text", "params": {"text": "a${KEY_BOGUS}b$$${"}},
    {"id": 9, "method": "get_active_browser_outer_rect", "params": {}},
    {"id": 10, "method": "find_rectangle", "params": {"color": "#0000FF"}},
    {"id": 11, "method": "find_rectangle", "params": {"color": "FF0000", "displayId": "1"}},
    {"id": 12, "method": "find_rectangle", "params": {"color": "#0000FF", "displayId": "9"}},
    {"id": 13, "method": "get_screen_backing_scale_factor"},
    {"id": 14, "method": "get_display_list", "params": None},
    {"id": 15, "method": "send_mouse_wheel_event", "params": {"deltaX": "a", "deltaY": 0, "deltaZ": 0}},
]
for r in requests:
    write("host_channel_fuzzer", f"{r['id']:02d}_{r['method']}", frame(r))
write("host_channel_fuzzer", "all_methods", b"".join(frame(r) for r in requests))
write("host_channel_fuzzer", "bom", frame(b"\xef\xbb\xbf" + json.dumps(requests[0]).encode()))
write("host_channel_fuzzer", "id_float", frame({"id": 3.9, "method": "get_version"}))
write("host_channel_fuzzer", "id_huge", frame({"id": 1e300, "method": "get_version"}))
write("host_channel_fuzzer", "no_id", frame({"method": "get_version"}))
write("host_channel_fuzzer", "unknown_method", frame({"id": 1, "method": "nope"}))
write("host_channel_fuzzer", "null_body", frame(b"null"))
write("host_channel_fuzzer", "not_json", frame(b"{\"id\":1,"))
write("host_channel_fuzzer", "nested", frame(b"[" * 200 + b"]" * 200))
write("host_channel_fuzzer", "zero_length", b"\0\0\0\0" + frame(requests[0]))
write("host_channel_fuzzer", "short_body", struct.pack("=I", 100) + b"{\"id\":1}")
write("host_channel_fuzzer", "huge_length", b"\xff\xff\xff\xff")

# --- send_text parsing and typing: the text's UTF-8 bytes ---
texts = ["", "abc", "a${KEY_ENTER}b", "${KEY_CTRL+KEY_A}", "${key_a+Key_Ctrl}",
         "${KEY_CMD+KEY_SHIFT+KEY_Z}", "${KEY_NUM5}${KEY_5}", "${KEY_CTRL}", "${KEY_CTRL+}",
         "${KEY_CTRL+KEY_CTRL+KEY_A}", "${KEY_ALT+KEY_OPTION+KEY_A}", "${KEY_A+KEY_B}", "${}",
         "${+KEY_A}", "${KEY_CTRL++KEY_A}", "${ KEY_A}", "${KEY_ENTER", "abc$", "Price: $5",
         "a$$", "$${KEY_ENTER}", "$$${KEY_ENTER}", "x{KEY_ENTER}", "x}y", "${KEY_É}",
         "😀 漢字 ${KEY_F15}${KEY_PAGE_DOWN}${KEY_ESCAPE}", "a${KEY_BOGUS}b"]
for i, t in enumerate(texts):
    write("text_input_fuzzer", f"{i:02d}", t)
write("text_input_fuzzer", "truncated", b"ab\xe6\xbc${KEY_ENTER}")
write("text_input_fuzzer", "encoded_surrogate", b"a\xed\xa0\x80${KEY_TAB}b")
write("text_input_fuzzer", "overlong", b"${KEY_CTRL}\xc0\xaf")
write("text_input_fuzzer", "split_by_chord", b"\xe6${KEY_ENTER}\xbc\xa2")
write("text_input_fuzzer", "long_token", "${" + "KEY_CTRL+" * 40 + "KEY_A}")

# --- rectangle finder: width, height, tolerance, colour, three deltas, then shapes ---
write("rect_finder_fuzzer", "block", bytes([30, 20, 0, 255, 0, 0, 3, 5, 7,
                                            0, 4, 4, 10, 6, 4, 12, 3, 8, 5]))
write("rect_finder_fuzzer", "outline", bytes([70, 30, 5, 10, 20, 30, 2, 9, 15,
                                              4, 60, 2, 15, 10, 0, 1, 1, 60, 20]))
write("rect_finder_fuzzer", "noise", bytes(range(0, 256, 3)))

# --- ocr's command line: NUL-separated arguments ---
args = [["--in", "a.png", "--out", "o.json"], ["-i=a.pdf", "-o=x", "-l", "eng", "-p", "3"],
        ["--help"], ["-i", "x", "--pdf-page", "-9223372036854775808"],
        ["-i", "x", "-p", "9223372036854775808"], ["--lang=en-US,,de-DE, fr-FR"], ["-i"],
        ["stray"], ["--mode", "fast", "--createWords", "true", "-s", "/tmp/p"], ["--unknown=1"]]
for i, a in enumerate(args):
    write("ocr_args_fuzzer", f"{i:02d}", "\0".join(a))

# --- ocr's word segmentation: line texts ---
lines = ["Hello world", "The quick, brown fox.", "  leading and trailing  ", "naïve café e\u0301",
         "漢字かな交じり文です", "中文分词测试", "emoji 😀👍🏽 text", "tab\tseparated\u00a0nbsp",
         "3.14159 and 1,000,000", "don't stop-here", "\u0627\u0644\u0639\u0631\u0628\u064a\u0629"]
for i, t in enumerate(lines):
    write("ocr_words_fuzzer", f"{i:02d}", t)
write("ocr_words_fuzzer", "invalid_utf8", b"ab\xff\xfe cd\xc3 \xe6\xbc")

# --- ocr's result document: a byte stream read as a result model ---
write("ocr_json_fuzzer", "one_page", bytes([0, 0, 3, 232, 0, 1, 5]) + b"Hello" +
      bytes([0, 0, 1, 0, 1, 2]) + bytes(range(40)))
write("ocr_json_fuzzer", "three_pages", bytes(range(1, 255)))
write("ocr_json_fuzzer", "invalid_utf8", bytes([0, 0, 0, 1, 1, 3]) + b"\xff\xfe\xc3" + bytes(60))
