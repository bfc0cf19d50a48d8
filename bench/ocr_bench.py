#!/usr/bin/env python3
"""Whole-program figures for ocr (not tests): speed against the tuned tesseract command,
fast against accurate, the OpenMP thread limit, and peak memory on a long PDF.

Usage: ocr_bench.py <path to the built ocr> [--runs N] [--only NAME]"""

import argparse
import os
import resource
import statistics
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(__file__))
import ocr_cer  # noqa: E402
import ocr_corpus  # noqa: E402

TUNED = dict(os.environ, OMP_THREAD_LIMIT="1")
UNTUNED = {k: v for k, v in os.environ.items() if k != "OMP_THREAD_LIMIT"}


def timed(command, env, runs, warm_up=True):
    """Median wall time and median CPU time (user + system, children included) of runs
    executions after one warm-up. CPU time is the steadier figure on a shared machine."""
    if warm_up:
        subprocess.run(command, env=env, check=True, capture_output=True)
    walls, cpus = [], []
    for _ in range(runs):
        before = resource.getrusage(resource.RUSAGE_CHILDREN)
        start = time.perf_counter()
        subprocess.run(command, env=env, check=True, capture_output=True)
        walls.append(time.perf_counter() - start)
        after = resource.getrusage(resource.RUSAGE_CHILDREN)
        cpus.append(after.ru_utime - before.ru_utime + after.ru_stime - before.ru_stime)
    return Timing(statistics.median(walls), statistics.median(cpus))


class Timing:
    def __init__(self, wall, cpu):
        self.wall = wall
        self.cpu = cpu

    def add(self, other):
        self.wall += other.wall
        self.cpu += other.cpu

    def __str__(self):
        return "%.2f s wall / %.2f s CPU" % (self.wall, self.cpu)

    def ratio(self, other):
        return "wall ratio %.2f, CPU ratio %.2f" % (self.wall / other.wall, self.cpu / other.cpu)


def tesseract_text(out_base):
    with open(out_base + ".txt", encoding="utf-8") as f:
        return f.read()


def bench_page_image(ocr, folder, runs):
    page = os.path.join(folder, "page.png")
    truth = ocr_corpus.page_image(page)
    out = os.path.join(folder, "out.json")
    out_base = os.path.join(folder, "t")
    ours = timed([ocr, "-i", page, "-o", out], TUNED, runs)
    theirs = timed(["tesseract", page, out_base], TUNED, runs)
    # The texts are those the timed runs left behind: a run more would only repeat them.
    ours_text = ocr_cer.text_of_result(out)
    same = ocr_cer.normalize(ours_text) == ocr_cer.normalize(tesseract_text(out_base))
    print("page image 2550x3300 @300 DPI: ocr %s; OMP_THREAD_LIMIT=1 tesseract %s; %s; "
          "same text: %s; CER %.2f%%" % (ours, theirs, ours.ratio(theirs), same,
                                         100 * ocr_cer.cer(ours_text, truth)))


def bench_pdf_page(ocr, folder, runs):
    pdf = os.path.join(folder, "page.pdf")
    ocr_corpus.page_pdf(pdf)
    out = os.path.join(folder, "out.json")
    ours = timed([ocr, "-i", pdf, "-o", out], TUNED, runs)
    script = ("pdftoppm -r 300 -png -singlefile '%s' '%s/r' && tesseract '%s/r.png' '%s/r' "
              "--dpi 300" % (pdf, folder, folder, folder))
    theirs = timed(["bash", "-c", script], TUNED, runs)
    print("PDF Letter page: ocr %s; pdftoppm -r 300 + tuned tesseract %s; %s" %
          (ours, theirs, ours.ratio(theirs)))


