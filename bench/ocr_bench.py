#!/usr/bin/env python3
"""Whole-program figures for ocr (not tests): speed against the tuned tesseract command,
fast against accurate, the OpenMP thread limit, text inside rules and frames, dense
screenshots, small text, PDF pages on every core, peak memory, and web-interface documents
(dark bands, chips and diagrams, tables) in reading order.

Usage: ocr_bench.py <path to the built ocr> [--runs N] [--only NAME[,NAME]] [--baseline OCR]

--baseline names an ocr built from an earlier commit, shown beside the built one ("before").
The machine is shared: each figure says the load average it was taken at; CPU time (user +
system of the process and its children) is the steadier figure."""

import argparse
import json
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
import ocr_web_corpus  # noqa: E402

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "tests", "integration", "ocr"))
import documents  # noqa: E402

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


def timed_alternately(programs, env, runs, warm_up=True, after_first=None):
    """Median wall and CPU time of each (label, command) of programs, by label: the programs
    run in turn, runs rounds of them, so that each sees the same load on a shared machine.
    after_first(label), when given, is called after each program's first timed run."""
    if warm_up:
        for _, command in programs:
            subprocess.run(command, env=env, check=True, capture_output=True)
    samples = {label: [] for label, _ in programs}
    for round_ in range(runs):
        for label, command in programs:
            samples[label].append(timed(command, env, 1, warm_up=False))
            if round_ == 0 and after_first:
                after_first(label)
    return {label: Timing(statistics.median(t.wall for t in samples[label]),
                          statistics.median(t.cpu for t in samples[label]))
            for label, _ in programs}


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


