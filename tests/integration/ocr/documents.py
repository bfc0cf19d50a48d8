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
