"""The built ocr against damaged and hostile documents made here: PNG, JPEG, TIFF and PDF files
cut short at many points and with bits flipped (fixed seeds, so every run sees the same files),
headers announcing 60000 x 60000 pixels, a PDF page 200 inches square and a PDF of thousands of
empty pages.

Every run must end with exit status 1 and one of the documented messages (and no result file),
or with exit status 0 and a well-formed result document when the damage left the document
readable; never a crash, a hang, library chatter on standard error, or a peak resident memory
above the bound. OCR_BINARY names the program.
"""

import io
import json
import os
import random
import re
import shutil
import struct
import subprocess
import tempfile
import time
import sys
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "integration",
                                "ocr"))
from documents import (png_announcing, render_lines, write_giant_pdf,  # noqa: E402
                       write_pdf)  # (the documents the integration tests make)

OCR = os.environ.get("OCR_BINARY", "ocr")
# No document here needs more: a 60000 x 60000 header must be refused, not decoded into RAM.
MEMORY_LIMIT_KIB = 1024 * 1024
TIME_LIMIT_S = 60

IMAGE_FAILURE = b"error: Bad input image\n"
PDF_FAILURES = [
    re.compile(rb"error: Bad input PDF\n"),
    re.compile(rb"error: Could not get PDF page \d+\n"),
    re.compile(rb"error: Could not create CGContext for PDF page \d+\n"),
    re.compile(rb"error: Could not create CGImage for PDF page \d+\n"),
    re.compile(rb"error: Unable to perform text recognition: [^\n]*\n"),
]
PROGRESS = re.compile(rb"Processing PDF page (\d+) / (\d+) \.\.\.\n")


def run_ocr(args):
    """Runs ocr; returns (status, stdout, stderr, peak KiB, seconds). Kills it at the limit."""
    started = time.monotonic()
    with tempfile.TemporaryFile() as out, tempfile.TemporaryFile() as err:
        proc = subprocess.Popen([OCR, *args], stdout=out, stderr=err)
        deadline = started + TIME_LIMIT_S
        while True:
            pid, status, usage = os.wait4(proc.pid, os.WNOHANG)
            if pid == proc.pid:
                break
            if time.monotonic() > deadline:
                proc.kill()
                pid, status, usage = os.wait4(proc.pid, 0)
                break
            time.sleep(0.01)
        proc.returncode = 0  # reaped here; keep Popen from waiting again
        seconds = time.monotonic() - started
        out.seek(0)
        err.seek(0)
        code = os.waitstatus_to_exitcode(status)
        return code, out.read(), err.read(), usage.ru_maxrss, seconds


def page(width, height, text=None):
    """A page for write_pdf: `width` x `height` points, `text` in 24 pt Helvetica near the top."""
    lines = [(20, height - 40, 24, text)] if text else []
    return {"media": (0, 0, width, height), "lines": lines}


def text_image():
    image, _ = render_lines([(10, 15, 28, "Hostile input")], (360, 70))
    return image


def encoded(image, fmt, **options):
    buffer = io.BytesIO()
    image.save(buffer, fmt, **options)
    return buffer.getvalue()


