#!/usr/bin/env python3
"""Builds resources/dictionary.txt, the game's word list, from Debian's
American English word lists (packages wamerican-small, wamerican and
wamerican-large, all made from SCOWL).

The game needs a list of exactly 21,109 lower-case words in alphabetical
order, from "aardvark" to "zymase", with every length from 1 to 19 letters and
a fixed number of words of each length (QUOTA below; the counts for 3 to 10
letters are the ones the board generator's word draw is tuned to).

How words are chosen, deterministically:
  1. A word's tier is the smallest list it appears in: the small list holds
     the most common words, the larger lists add rarer ones.
  2. Left out: anything that is not purely "a" to "z" (proper nouns,
     capitals, apostrophes), words without a vowel (abbreviations such as
     "mph"), Roman numerals, the abbreviations in dictionary_abbreviations.txt,
     the obscenities and slurs in dictionary_blocklist.txt, and anything that
     would sort outside the list's ends "aardvark" and "zymase".
  3. For each length the best-ranked words fill the quota. The rank is: tier
     first (common before rare), then base words before their inflections
     ("cat" before "cats", "walk" before "walked"), then a fixed hash of the
     word, which spreads the choice evenly over the alphabet.
  4. The chosen words are written in alphabetical order, one per line.

The word lists' copyright notice, as the packages ship it, is copied to
resources/dictionary-copyright.txt beside the list.

Usage: tools/make_dictionary.py [--dict-dir DIR] [--doc-dir DIR] [--out FILE]
Without --out it writes resources/dictionary.txt (and the notice beside it)
in the repository that holds this script.
"""

import argparse
import hashlib
import os
import re
import sys

TIERS = ["american-english-small", "american-english", "american-english-large"]

FIRST_WORD = "aardvark"
LAST_WORD = "zymase"

# Words of each length in the finished list.
QUOTA = {
    1: 1, 2: 35,
    3: 532, 4: 1751, 5: 2457, 6: 3273, 7: 3433, 8: 3094, 9: 2674, 10: 1816,
    11: 1000, 12: 560, 13: 280, 14: 125, 15: 48, 16: 18, 17: 8, 18: 3, 19: 1,
}
TOTAL = 21109

# Roman numerals that are also ordinary words and stay in.
ROMAN_WORDS = {"mix", "mi"}
ROMAN = re.compile(r"^m{0,4}(cm|cd|d?c{0,3})(xc|xl|l?x{0,3})(ix|iv|v?i{0,3})$")
LETTERS = re.compile(r"^[a-z]+$")
VOWEL = re.compile(r"[aeiouy]")

HERE = os.path.dirname(os.path.abspath(__file__))

NOTICE_HEADER = """\
The game's word list, dictionary.txt, is made by tools/make_dictionary.py
from the American English word lists of Debian's wamerican-small, wamerican
and wamerican-large packages, which are built from SCOWL (Spell Checker
Oriented Word Lists) by Kevin Atkinson. The packages' copyright notice
follows unchanged.

"""


def read_entries(path):
    """Lines of a tools/ list file, without comments and blank lines."""
    entries = []
    with open(path, encoding="utf-8") as f:
        for line in f:
            line = line.strip()
            if line and not line.startswith("#"):
                entries.append(line)
    return entries


def blocker(entries):
    """A test for blocked words: plain entries match whole words, entries
    ending in "*" match every word beginning with them."""
    exact = {e for e in entries if not e.endswith("*")}
    prefixes = tuple(e[:-1] for e in entries if e.endswith("*"))
    return lambda word: word in exact or word.startswith(prefixes)


def is_roman(word):
    return bool(ROMAN.match(word)) and word not in ROMAN_WORDS


def base_forms(word):
    """The words that `word` could be a regular inflection of."""
    forms = set()

    def add(stem):
        if len(stem) >= 2:
            forms.add(stem)

    def doubled(stem):
        # "stopped" -> "stop": the stem's last consonant was doubled.
        if len(stem) >= 3 and stem[-1] == stem[-2] and stem[-1] not in "aeiou":
            add(stem[:-1])

    for suffix in ("s", "es"):
        if word.endswith(suffix):
            add(word[: -len(suffix)])
    for suffix in ("ies", "ied", "ier", "iest", "ily"):
        if word.endswith(suffix):
            add(word[: -len(suffix)] + "y")
    for suffix in ("ed", "er", "est", "ing"):
        if word.endswith(suffix):
            stem = word[: -len(suffix)]
            add(stem)
            add(stem + "e")
            doubled(stem)
    if word.endswith("ly"):
        add(word[:-2])
    forms.discard(word)
    return forms


def stable_hash(word):
    return hashlib.sha1(word.encode("ascii")).hexdigest()


def build(dict_dir):
    blocked = blocker(read_entries(os.path.join(HERE, "dictionary_blocklist.txt")))
    abbreviations = set(read_entries(os.path.join(HERE, "dictionary_abbreviations.txt")))

    tier_of = {}
    for tier, name in enumerate(TIERS):
        with open(os.path.join(dict_dir, name), encoding="utf-8") as f:
            for line in f:
                word = line.strip()
                if word in tier_of:
                    continue
                if not LETTERS.match(word) or not VOWEL.search(word):
                    continue
                if is_roman(word) or word in abbreviations or blocked(word):
                    continue
                if not FIRST_WORD <= word <= LAST_WORD:
                    continue
                tier_of[word] = tier

    for end in (FIRST_WORD, LAST_WORD):
        if end not in tier_of:
            sys.exit("make_dictionary: %r is missing from the word lists" % end)

    def rank(word):
        forced = word not in (FIRST_WORD, LAST_WORD)
        inflected = any(base in tier_of for base in base_forms(word))
        return (forced, tier_of[word], inflected, stable_hash(word))

    by_length = {}
    for word in tier_of:
        by_length.setdefault(len(word), []).append(word)

    chosen = []
    for length, quota in sorted(QUOTA.items()):
        candidates = sorted(by_length.get(length, []), key=rank)
        if len(candidates) < quota:
            sys.exit("make_dictionary: only %d words of %d letters, %d needed"
                     % (len(candidates), length, quota))
        chosen.extend(candidates[:quota])

    chosen.sort()
    assert len(chosen) == TOTAL == sum(QUOTA.values())
    assert chosen[0] == FIRST_WORD and chosen[-1] == LAST_WORD
    return chosen


def main():
    parser = argparse.ArgumentParser(description="Build the game's word list.")
    parser.add_argument("--dict-dir", default="/usr/share/dict")
    parser.add_argument("--doc-dir", default="/usr/share/doc")
    parser.add_argument("--out", default=os.path.join(HERE, "..", "resources", "dictionary.txt"))
    args = parser.parse_args()

    words = build(args.dict_dir)
    with open(args.out, "w", encoding="ascii", newline="\n") as f:
        for word in words:
            f.write(word + "\n")
    print("make_dictionary: wrote %d words to %s" % (len(words), os.path.normpath(args.out)))

    notice_path = os.path.join(os.path.dirname(args.out), "dictionary-copyright.txt")
    with open(os.path.join(args.doc_dir, "wamerican", "copyright"), encoding="utf-8") as f:
        notice = f.read()
    with open(notice_path, "w", encoding="utf-8", newline="\n") as f:
        f.write(NOTICE_HEADER + notice)
    print("make_dictionary: wrote the word lists' notice to %s" % os.path.normpath(notice_path))


if __name__ == "__main__":
    main()
