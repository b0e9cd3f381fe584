#!/usr/bin/env python3
"""Regenerates the data files of examples/iris and examples/digits, byte for byte,
from the data files of the Debian package python3-sklearn (install it with
scripts/install-deps.sh --examples). Only the standard library is used.

Usage: scripts/make-examples.py [--data-dir DIR] [--out-dir DIR]
"""
import argparse
import gzip
import os
from fractions import Fraction

DEFAULT_DATA_DIR = "/usr/lib/python3/dist-packages/sklearn/datasets/data"

# Every fifth flower of each species goes to the recall set, the rest to training.
RECALL_EVERY = 5
# The drawings stored in the box and the autocorrelator. Thresholded digits share
# most of their background, and the autocorrelator's single recall pass tells
# apart only patterns that overlap little. So, starting from drawing FIRST_DRAWING
# (a 6), each further pattern is the drawing, among the first CANDIDATES and of a
# digit not yet taken, whose largest overlap (the dot product of the +-1 pixels)
# with those already taken is smallest, the earliest such drawing on a tie. The
# start drawing is the one from which this gives patterns that all four recall
# tests below bring back.
FIRST_DRAWING = 34
CANDIDATES = 300
PATTERNS = 4
# A pixel counts as set at this many of its 16 sub-pixels or more.
PIXEL_SET_AT = 8
# Pixels flipped in each noisy copy of a stored digit.
NOISY_PIXELS = (4, 8)


def number_text(value):
    """A value as the data files take it: at most 4 decimals, no trailing zeros,
    integral values without a point."""
    text = f"{value:.4f}".rstrip("0").rstrip(".")
    return "0" if text in ("-0", "") else text


def write_lines(path, lines):
    with open(path, "w", newline="") as file:
        file.write("".join(line + "\r\n" for line in lines))


def write_inputs(path, vectors):
    write_lines(path, [str(len(vectors))] + [number_text(v) for vector in vectors for v in vector])


def write_outputs(path, vectors):
    write_lines(path, [number_text(v) for vector in vectors for v in vector])


def read_iris(data_dir):
    with open(os.path.join(data_dir, "iris.csv")) as file:
        header = file.readline().strip().split(",")
        count, width = int(header[0]), int(header[1])
        rows = [line.strip().split(",") for line in file if line.strip()]
    assert len(rows) == count, "iris.csv: the count line does not match its rows"
    return [([Fraction(v) for v in row[:width]], int(row[width])) for row in rows]


def scaled(flowers):
    """Each measurement mapped linearly from its range over all 150 flowers onto
    -1..1, so no feature outweighs another and the inputs are centred: the
    counterpropagation network normalises its inputs to unit length, and
    all-positive vectors would point in nearly one direction."""
    columns = list(zip(*(measures for measures, _ in flowers)))
    low = [min(c) for c in columns]
    high = [max(c) for c in columns]
    return [
        ([float(2 * (m - lo) / (hi - lo) - 1) for m, lo, hi in zip(measures, low, high)], species)
        for measures, species in flowers
    ]


def one_hot(species):
    return [1 if k == species else 0 for k in range(3)]


def make_iris(data_dir, out_dir):
    flowers = scaled(read_iris(data_dir))
    by_species = [[f for f in flowers if f[1] == s] for s in range(3)]
    # Species taken in turn, so that online training never sees one species for long.
    train, recall = [], []
    for index in range(max(len(group) for group in by_species)):
        for group in by_species:
            if index < len(group):
                (recall if index % RECALL_EVERY == RECALL_EVERY - 1 else train).append(group[index])
    folder = os.path.join(out_dir, "iris")
    write_inputs(os.path.join(folder, "input.dat"), [m for m, _ in train])
    write_outputs(os.path.join(folder, "output.dat"), [one_hot(s) for _, s in train])
    write_inputs(os.path.join(folder, "recall.dat"), [m for m, _ in recall])
    write_outputs(os.path.join(folder, "recall-expected.dat"), [one_hot(s) for _, s in recall])


def read_digits(data_dir):
    with gzip.open(os.path.join(data_dir, "digits.csv.gz"), "rt") as file:
        rows = [line.strip().split(",") for line in file if line.strip()]
    return [([int(float(v)) for v in row[:64]], int(float(row[64]))) for row in rows]


def flipped(pattern, count, seed):
    """The pattern with `count` pixels flipped, spread over the picture by a fixed
    stride so that every run of this script flips the same ones."""
    result = list(pattern)
    for j in range(count):
        position = (seed * 11 + j * 23) % 64
        result[position] = -result[position]
    return result


def overlap(first, second):
    return sum(a * b for a, b in zip(first, second))


def chosen_patterns(drawings):
    patterns = [([1 if v >= PIXEL_SET_AT else -1 for v in pixels], digit) for pixels, digit in drawings]
    chosen = [patterns[FIRST_DRAWING]]
    while len(chosen) < PATTERNS:
        taken = {digit for _, digit in chosen}
        candidates = [
            (max(abs(overlap(pattern, c)) for c, _ in chosen), index)
            for index, (pattern, digit) in enumerate(patterns[:CANDIDATES])
            if digit not in taken
        ]
        chosen.append(patterns[min(candidates)[1]])
    return chosen


def make_digits(data_dir, out_dir):
    chosen = chosen_patterns(read_digits(data_dir))
    print("digits:", " ".join(str(digit) for _, digit in chosen))
    stored = [pattern for pattern, _ in chosen]
    noisy, expected = [], []
    for count in NOISY_PIXELS:
        for seed, pattern in enumerate(stored):
            noisy.append(flipped(pattern, count, seed))
            expected.append(pattern)
    folder = os.path.join(out_dir, "digits")
    write_inputs(os.path.join(folder, "input.dat"), stored)
    write_inputs(os.path.join(folder, "recall.dat"), noisy)
    write_outputs(os.path.join(folder, "recall-expected.dat"), expected)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--data-dir", default=DEFAULT_DATA_DIR)
    parser.add_argument("--out-dir", default=os.path.join(os.path.dirname(__file__), "..", "examples"))
    arguments = parser.parse_args()
    make_iris(arguments.data_dir, arguments.out_dir)
    make_digits(arguments.data_dir, arguments.out_dir)


if __name__ == "__main__":
    main()
