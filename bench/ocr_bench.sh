#!/usr/bin/env bash
# Whole-program figures for ocr (see the README's "ocr figures" section).
# Usage: bench/ocr_bench.sh <build-dir> [--runs N] [--baseline OCR]
#        [--only page_image,pdf_page,levels,thread_limit,ruled,plain,dense,small,pages,memory,web_ui]
# Then the clean-up of rules measured on glyph images (bench/ocr_rules.py).
set -euo pipefail
build="${1:-build}"
shift || true
/usr/bin/python3 "$(dirname "$0")/ocr_bench.py" "$build/ocr/ocr" "$@"
if [ -x "$build/bench/ruled_page_probe" ]; then
  /usr/bin/python3 "$(dirname "$0")/ocr_rules.py" "$build"
fi