def last_text(label, base, out):
    """The text of the last run of the program labelled label: tuned tesseract's text file
    (written next to base), or ocr's result document out."""
    return tesseract_text(base) if label in ("tesseract", "tuned tesseract") else \
        ocr_cer.text_of_result(out)


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
        words = {mode: [] for mode in modes}
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
                text = ocr_cer.text_of_result(outs[mode])
                errors[mode].append(ocr_cer.cer(text, truth))
                words[mode].append(ocr_cer.words_right(text, truth))
        if in_totals:
            for mode in modes:
                corpus[mode].add(row[mode])
        cer = {mode: 100 * sum(errors[mode]) / len(errors[mode]) for mode in modes}
        found = {mode: 100 * sum(words[mode]) / len(words[mode]) for mode in modes}
        print("%s: accurate %s CER %.2f%% words %.1f%%; fast %s CER %.2f%% words %.1f%%; fast is "
              "%.2fx faster (wall), %.2fx (CPU)" % (
                  name, row["accurate"], cer["accurate"], found["accurate"], row["fast"],
                  cer["fast"], found["fast"], row["accurate"].wall / row["fast"].wall,
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


def load():
    return "load average %s" % " ".join("%.2f" % v for v in os.getloadavg())


def one_core(command):
    """command restricted to the first CPU: the process sees one core, so ocr reads one page at
    a time with one engine."""
    return ["taskset", "-c", "0", *command]


def tesseract_words(path, out_base, env=TUNED):
    """The tuned tesseract command on an image, or pdftoppm -r 300 and it on a PDF page."""
    if path.endswith(".pdf"):
        subprocess.run(["pdftoppm", "-r", "300", "-png", "-singlefile", path, out_base],
                       check=True, capture_output=True)
        subprocess.run(["tesseract", out_base + ".png", out_base, "--dpi", "300"], env=env,
                       check=True, capture_output=True)
    else:
        subprocess.run(["tesseract", path, out_base], env=env, check=True, capture_output=True)
    return tesseract_text(out_base)


def ocr_text(ocr, path, out, mode="accurate"):
    subprocess.run([ocr, "-i", path, "-o", out, "-m", mode], env=TUNED, check=True,
                   capture_output=True)
    return ocr_cer.text_of_result(out)


def bench_ruled(ocr, folder, runs, baseline=None):
    """Words right, order ignored, on documents with rules, frames, filled buttons and
    underlined links, each as a Letter PDF page and as 1x screenshots (light and dark)."""
    del runs
    out = os.path.join(folder, "ruled.json")
    base = os.path.join(folder, "ruled-t")
    columns = ["ocr accurate", "ocr fast"] + (["before, accurate", "before, fast"] if baseline
                                              else []) + ["tuned tesseract"]
    print("words right, order ignored (%s)" % load())
    print("| Document | " + " | ".join(columns) + " |")
    print("|---|" + "---|" * len(columns))
    totals = {c: [0, 0] for c in columns}
    for name, path, truth in ocr_web_corpus.ruled_documents(folder):
        texts = [ocr_text(ocr, path, out), ocr_text(ocr, path, out, "fast")]
        if baseline:
            texts += [ocr_text(baseline, path, out), ocr_text(baseline, path, out, "fast")]
        texts.append(tesseract_words(path, base))
        cells = []
        words = len(truth.split())
        for column, text in zip(columns, texts):
            right = ocr_cer.words_right(text, truth)
            totals[column][0] += right * words
            totals[column][1] += words
            cells.append("%.1f %%" % (100 * right))
        print("| %s (%d words) | %s |" % (name, words, " | ".join(cells)))
        sys.stdout.flush()
    print("| all | %s |" % " | ".join("%.1f %%" % (100 * totals[c][0] / totals[c][1])
                                    for c in columns))


def bench_plain(ocr, folder, runs, baseline=None):
    """Documents without rules: CER and CPU time against the ocr named by --baseline, the two
    run alternately so that both see the same load."""
    if not baseline:
        print("plain documents: skipped (needs --baseline)")
        return
    pdf = os.path.join(folder, "plain.pdf")
    image = os.path.join(folder, "plain.png")
    sets = [("PDF Letter page", [(pdf, ocr_corpus.page_pdf(pdf))]),
            ("page image 300 DPI", [(image, ocr_corpus.page_image(image))]),
            ("6 screenshots 11-16 px", ocr_corpus.screenshots(folder))]
    out = os.path.join(folder, "plain.json")
    base = os.path.join(folder, "plain-t")
    print("plain documents, medians of %d alternated runs (%s)" % (runs, load()))
    for mode in ("accurate", "fast"):
        for name, docs in sets:
            # Screenshots are timed against tuned tesseract too (on images it reads itself).
            who_runs = [("now", ocr), ("before", baseline)]
            if mode == "accurate" and name.startswith("6 screenshots"):
                who_runs.append(("tesseract", None))
            row = {who: Timing(0, 0) for who, _ in who_runs}
            cer = {who: [] for who, _ in who_runs}
            for path, truth in docs:
                timings = timed_alternately(
                    [(who, ["tesseract", path, base] if program is None
                      else [program, "-i", path, "-o", out, "-m", mode])
                     for who, program in who_runs],
                    TUNED, runs, warm_up=False,
                    after_first=lambda who: cer[who].append(
                        ocr_cer.cer(last_text(who, base, out), truth)))  # noqa: B023
                for who in row:
                    row[who].add(timings[who])
            print("%s, %s: %s; CPU now/before %+.1f%%" % (
                name, mode, "; ".join("%s %s CER %.2f%%" % (
                    who, row[who], 100 * statistics.mean(cer[who])) for who in row),
                100 * (row["now"].cpu / row["before"].cpu - 1)))
            if "tesseract" in row:
                print("  now / tuned tesseract: %s" % row["now"].ratio(row["tesseract"]))
            sys.stdout.flush()


def bench_dense(ocr, folder, runs, baseline=None):
    """One dense 1920x1080 screenshot of 14 px text: accurate against tuned tesseract (and the
    baseline), wall and CPU time of alternated runs, CER; and the CER on two more dense
    screenshots."""
    shots = [("1920x1080, 14 px sans", (1920, 1080), 14, "'DejaVu Sans', sans-serif"),
             ("1280x800, 13 px sans", (1280, 800), 13, "'DejaVu Sans', sans-serif"),
             ("1600x900, 16 px serif", (1600, 900), 16, "'DejaVu Serif', serif")]
    out = os.path.join(folder, "dense.json")
    base = os.path.join(folder, "dense-t")
    print("dense screenshots, medians of %d alternated runs (%s)" % (runs, load()))
    for index, (name, size, px, family) in enumerate(shots):
        path = os.path.join(folder, "dense-%d.png" % index)
        truth = ocr_web_corpus.dense_screenshot(path, size, px, family)
        programs = [("ocr accurate", [ocr, "-i", path, "-o", out])]
        if baseline:
            programs.append(("before", [baseline, "-i", path, "-o", out]))
        programs.append(("tuned tesseract", ["tesseract", path, base]))
        cers = {}

        def cer_of(label):
            cers[label] = ocr_cer.cer(last_text(label, base, out), truth)  # noqa: B023
        if index == 0:
            # Alternated, so that a change of load on a shared machine falls on all three.
            timings = timed_alternately(programs, TUNED, runs, after_first=cer_of)
        else:
            timings = {}
            for label, command in programs:
                subprocess.run(command, env=TUNED, check=True, capture_output=True)
                cer_of(label)
        figures = [(label, timings.get(label), cers[label]) for label, _ in programs]
        print("%s: %s" % (name, "; ".join(
            "%s %sCER %.2f%%" % (label, ("%s, " % timing) if timing else "", 100 * cer)
            for label, timing, cer in figures)))
        if index == 0:
            ours = figures[0][1]
            for label, timing, _ in figures[1:]:
                print("  ocr accurate / %s: %s" % (label, ours.ratio(timing)))
        sys.stdout.flush()


def bench_small(ocr, folder, runs, baseline=None):
    """Screenshots of 9-11 px text, which accurate enlarges whole: CER and time of alternated
    runs against tuned tesseract (and the baseline)."""
    out = os.path.join(folder, "small.json")
    base = os.path.join(folder, "small-t")
    programs = [("ocr accurate", ocr)] + ([("before", baseline)] if baseline else []) + \
        [("tuned tesseract", None)]
    print("small text, medians of %d alternated runs (%s)" % (runs, load()))
    totals = {label: Timing(0, 0) for label, _ in programs}
    cers = {label: [] for label, _ in programs}
    for name, path, truth in ocr_corpus.small_screenshots(folder):
        def cer_of(label):
            cers[label].append(ocr_cer.cer(last_text(label, base, out), truth))  # noqa: B023
        timings = timed_alternately(
            [(label, ["tesseract", path, base] if program is None
              else [program, "-i", path, "-o", out]) for label, program in programs],
            TUNED, runs, after_first=cer_of)
        print("%s: %s" % (name, "; ".join("%s %s, CER %.2f%%" % (
            label, timings[label], 100 * cers[label][-1]) for label, _ in programs)))
        for label in totals:
            totals[label].add(timings[label])
    for label, _ in programs:
        print("%s: %s in all, CER %.2f%% on average" % (
            label, totals[label], 100 * statistics.mean(cers[label])))
    print("  ocr accurate / tuned tesseract: %s" % totals["ocr accurate"].ratio(
        totals["tuned tesseract"]))


def bench_pages(ocr, folder, runs, baseline=None):
    """A 20-page Letter PDF on the machine's cores against one engine (the process limited to
    one core), the baseline, and pdftoppm -r 300 + tuned tesseract page by page; the result
    documents of the first two must be the same apart from the processing time."""
    pdf = os.path.join(folder, "pages20.pdf")
    ocr_corpus.page_pdf(pdf, pages=20)
    outs = [os.path.join(folder, "pages-%d.json" % i) for i in range(2)]
    script = ("for p in $(seq 1 20); do pdftoppm -r 300 -png -singlefile -f $p -l $p '%s' "
              "'%s/pp' && tesseract '%s/pp.png' '%s/pp' --dpi 300 || exit 1; done"
              % (pdf, folder, folder, folder))
    programs = [("ocr, %d cores" % os.cpu_count(), [ocr, "-i", pdf, "-o", outs[0]]),
                ("ocr, one core", one_core([ocr, "-i", pdf, "-o", outs[1]]))]
    if baseline:
        programs.append(("before", [baseline, "-i", pdf, "-o", outs[1]]))
    programs.append(("pdftoppm + tuned tesseract, page by page", ["bash", "-c", script]))
    print("20-page Letter PDF, accurate, medians of %d runs, the programs alternating (%s)"
          % (runs, load()))
    medians = timed_alternately(programs, TUNED, runs)
    timings = [(label, medians[label]) for label, _ in programs]
    for label, timing in timings:
        print("  %s: %s" % (label, timing))
    for label, timing in timings[1:]:
        print("  ocr on every core / %s: %s" % (label, timings[0][1].ratio(timing)))
    subprocess.run(one_core([ocr, "-i", pdf, "-o", outs[1]]), env=TUNED, check=True,
                   capture_output=True)
    documents = []
    for path in outs:
        with open(path, encoding="utf-8") as f:
            document = json.load(f)
        del document["ProcessingTimeInMilliseconds"]
        documents.append(document)
    print("  same document on every core and on one: %s (%s)" % (documents[0] == documents[1],
                                                                load()))


def bench_memory(ocr, folder, runs, baseline=None):
    """Peak resident memory for PDFs of 1, 5, 20 and 40 Letter pages, accurate, on the
    machine's cores and on one (and the baseline)."""
    del runs
    out = os.path.join(folder, "out.json")
    programs = [("ocr, %d cores" % os.cpu_count(), lambda c: c), ("ocr, one core", one_core)]
    if baseline:
        programs.append(("before", None))
    print("peak memory, accurate (%s)" % load())
    for pages in (1, 5, 20, 40):
        pdf = os.path.join(folder, "mem-%d.pdf" % pages)
        ocr_corpus.page_pdf(pdf, pages=pages)
        cells = []
        for label, wrap in programs:
            command = ([baseline, "-i", pdf, "-o", out] if wrap is None
                       else wrap([ocr, "-i", pdf, "-o", out]))
            result = subprocess.run(["/usr/bin/time", "-f", "%M %e", *command], env=TUNED,
                                    capture_output=True, text=True, check=True)
            kib, seconds = result.stderr.strip().splitlines()[-1].split()
            cells.append("%s %.0f MiB (%.1f s)" % (label, int(kib) / 1024, float(seconds)))
        print("  %d pages: %s" % (pages, "; ".join(cells)))
        sys.stdout.flush()


def web_ui_documents(folder):
    """(name, path, truth in reading order) of the web-interface documents at 1x and 2x."""
    docs = []
    for scale in (1, 2):
        def path(name):
            return os.path.join(folder, "ui-%s-%dx.png" % (name, scale))
        lines = [(20 * scale, (16 + 26 * row) * scale, 16 * scale,
                  ocr_corpus.SENTENCES[row % len(ocr_corpus.SENTENCES)]) for row in range(12)]
        image, _ = documents.render_lines(lines, (1000 * scale, 340 * scale))
        image.save(path("plain"))
        docs.append(("plain %dx" % scale, path("plain"), "\n".join(l[3] for l in lines)))
        docs.append(("dark band %dx" % scale, path("band"),
                     "\n".join(documents.banded_page(path("band"), scale))))
        docs.append(("chips and flowchart %dx" % scale, path("chips"),
                     " ".join(documents.chips_and_flowchart(path("chips"), scale))))
        for style in ("rules", "cells", "zebra"):
            rows = documents.package_table(path("table-" + style), style, scale)
            docs.append(("table, %s %dx" % (style, scale), path("table-" + style),
                         "\n".join(" ".join(row) for row in rows)))
    return docs


def bench_web_ui(ocr, folder, runs, baseline=None):
    """Web-interface documents of our own at 1x and 2x (plain text, a dark band, chips and a
    flowchart, tables with rules, framed cells and zebra rows): words found (order ignored
    and in reading order), character errors, wall and CPU time, for both levels and tuned
    tesseract --psm 3."""
    outs = {label: os.path.join(folder, "ui-%d.json" % k) for k, label in
            enumerate(("ocr accurate", "ocr fast", "before, accurate"))}
    base = os.path.join(folder, "ui-t")
    programs = [("ocr accurate", lambda p: [ocr, "-i", p, "-o", outs["ocr accurate"]]),
                ("ocr fast", lambda p: [ocr, "-i", p, "-o", outs["ocr fast"], "-m", "fast"])]
    if baseline:
        programs.append(("before, accurate",
                         lambda p: [baseline, "-i", p, "-o", outs["before, accurate"]]))
    programs.append(("tuned tesseract", lambda p: ["tesseract", p, base, "--psm", "3"]))
    print("web-interface documents, medians of %d alternated runs (%s)" % (runs, load()))
    print("| Document | Program | words found | in reading order | CER | wall | CPU |")
    print("|---|---|---|---|---|---|---|")
    totals = {label: [0.0, 0.0, 0.0, 0] for label, _ in programs}
    for name, path, truth in web_ui_documents(folder):
        timings = timed_alternately([(label, command(path)) for label, command in programs],
                                    TUNED, runs)
        for label, _ in programs:
            timing = timings[label]
            text = last_text(label, base, outs.get(label))
            found = ocr_cer.words_right(text, truth)
            ordered = ocr_cer.words_in_order(text, truth)
            totals[label][0] += timing.wall
            totals[label][1] += timing.cpu
            totals[label][2] += ordered
            totals[label][3] += 1
            print("| %s | %s | %.1f %% | %.1f %% | %.2f %% | %.2f s | %.2f s |" % (
                name, label, 100 * found, 100 * ordered, 100 * ocr_cer.cer(text, truth),
                timing.wall, timing.cpu))
        sys.stdout.flush()
    tesseract = totals["tuned tesseract"]
    for label, (wall, cpu, ordered, count) in totals.items():
        print("%s: %.2f s wall, %.2f s CPU in all (%.2fx tuned tesseract's wall), words in "
              "reading order %.1f %% on average" % (label, wall, cpu, wall / tesseract[0],
                                                   100 * ordered / count))


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("ocr")
    parser.add_argument("--runs", type=int, default=3)
    parser.add_argument("--only")
    parser.add_argument("--baseline")
    args = parser.parse_args()
    benches = {"page_image": bench_page_image, "pdf_page": bench_pdf_page,
               "levels": bench_levels, "thread_limit": bench_thread_limit,
               "ruled": bench_ruled, "plain": bench_plain, "dense": bench_dense,
               "small": bench_small, "pages": bench_pages, "memory": bench_memory,
               "web_ui": bench_web_ui}
    with_baseline = {"ruled", "plain", "dense", "small", "pages", "memory", "web_ui"}
    only = args.only.split(",") if args.only else None
    baseline = os.path.abspath(args.baseline) if args.baseline else None
    with tempfile.TemporaryDirectory() as folder:
        for name, bench in benches.items():
            if only is None or name in only:
                if name in with_baseline:
                    bench(os.path.abspath(args.ocr), folder, args.runs, baseline)
                else:
                    bench(os.path.abspath(args.ocr), folder, args.runs)
                sys.stdout.flush()


if __name__ == "__main__":
    main()
