#!/usr/bin/env python3
"""Prints the table of src/train/exponentials.cpp.

Entry pair k (k = 0..127) holds T[k] and the bits of H[k] less k << 45, where
H[k] is the double nearest 2^(k/128) and T[k] the double nearest
(2^(k/128) - H[k]) / H[k]. 2^(k/128) is taken to 400 bits as the seventh
square root of 2^k, so both roundings are exact.
"""
import struct
from fractions import Fraction
from math import isqrt

BITS = 400


def bits_of(value):
    return struct.unpack("<Q", struct.pack("<d", value))[0]


for k in range(128):
    root = (1 << k) << (BITS * 128)
    for _ in range(7):
        root = isqrt(root)
    power = Fraction(root, 1 << BITS)
    head = float(power)  # float(Fraction) rounds to nearest
    tail = float((power - Fraction(head)) / Fraction(head))
    print("    0x%016x, 0x%016x," % (bits_of(tail), (bits_of(head) - (k << 45)) % 2**64))
