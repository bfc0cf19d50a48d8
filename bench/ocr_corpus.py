"""Documents with known text for the ocr benchmarks: web-page screenshots (text 11-16 px
on coloured backgrounds) and a US-Letter page at 300 DPI, both as images and as PDF."""

import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "tests", "integration", "ocr"))
import documents  # noqa: E402

SANS = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf"
SERIF = "/usr/share/fonts/truetype/dejavu/DejaVuSerif.ttf"

SENTENCES = [
    "Sign in to your account to continue shopping",
    "Free delivery on orders over 25 euros until Friday",
    "Product details and customer reviews (4.5 out of 5)",
    "Your order #48213 has been shipped on 12 March 2024",
    "Privacy policy, terms of use and cookie settings",
    "Search results for wireless headphones: 1,284 items",
    "Add to basket - only 3 left in stock, order soon!",
    "Frequently asked questions about returns and refunds",
    "Subscribe to our newsletter for weekly offers",
    "The quick brown fox jumps over the lazy dog 0123456789",
]

# (background, text colour) pairs seen on web pages.
THEMES = [((255, 255, 255), (33, 33, 33)), ((232, 240, 254), (25, 60, 140)),
          ((245, 245, 245), (90, 90, 90)), ((255, 248, 225), (120, 60, 0)),
          ((34, 34, 34), (240, 240, 240)), ((0, 102, 204), (255, 255, 255))]


def screenshots(folder):
    """Writes shot-<px>.png for text heights 11 to 16 px; returns [(path, truth)]."""
    out = []
    for index, px in enumerate(range(11, 17)):
        background, color = THEMES[index % len(THEMES)]
        font = SANS if index % 2 == 0 else SERIF
        lines = [(12, 10 + row * int(px * 2.2), px, SENTENCES[(row + index) % len(SENTENCES)])
                 for row in range(8)]
        image, _ = documents.render_lines(lines, (1280, 24 + 8 * int(px * 2.2)), background,
                                          color, font)
        path = os.path.join(folder, "shot-%d.png" % px)
        image.save(path)
        out.append((path, "\n".join(text for _, _, _, text in lines)))
    return out


def small_screenshots(folder):
    """Writes small-<px>-<font>.png, 8 lines of 9, 10 and 11 px text in sans and serif on the
    first two themes: the text accurate enlarges whole. Returns [(name, path, truth)]."""
    out = []
    for index, px in enumerate((9, 10, 11)):
        for variant, font in enumerate((SANS, SERIF)):
            background, color = THEMES[variant]
            lines = [(12, 10 + row * int(px * 2.2), px,
                      SENTENCES[(row + index + variant) % len(SENTENCES)]) for row in range(8)]
            image, _ = documents.render_lines(lines, (1280, 24 + 8 * int(px * 2.2)), background,
                                              color, font)
            name = "%d px %s" % (px, "sans" if font == SANS else "serif")
            path = os.path.join(folder, "small-%d-%d.png" % (px, variant))
            image.save(path)
            out.append((name, path, "\n".join(text for _, _, _, text in lines)))
    return out


def page_lines():
    return [(72, 720 - row * 20, 12, SENTENCES[row % len(SENTENCES)]) for row in range(30)]


def small_print_lines():
    """40 lines at 8 pt: the smallest common print, which bounds how far fast may shrink."""
    return [(72, 720 - row * 14, 8, SENTENCES[row % len(SENTENCES)]) for row in range(40)]


def page_pdf(path, pages=1, lines=None):
    lines = lines or page_lines()
    documents.write_pdf(path, [{"media": (0, 0, 612, 792), "lines": lines}] * pages)
    return "\n".join(text for _, _, _, text in lines)


def small_print_pdf(path):
    return page_pdf(path, lines=small_print_lines())


def page_image(path):
    """The PDF page's text drawn at 300 DPI (12 pt = 50 px) as a PNG that declares 300 DPI."""
    lines = [(x * 300 / 72, (792 - y - 10) * 300 / 72, 50, text) for x, y, _, text in page_lines()]
    image, _ = documents.render_lines(lines, (2550, 3300))
    image.save(path, dpi=(300, 300))
    return "\n".join(text for _, _, _, text in page_lines())
