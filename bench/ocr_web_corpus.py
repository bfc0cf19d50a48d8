"""Web documents with known words for the ocr benchmarks, made by Chromium from local HTML:
a bordered table with wrapped cells, a form (labels, filled fields, buttons), a paragraph with
underlined links, and dense text screenshots. Each ruled document comes as a Letter PDF page
(printed) and as a 1x screenshot; the screenshots also come in a dark theme."""

import html
import os
import shutil
import subprocess
import tempfile

CHROMIUM = shutil.which("chromium") or "/usr/bin/chromium"
# No network, no profile state, nothing but the page.
FLAGS = ["--headless", "--no-sandbox", "--disable-gpu", "--no-first-run",
         "--disable-background-networking", "--disable-component-update", "--disable-sync",
         "--disable-default-apps", "--disable-extensions", "--force-color-profile=srgb",
         "--force-device-scale-factor=1", "--hide-scrollbars",
         "--host-resolver-rules=MAP * ~NOTFOUND", "--proxy-server=127.0.0.1:9"]

# Tables get the default black (light on dark) rules of a plain web table; fields and buttons
# the grey frames of a styled form.
LIGHT = {"background": "#ffffff", "text": "#202124", "rule": "#9aa0a6", "table_rule": "#000000",
         "accent": "#1a56c8", "field": "#ffffff", "button_text": "#ffffff"}
DARK = {"background": "#202124", "text": "#e8eaed", "rule": "#80868b", "table_rule": "#e8eaed",
        "accent": "#8ab4f8", "field": "#303134", "button_text": "#202124"}

TABLE_ROWS = [
    ("Order", "Customer", "Shipping address", "Status"),
    ("48213", "Maria Lopez", "12 Harbour Road, Leeds, United Kingdom", "Shipped on 12 March"),
    ("48214", "Jonas Weber", "Lindenstrasse 4, Berlin", "Waiting for payment"),
    ("48215", "Akira Tanaka", "3-1 Marunouchi, Chiyoda, Tokyo", "Delivered"),
    ("48216", "Claire Martin", "8 rue des Lilas, Lyon", "Returned by the customer"),
    ("48217", "Peter Novak", "Vinohradska 22, Prague, Czech Republic", "Packed"),
    ("48218", "Sofia Rossi", "Via Roma 101, Turin", "Cancelled on request"),
    ("48219", "Liam Murphy", "5 Grafton Street, Dublin", "Shipped on 14 March"),
]

FORM_FIELDS = [("First name", "Maria"), ("Last name", "Lopez"),
               ("Email address", "maria.lopez@example.org"),
               ("Street", "12 Harbour Road"), ("City", "Leeds"), ("Postcode", "LS1 4AB"),
               ("Phone", "0113 496 0123")]
FORM_BUTTONS = ["Save address", "Cancel"]

LINK_PARAGRAPHS = [
    [("Read our ", False), ("delivery terms", True), (" before you order. Returns are free "
     "within thirty days, and the ", False), ("returns form", True), (" explains every step. "
     "Questions about a parcel go to the ", False), ("help centre", True), (", where an agent "
     "answers within a day.", False)],
    [("New customers may ", False), ("create an account", True), (" or continue as a guest. "
     "Your data is handled as the ", False), ("privacy policy", True), (" describes, and you "
     "can change your ", False), ("cookie settings", True), (" at any time.", False)],
]

DENSE_TEXT = (
    "Online shops show long product descriptions, reviews and delivery information in "
    "small print. A customer compares the price of wireless headphones across several "
    "offers, reads how long the battery lasts, and checks whether the seller ships to "
    "their country before adding an item to the basket. Reviews mention comfort, sound "
    "quality and the noise cancelling, while the questions below them ask about spare "
    "ear cushions, the charging cable and the warranty period. Shipping costs depend on "
    "the weight of the parcel and the delivery speed chosen at checkout. Orders placed "
    "before noon usually leave the warehouse on the same day; the tracking number arrives "
    "by email once the parcel has been handed to the carrier. ")

CSS = """
body { margin: 24px; background: %(background)s; color: %(text)s; font: %(size)s %(family)s; }
table { border-collapse: collapse; width: 640px; }
td, th { border: 1px solid %(table_rule)s; padding: 4px 6px; text-align: left; vertical-align: top; }
table.separate { border-collapse: separate; border-spacing: 2px; }
table.separate td, table.separate th { padding: 1px; }
th { font-weight: bold; }
label { display: inline-block; width: 130px; }
.row { margin: 10px 0; }
input { font: inherit; color: %(text)s; background: %(field)s; border: 1px solid %(rule)s;
        border-radius: 3px; padding: 5px 8px; width: 260px; }
button { font: inherit; padding: 6px 14px; border-radius: 4px; margin-right: 10px; }
button.primary { background: %(accent)s; color: %(button_text)s; border: 1px solid %(accent)s; }
button.plain { background: %(background)s; color: %(text)s; border: 1px solid %(rule)s; }
a { color: %(accent)s; text-decoration: underline; }
p { max-width: 620px; line-height: 1.45; }
.dense p { max-width: none; margin: 0 0 10px 0; line-height: 1.35; }
"""


