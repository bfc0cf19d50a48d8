#!/usr/bin/env python3
"""How the recogniser's clean-up of ruling lines and filled boxes treats text: images of the
characters most like rules (dashes, l, I, |, brackets, underscores, box glyphs) in several
fonts, at 8 to 32 px on screen and 6 to 24 pt at 300 DPI, dark on light and light on dark,
must come out unchanged. Prints every image the clean-up changed, and a summary.

Usage: ocr_rules.py <build dir> [--limit name=value ...]"""

import argparse
import os
import subprocess
import sys
import tempfile

from PIL import Image, ImageDraw, ImageFont

FONTS = ["/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf",
         "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf",
         "/usr/share/fonts/truetype/dejavu/DejaVuSerif.ttf",
         "/usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf",
         "/usr/share/fonts/opentype/urw-base35/NimbusSans-Regular.otf",
         "/usr/share/fonts/opentype/urw-base35/NimbusSans-Bold.otf",
         "/usr/share/fonts/opentype/urw-base35/NimbusRoman-Regular.otf",
         "/usr/share/fonts/opentype/urw-base35/NimbusMonoPS-Regular.otf"]

# The strokes most like rules, alone and in runs, inside ordinary words.
# (Two- and three-em dash characters are left out: most fonts lack them and draw a box.)
LINES = ["Long dashes \u2014 like this \u2014\u2014 and \u2014\u2014\u2014, en \u2013 dash",
         "lll Ill |||| ! 1 [ ] { } ( ) / \\ 111 llI IIl H E T L F",
         "Fill in: ___ and ====== or ------ then ~~~ and \u2026 ...",
         "Hello World, small print: quiet illicit Illinois 1,111.11"]
BOX_GLYPHS = "Boxes \u25a1 \u2610 \u25ad \u25af"

SCREEN_SIZES = [8, 11, 13, 16, 20, 24, 28, 32]  # px at 96 DPI
PRINT_SIZES = [6, 8, 10, 12, 16, 20, 24]  # pt at 300 DPI


def render(path, font_path, px, text_lines, dark, dpi):
    face = ImageFont.truetype(font_path, px)
    width = max(int(face.getlength(t)) for t in text_lines) + 2 * px
    height = int(len(text_lines) * px * 1.8) + 2 * px
    background, ink = ((34, 34, 34), (240, 240, 240)) if dark else ((255, 255, 255), (20, 20, 20))
    image = Image.new("RGB", (width, height), background)
    draw = ImageDraw.Draw(image)
    for row, text in enumerate(text_lines):
        draw.text((px, px + row * px * 1.8), text, font=face, fill=ink)
    image.save(path, dpi=(dpi, dpi))


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("build")
    parser.add_argument("--limit", action="append", default=[])
    parser.add_argument("--boxes", action="store_true", help="also the box glyphs")
    args = parser.parse_args()
    probe = os.path.join(args.build, "bench", "ruled_page_probe")
    limits = [a for limit in args.limit for a in ("--limit", limit)]
    text = LINES + ([BOX_GLYPHS] if args.boxes else [])
    total = changed = 0
    with tempfile.TemporaryDirectory() as folder:
        for dpi, sizes, unit in ((96, SCREEN_SIZES, 1), (300, PRINT_SIZES, 300 / 72)):
            images = []
            for font in FONTS:
                if not os.path.exists(font):
                    continue
                for size in sizes:
                    for dark in (False, True):
                        name = "%s-%d%s-%s.png" % (os.path.basename(font).split(".")[0], size,
                                                   "px" if dpi == 96 else "pt",
                                                   "dark" if dark else "light")
                        path = os.path.join(folder, name)
                        render(path, font, int(round(size * unit)), text, dark, dpi)
                        images.append(path)
            result = subprocess.run([probe, *limits, str(dpi), *images], check=True,
                                    capture_output=True, text=True).stdout
            for line in result.splitlines():
                total += 1
                if " changed=0 " not in line:
                    changed += 1
                    print("changed:", os.path.basename(line))
    print("glyph images changed: %d of %d" % (changed, total))
    return 1 if changed else 0


if __name__ == "__main__":
    sys.exit(main())
