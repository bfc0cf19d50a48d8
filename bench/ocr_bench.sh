#!/usr/bin/env bash
# Whole-program figures for ocr (see the README's "ocr figures" section).
# Usage: bench/ocr_bench.sh <build-dir> [--runs N] [--only page_image|pdf_page|levels|thread_limit|memory]
set -euo pipefail
build="${1:-build}"
shift || true
exec /usr/bin/python3 "$(dirname "$0")/ocr_bench.py" "$build/ocr/ocr" "$@"