def truncations(data):
    """The file cut at its first bytes, inside its header, and at eighths of its length."""
    cuts = sorted({1, 8, 16, 33, 100} | {len(data) * k // 8 for k in range(1, 8)} | {len(data) - 1})
    return [(f"cut{c}", data[:c]) for c in cuts if 0 < c < len(data)]


def bit_flips(data, seeds=6):
    """Copies with 1, 4, 16 ... random bits flipped, the first 64 bytes (headers) favoured in
    half of them."""
    variants = []
    for seed in range(seeds):
        rng = random.Random(1000 + seed)
        flipped = bytearray(data)
        count = 4 ** (seed % 3)
        for _ in range(count):
            span = 64 if seed % 2 == 0 else len(data)
            i = rng.randrange(min(span, len(data)))
            flipped[i] ^= 1 << rng.randrange(8)
        variants.append((f"flip{seed}x{count}", bytes(flipped)))
    return variants


class Documents(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.dir = tempfile.mkdtemp(prefix="morel-hostile-docs-")
        cls.figures = {"runs": 0, "exit0": 0, "exit1": 0, "peak_kib": 0, "slowest_s": 0.0}

    @classmethod
    def tearDownClass(cls):
        shutil.rmtree(cls.dir, ignore_errors=True)
        print(f"\n{cls.__name__}: {cls.figures}")

    def path(self, name):
        return os.path.join(self.dir, name)

    def run_document(self, name, data, args=()):
        """Writes and runs one document; returns (status, stdout, stderr, result or None)."""
        with open(self.path(name), "wb") as f:
            f.write(data)
        out = self.path(name + ".json")
        if os.path.exists(out):
            os.remove(out)
        status, stdout, stderr, peak, seconds = run_ocr(["-i", self.path(name), "-o", out, *args])
        where = f"{name}: status {status}, stderr {stderr[:300]!r}, {peak} KiB, {seconds:.1f} s"
        figures = type(self).figures
        figures["runs"] += 1
        figures[f"exit{status}"] = figures.get(f"exit{status}", 0) + 1
        figures["peak_kib"] = max(figures["peak_kib"], peak)
        figures["slowest_s"] = round(max(figures["slowest_s"], seconds), 2)
        self.assertLess(seconds, TIME_LIMIT_S, "hung: " + where)
        self.assertGreaterEqual(status, 0, "killed by a signal: " + where)
        self.assertIn(status, (0, 1), where)
        if not os.environ.get("MOREL_SANITIZED_BUILD"):
            # Under the sanitizers the shadow memory makes the figure meaningless.
            self.assertLess(peak, MEMORY_LIMIT_KIB, "too much memory: " + where)
        result = None
        if status == 0:
            self.assertTrue(os.path.exists(out), "exit 0 without a result file: " + where)
            with open(out, "rb") as f:
                result = json.loads(f.read().decode("utf-8"))
            self.assertIsInstance(result.get("ParsedResults"), list, where)
            self.assertEqual(stderr, b"", where)
        else:
            self.assertFalse(os.path.exists(out), "a result file after a failure: " + where)
        return status, stdout, stderr, result, where

    def check_image(self, name, data):
        status, stdout, stderr, result, where = self.run_document(name, data)
        self.assertEqual(stdout, b"", where)
        if status == 1:
            self.assertEqual(stderr, IMAGE_FAILURE, where)
        else:
            self.assertEqual(len(result["ParsedResults"]), 1, where)

    def check_pdf(self, name, data, args=()):
        status, stdout, stderr, result, where = self.run_document(name, data, args)
        progress = PROGRESS.findall(stdout)
        self.assertEqual(PROGRESS.sub(b"", stdout), b"", "unexpected standard output: " + where)
        if status == 1:
            self.assertTrue(any(p.fullmatch(stderr) for p in PDF_FAILURES),
                            "not a documented message: " + where)
        else:
            self.assertEqual(len(result["ParsedResults"]), len(progress), where)
        return status, progress, result


# The image files the damage is done to: extension -> PIL format and save options.
IMAGE_FORMATS = {"png": ("PNG", {}), "jpg": ("JPEG", {"quality": 90}),
                 "tif": ("TIFF", {"compression": "tiff_lzw"})}


def image_file(fmt):
    name, options = IMAGE_FORMATS[fmt]
    return encoded(text_image(), name, **options)


class DamagedImagesTest(Documents):
    def damaged(self, fmt):
        data = image_file(fmt)
        for label, variant in truncations(data) + bit_flips(data):
            with self.subTest(fmt=fmt, variant=label):
                self.check_image(f"{label}.{fmt}", variant)

    def test_png(self):
        self.damaged("png")

    def test_jpeg(self):
        self.damaged("jpg")

    def test_tiff(self):
        self.damaged("tif")

    def test_the_undamaged_images_are_read(self):
        # The damage tests mean something only if the same files, whole, are recognised.
        for fmt in IMAGE_FORMATS:
            data = image_file(fmt)
            status, _, _, result, where = self.run_document(f"whole.{fmt}", data)
            self.assertEqual(status, 0, where)
            text = " ".join(p["ParsedText"] for p in result["ParsedResults"])
            self.assertIn("Hostile", text, where)


class HugeHeadersTest(Documents):
    def test_png_announcing_60000_square(self):
        status, _, stderr, _, where = self.run_document("huge.png", png_announcing(60000, 60000))
        self.assertEqual((status, stderr), (1, IMAGE_FAILURE), where)

    def test_jpeg_announcing_60000_square(self):
        # A real small JPEG whose frame header is rewritten to 60000 x 60000.
        data = bytearray(encoded(text_image(), "JPEG", quality=90))
        sof = data.find(b"\xff\xc0")
        self.assertGreater(sof, 0)
        data[sof + 5:sof + 9] = struct.pack(">HH", 60000, 60000)
        status, _, stderr, _, where = self.run_document("huge.jpg", bytes(data))
        self.assertEqual((status, stderr), (1, IMAGE_FAILURE), where)

    def test_tiff_announcing_60000_square(self):
        data = bytearray(encoded(text_image(), "TIFF"))
        # Rewrite the ImageWidth (256) and ImageLength (257) entries of the first directory.
        ifd = struct.unpack("<I", data[4:8])[0]
        entries = struct.unpack("<H", data[ifd:ifd + 2])[0]
        for i in range(entries):
            at = ifd + 2 + 12 * i
            tag, kind = struct.unpack("<HH", data[at:at + 4])
            if tag in (256, 257):
                if kind == 3:
                    data[at + 8:at + 10] = struct.pack("<H", 60000)
                else:
                    data[at + 8:at + 12] = struct.pack("<I", 60000)
        status, _, stderr, _, where = self.run_document("huge.tif", bytes(data))
        self.assertEqual((status, stderr), (1, IMAGE_FAILURE), where)

    def test_pdf_page_200_inches_square(self):
        path = self.path("giant.pdf")
        write_giant_pdf(path)
        with open(path, "rb") as f:
            data = f.read()
        status, progress, _ = self.check_pdf("giant.pdf", data)
        self.assertEqual(status, 1)
        self.assertEqual(progress, [(b"1", b"1")])


class DamagedPdfTest(Documents):
    def test_damaged_pdfs(self):
        path = self.path("source.pdf")
        write_pdf(path, [page(200, 100, "Hostile PDF"), page(200, 100, "Second page")])
        with open(path, "rb") as f:
            data = f.read()
        status, progress, result = self.check_pdf("whole.pdf", data)
        self.assertEqual((status, len(progress)), (0, 2))
        self.assertIn("Hostile", result["ParsedResults"][0]["ParsedText"])
        for label, variant in truncations(data) + bit_flips(data, seeds=8):
            with self.subTest(variant=label):
                self.check_pdf(f"{label}.pdf", variant)


class ManyPagesTest(Documents):
    PAGES = 3000

    @classmethod
    def setUpClass(cls):
        super().setUpClass()
        # Both tests read the same document; writing 3000 pages once is enough.
        path = os.path.join(cls.dir, "many-source.pdf")
        write_pdf(path, [page(36, 36)] * cls.PAGES)
        with open(path, "rb") as f:
            cls.many = f.read()

    def test_thousands_of_empty_pages(self):
        status, progress, result = self.check_pdf("many.pdf", self.many)
        self.assertEqual(status, 0)
        self.assertEqual(len(progress), self.PAGES)
        self.assertEqual(progress[-1], (str(self.PAGES).encode(), str(self.PAGES).encode()))
        self.assertTrue(all(p["ParsedText"] == "" for p in result["ParsedResults"]))

    def test_one_page_of_thousands(self):
        status, progress, result = self.check_pdf("one-of-many.pdf", self.many,
                                                  ["--pdf-page", "2999"])
        self.assertEqual(status, 0)
        self.assertEqual(progress, [(b"2999", str(self.PAGES).encode())])


if __name__ == "__main__":
    unittest.main()