def bench_levels(ocr, folder, runs):
    """fast against accurate per document type and over the whole corpus. The two levels are
    run alternately on each document, so that both see the same load on a shared machine."""
    pdf = os.path.join(folder, "page.pdf")
    pdf_truth = ocr_corpus.page_pdf(pdf)
    page = os.path.join(folder, "page.png")
    page_truth = ocr_corpus.page_image(page)
    small = os.path.join(folder, "small.pdf")
    small_truth = ocr_corpus.small_print_pdf(small)
    # (name, documents, counted in the whole-corpus totals)
    sets = [("PDF Letter page", [(pdf, pdf_truth)], True),
            ("page image 300 DPI", [(page, page_truth)], True),
            ("6 screenshots 11-16 px", ocr_corpus.screenshots(folder), True),
            ("PDF page of 8 pt print (not in the totals)", [(small, small_truth)], False)]
    modes = ("accurate", "fast")
    # One output per mode, so each mode's text can be read after the runs that timed it.
    outs = {mode: os.path.join(folder, "out-%s.json" % mode) for mode in modes}
    corpus = {mode: Timing(0, 0) for mode in modes}
    for name, docs, in_totals in sets:
        row = {mode: Timing(0, 0) for mode in modes}
        errors = {mode: [] for mode in modes}
        for path, truth in docs:
            commands = {mode: [ocr, "-i", path, "-o", outs[mode], "-m", mode] for mode in modes}
            for command in commands.values():
                subprocess.run(command, env=TUNED, check=True, capture_output=True)
            samples = {mode: [] for mode in modes}
            for _ in range(runs):
                for mode in modes:
                    samples[mode].append(timed(commands[mode], TUNED, 1, warm_up=False))
            for mode in modes:
                row[mode].add(Timing(statistics.median(t.wall for t in samples[mode]),
                                     statistics.median(t.cpu for t in samples[mode])))
                errors[mode].append(ocr_cer.cer(ocr_cer.text_of_result(outs[mode]), truth))
        if in_totals:
            for mode in modes:
                corpus[mode].add(row[mode])
        cer = {mode: 100 * sum(errors[mode]) / len(errors[mode]) for mode in modes}
        print("%s: accurate %s CER %.2f%%; fast %s CER %.2f%%; fast is %.2fx faster (wall), "
              "%.2fx (CPU)" % (name, row["accurate"], cer["accurate"], row["fast"], cer["fast"],
                               row["accurate"].wall / row["fast"].wall,
                               row["accurate"].cpu / row["fast"].cpu))
        sys.stdout.flush()
    print("whole corpus (PDF page, page image, 6 screenshots): accurate %s; fast %s; fast is "
          "%.2fx faster (wall), %.2fx (CPU)" % (corpus["accurate"], corpus["fast"],
                                                corpus["accurate"].wall / corpus["fast"].wall,
                                                corpus["accurate"].cpu / corpus["fast"].cpu))


def bench_thread_limit(ocr, folder, runs):
    page = os.path.join(folder, "page.png")
    ocr_corpus.page_image(page)
    out = os.path.join(folder, "out.json")
    with_limit = timed([ocr, "-i", page, "-o", out], TUNED, runs)
    no_limit = timed([ocr, "-i", page, "-o", out], UNTUNED, runs)
    bad_limit = timed([ocr, "-i", page, "-o", out], dict(UNTUNED, OMP_THREAD_LIMIT="8"), runs)
    untuned = timed(["tesseract", page, os.path.join(folder, "t")], UNTUNED, 1)
    print("OpenMP: ocr with OMP_THREAD_LIMIT=1 %s; unset %s; =8 %s; tesseract with it unset "
          "%s" % (with_limit, no_limit, bad_limit, untuned))


def bench_memory(ocr, folder, runs):
    del runs
    pdf = os.path.join(folder, "long.pdf")
    ocr_corpus.page_pdf(pdf, pages=20)
    out = os.path.join(folder, "out.json")
    one = os.path.join(folder, "one.pdf")
    ocr_corpus.page_pdf(one, pages=1)
    peaks = []
    for path in (one, pdf):
        result = subprocess.run(["/usr/bin/time", "-f", "%M %e", ocr, "-i", path, "-o", out,
                                 "-m", "fast"], env=TUNED, capture_output=True, text=True,
                                check=True)
        kib, seconds = result.stderr.strip().splitlines()[-1].split()
        peaks.append((int(kib) / 1024, float(seconds)))
    print("peak memory (fast): 1-page PDF %.0f MiB, 20-page PDF %.0f MiB (%.1f s); "
          "one Letter bitmap is 32 MiB" % (peaks[0][0], peaks[1][0], peaks[1][1]))


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("ocr")
    parser.add_argument("--runs", type=int, default=3)
    parser.add_argument("--only")
    args = parser.parse_args()
    benches = {"page_image": bench_page_image, "pdf_page": bench_pdf_page,
               "levels": bench_levels, "thread_limit": bench_thread_limit,
               "memory": bench_memory}
    with tempfile.TemporaryDirectory() as folder:
        for name, bench in benches.items():
            if args.only is None or args.only == name:
                bench(os.path.abspath(args.ocr), folder, args.runs)
                sys.stdout.flush()


if __name__ == "__main__":
    main()
