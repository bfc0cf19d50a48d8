"""Character error rate: edit distance between the recognised and the true text, over the
true text's length, both with whitespace runs collapsed to single spaces."""

import json
import re


def normalize(text):
    return re.sub(r"\s+", " ", text).strip()


def edit_distance(a, b):
    previous = list(range(len(b) + 1))
    for i, ca in enumerate(a, 1):
        current = [i]
        for j, cb in enumerate(b, 1):
            current.append(min(previous[j] + 1, current[j - 1] + 1, previous[j - 1] + (ca != cb)))
        previous = current
    return previous[-1]


def cer(recognised, truth):
    truth = normalize(truth)
    return edit_distance(normalize(recognised), truth) / max(1, len(truth))


def text_of_result(path):
    with open(path, encoding="utf-8") as f:
        document = json.load(f)
    return "\n".join(page["ParsedText"] for page in document["ParsedResults"])


def words_right(recognised, truth):
    """Share of the true words found, order ignored: the size of the multiset intersection
    of the whitespace-separated words over the number of true words."""
    from collections import Counter
    found = Counter(recognised.split())
    wanted = Counter(truth.split())
    return sum(min(n, found[w]) for w, n in wanted.items()) / max(1, sum(wanted.values()))


def words_in_order(recognised, truth):
    """Share of the true words found in reading order: the longest common subsequence of the
    recognised and the true words over the number of true words."""
    found, wanted = recognised.split(), truth.split()
    previous = [0] * (len(wanted) + 1)
    for word in found:
        current = [0]
        for j, target in enumerate(wanted, 1):
            current.append(previous[j - 1] + 1 if word == target else
                           max(previous[j], current[j - 1]))
        previous = current
    return previous[-1] / max(1, len(wanted))
