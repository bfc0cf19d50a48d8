"""Test documents made from known text: born-digital PDFs and rendered images."""

import struct
import zlib

from PIL import Image, ImageDraw, ImageFont

DEJAVU = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf"
NOTO_CJK = "/usr/share/fonts/opentype/noto/NotoSansCJK-Regular.ttc"


def _pdf_string(text):
    return "(" + text.replace("\\", "\\\\").replace("(", "\\(").replace(")", "\\)") + ")"


def write_pdf(path, pages):
    """Writes a PDF whose pages are dicts with 'media' (x1, y1, x2, y2), optional 'rotate'
    and 'lines': (x, y, size, text) drawn in Helvetica (WinAnsi, Latin-1 text only)."""
    objects = []  # bodies, object number = index + 1

    def add(body):
        objects.append(body)
        return len(objects)

    font = add(b"<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica "
               b"/Encoding /WinAnsiEncoding >>")
    pages_number = len(objects) + 1 + 2 * len(pages)  # reserved below
    page_numbers = []
    for page in pages:
        ops = []
        for x, y, size, text in page.get("lines", []):
            ops.append("BT /F1 %g Tf %g %g Td %s Tj ET" % (size, x, y, _pdf_string(text)))
        content = "\n".join(ops).encode("latin-1")
        stream = zlib.compress(content)
        contents = add(b"<< /Length %d /Filter /FlateDecode >>\nstream\n" % len(stream) +
                       stream + b"\nendstream")
        x1, y1, x2, y2 = page["media"]
        extra = b""
        if page.get("rotate"):
            extra = b" /Rotate %d" % page["rotate"]
        page_numbers.append(add(
            b"<< /Type /Page /Parent %d 0 R /MediaBox [%g %g %g %g]%s "
            b"/Resources << /Font << /F1 %d 0 R >> >> /Contents %d 0 R >>"
            % (pages_number, x1, y1, x2, y2, extra, font, contents)))
    kids = b" ".join(b"%d 0 R" % n for n in page_numbers)
    assert add(b"<< /Type /Pages /Kids [%s] /Count %d >>" % (kids, len(pages))) == pages_number
    catalog = add(b"<< /Type /Catalog /Pages %d 0 R >>" % pages_number)

    out = bytearray(b"%PDF-1.4\n%\xe2\xe3\xcf\xd3\n")
    offsets = []
    for number, body in enumerate(objects, start=1):
        offsets.append(len(out))
        out += b"%d 0 obj\n" % number + body + b"\nendobj\n"
    xref = len(out)
    out += b"xref\n0 %d\n0000000000 65535 f \n" % (len(objects) + 1)
    for offset in offsets:
        out += b"%010d 00000 n \n" % offset
    out += b"trailer\n<< /Size %d /Root %d 0 R >>\nstartxref\n%d\n%%%%EOF\n" % (
        len(objects) + 1, catalog, xref)
    with open(path, "wb") as f:
        f.write(bytes(out))


def render_lines(lines, size, background=(255, 255, 255), color=(0, 0, 0), font=DEJAVU,
                 font_index=0):
    """An RGB image of the lines (x, y, pixel size, text); returns the image and the true
    box (left, top, right, bottom) of every space-separated word, line by line."""
    image = Image.new("RGB", size, background)
    draw = ImageDraw.Draw(image)
    boxes = []
    for x, y, px, text in lines:
        face = ImageFont.truetype(font, px, index=font_index)
        draw.text((x, y), text, font=face, fill=color)
        line_boxes = []
        offset = 0
        for word in text.split(" "):
            if word:
                start = face.getlength(text[:offset])
                left, top, right, bottom = face.getbbox(word)
                line_boxes.append((word, (x + start + left, y + top, x + start + right,
                                          y + bottom)))
            offset += len(word) + 1
        boxes.append(line_boxes)
    return image, boxes


def png_chunk(kind, data):
    """One PNG chunk: length, type, data and the CRC over type and data."""
    return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))


def png_announcing(width, height):
    """A valid PNG header announcing width x height 8-bit RGB pixels, with almost no data: a
    decoder that trusts the header before reading the data would allocate the whole image."""
    ihdr = struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + png_chunk(b"IHDR", ihdr) +
            png_chunk(b"IDAT", zlib.compress(b"\0" * 4096)) + png_chunk(b"IEND", b""))


def write_giant_pdf(path):
    """One empty page 200 inches square: at 300 dpi a 3.6 GB bitmap, which must be refused
    before it is allocated."""
    write_pdf(path, [{"media": (0, 0, 14400, 14400), "lines": []}])