def _table(kind=""):
    cells = []
    for index, row in enumerate(TABLE_ROWS):
        tag = "th" if index == 0 else "td"
        cells.append("<tr>" + "".join("<%s>%s</%s>" % (tag, html.escape(c), tag) for c in row) +
                     "</tr>")
    words = " ".join(" ".join(row) for row in TABLE_ROWS)
    return "<table class='%s'>%s</table>" % (kind, "".join(cells)), words


def _separate_table():
    return _table("separate")


def _form():
    rows = ["<div class=row><label>%s</label><input value=\"%s\"></div>" %
            (html.escape(label), html.escape(value)) for label, value in FORM_FIELDS]
    buttons = ("<div class=row><label></label><button class=primary>%s</button>"
               "<button class=plain>%s</button></div>" % tuple(map(html.escape, FORM_BUTTONS)))
    words = " ".join("%s %s" % pair for pair in FORM_FIELDS) + " " + " ".join(FORM_BUTTONS)
    return "<form>%s%s</form>" % ("".join(rows), buttons), words


def _links():
    paragraphs, words = [], []
    for parts in LINK_PARAGRAPHS:
        body = "".join(("<a href=\"#\">%s</a>" if link else "%s") % html.escape(text)
                       for text, link in parts)
        paragraphs.append("<p>%s</p>" % body)
        words.append("".join(text for text, _ in parts))
    return "".join(paragraphs), " ".join(words)


RULED = {"table": _table, "table with cell borders": _separate_table, "form": _form,
         "links": _links}


def _page(body, theme, size="16px", family="'DejaVu Serif', serif", extra_class=""):
    style = CSS % dict(theme, size=size, family=family)
    return ("<!DOCTYPE html><html><head><meta charset=utf-8><style>%s</style></head>"
            "<body class='%s'>%s</body></html>" % (style, extra_class, body))


def _chromium(args, html_text):
    with tempfile.TemporaryDirectory() as scratch:
        page = os.path.join(scratch, "page.html")
        with open(page, "w", encoding="utf-8") as f:
            f.write(html_text)
        command = [CHROMIUM, *FLAGS, "--user-data-dir=" + os.path.join(scratch, "profile"),
                   *args, "file://" + page]
        subprocess.run(command, check=True, capture_output=True, timeout=120)


def screenshot(path, html_text, size):
    _chromium(["--screenshot=" + path, "--window-size=%d,%d" % size], html_text)


def print_pdf(path, html_text):
    _chromium(["--print-to-pdf=" + path, "--no-pdf-header-footer"], html_text)


def ruled_documents(folder):
    """[(name, path, true words)]: each ruled document as a PDF page (12 pt serif), a light
    1x screenshot and a dark 1x screenshot (15 px sans)."""
    out = []
    for name, make in RULED.items():
        body, words = make()
        slug = name.replace(" ", "-")
        pdf = os.path.join(folder, "%s.pdf" % slug)
        print_pdf(pdf, _page(body, LIGHT, size="12pt"))
        out.append(("%s PDF page" % name, pdf, words))
        for theme_name, theme in (("light", LIGHT), ("dark", DARK)):
            shot = os.path.join(folder, "%s-%s.png" % (slug, theme_name))
            screenshot(shot, _page(body, theme, size="15px",
                                   family="'DejaVu Sans', sans-serif"), (1024, 640))
            out.append(("%s screenshot, %s" % (name, theme_name), shot, words))
    return out


def dense_screenshot(path, size=(1920, 1080), px=14, family="'DejaVu Sans', sans-serif"):
    """A screenshot filled with paragraphs of px-pixel text; returns the true text, cut to
    what fits on the screen."""
    width, height = size
    chars_per_line = int((width - 48) / (px * 0.55))
    lines = int((height - 60) / (px * 1.35 + 2.5))
    text = (DENSE_TEXT * 40)[: chars_per_line * lines * 3 // 4]
    text = text[: text.rfind(" ")]
    body = "<div class=dense>%s</div>" % "".join(
        "<p>%s</p>" % html.escape(p) for p in _paragraphs(text, 600))
    screenshot(path, _page(body, LIGHT, size="%dpx" % px, family=family), size)
    return text


def _paragraphs(text, length):
    """text cut into paragraphs of about length characters, at spaces."""
    out, current = [], []
    for word in text.split(" "):
        current.append(word)
        if sum(len(w) + 1 for w in current) >= length:
            out.append(" ".join(current))
            current = []
    if current:
        out.append(" ".join(current))
    return out
