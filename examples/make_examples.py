#!/usr/bin/env python3
"""Regenerates the bundled examples: a web-page screenshot and a one-page letter PDF."""

import os
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "tests", "integration", "ocr"))
import documents  # noqa: E402

image, _ = documents.render_lines(
    [(16, 14, 16, "Morel Outdoor Supplies"),
     (16, 48, 13, "Free delivery on orders over 25 euros until Friday."),
     (16, 72, 13, "Lightweight tent (2 persons) - 149.00 EUR"),
     (16, 96, 12, "Sign in to see your orders, or create an account.")],
    (520, 124), background=(232, 240, 254), color=(25, 60, 140))
image.save(os.path.join(HERE, "web_page.png"), optimize=True)

documents.write_pdf(os.path.join(HERE, "letter.pdf"), [{
    "media": (0, 0, 612, 792),
    "lines": [(72, 720, 14, "Order confirmation"),
              (72, 690, 11, "Thank you for your order of 12 March 2024."),
              (72, 674, 11, "Your parcel will be shipped within two working days."),
              (72, 658, 11, "Total amount: 149.00 EUR")]}])