def banded_page(path, scale=1):
    """A web page of six 16 px paragraphs on bands of their own, at a device scale: white,
    pale blue, a dark navy band with light text, cream, grey and pale green; returns its
    lines."""
    words = ("market energy garden child part report person network government day world "
             "chapter history family water money story student month lot right study book eye "
             "job word business issue side kind head house service friend father power hour "
             "game line end member law car city community name president team").split()
    bands = [((255, 255, 255), (33, 33, 33)), ((232, 240, 254), (25, 60, 140)),
             ((31, 41, 55), (229, 231, 235)), ((255, 248, 225), (120, 60, 0)),
             ((238, 238, 238), (60, 60, 60)), ((232, 245, 233), (27, 94, 32))]
    s = scale
    face = ImageFont.truetype(DEJAVU, 16 * s)
    image = Image.new("RGB", (1000 * s, 6 * 80 * s), (255, 255, 255))
    draw = ImageDraw.Draw(image)
    lines = []
    for index, (background, ink) in enumerate(bands):
        top = 80 * index * s
        draw.rectangle([0, top, 1000 * s - 1, top + 80 * s - 1], fill=background)
        text = [words[(7 * index + i) % len(words)] for i in range(22)]
        for row, part in enumerate((text[:14], text[14:])):
            draw.text((40 * s, top + (16 + 24 * row) * s), " ".join(part), font=face, fill=ink)
            lines.append(" ".join(part))
    image.save(path)
    return lines


def package_table(path, style="rules", scale=1):
    """A table of packages whose columns stand far apart, as the recogniser reads column by
    column, at a device scale. style: "rules" between its rows and columns, "cells" each
    framed on its own, or "zebra" rows without rules. Returns its rows' words."""
    rows = [("Package", "Version", "Description"),
            ("curl", "8.5.0", "command line tool for transferring data"),
            ("git", "2.43.0", "fast distributed version control"),
            ("nginx", "1.24.0", "small powerful web server"),
            ("python3", "3.12.3", "interactive high-level language"),
            ("vim", "9.1", "improved vi text editor")]
    s = scale
    face = ImageFont.truetype(DEJAVU, 15 * s)
    widths, height, left, top = [160 * s, 140 * s, 380 * s], 34 * s, 40 * s, 40 * s
    image = Image.new("RGB", (sum(widths) + 80 * s, height * len(rows) + 80 * s),
                      (255, 255, 255))
    draw = ImageDraw.Draw(image)
    for r, row in enumerate(rows):
        x, y = left, top + r * height
        if style == "zebra" and r % 2 == 1:
            draw.rectangle([x, y, x + sum(widths) - 1, y + height - 1], fill=(242, 242, 242))
        for width, text in zip(widths, row):
            if style == "cells":
                draw.rectangle([x + 2 * s, y + 2 * s, x + width - 2 * s, y + height - 2 * s],
                               outline=(153, 153, 153), width=s)
            draw.text((x + 10 * s, y + 8 * s), text, font=face, fill=(30, 30, 30))
            x += width
    if style == "rules":
        for r in range(len(rows) + 1):
            draw.line([(left, top + r * height), (left + sum(widths), top + r * height)],
                      fill=(60, 60, 60), width=s)
        x = left
        for width in [0] + widths:
            x += width
            draw.line([(x, top), (x, top + height * len(rows))], fill=(60, 60, 60), width=s)
    image.save(path)
    return [" ".join(row).split() for row in rows]


def chips_and_flowchart(path, scale=1):
    """Tags in rounded chips, and a flowchart of rounded boxes joined by arrows, at a
    device scale; returns its words."""
    s = scale
    face = ImageFont.truetype(DEJAVU, 13 * s)
    image = Image.new("RGB", (760 * s, 200 * s), (255, 255, 255))
    draw = ImageDraw.Draw(image)
    words = []
    x = 20 * s
    for tag in ("python", "linux", "networking", "beginner", "tutorial", "open source"):
        width = face.getlength(tag) + 20 * s
        draw.rounded_rectangle([x, 20 * s, x + width, 46 * s], radius=13 * s,
                               fill=(232, 238, 252), outline=(110, 130, 200), width=s)
        draw.text((x + 10 * s, 25 * s), tag, font=face, fill=(30, 50, 120))
        words += tag.split()
        x += width + 12 * s
    x = 20 * s
    for i, step in enumerate(("Start", "Read input", "Validate", "Save record", "Done")):
        width = face.getlength(step) + 32 * s
        top = (100 if i % 2 == 0 else 130) * s
        draw.rounded_rectangle([x, top, x + width, top + 36 * s], radius=18 * s,
                               outline=(0, 0, 0), width=2 * s)
        draw.text((x + 16 * s, top + 10 * s), step, font=face, fill=(0, 0, 0))
        words += step.split()
        if i < 4:
            # An elbow to the next step, its arrowhead at the next box.
            y0, y1 = top + 18 * s, (130 if i % 2 == 0 else 100) * s + 18 * s
            mid = x + width + 14 * s
            draw.line([(x + width, y0), (mid, y0), (mid, y1), (mid + 14 * s, y1)],
                      fill=(0, 0, 0), width=2 * s, joint="curve")
            draw.polygon([(mid + 14 * s, y1), (mid + 6 * s, y1 - 5 * s),
                          (mid + 6 * s, y1 + 5 * s)], fill=(0, 0, 0))
        x += width + 28 * s
    image.save(path)
    return words
