#!/usr/bin/env python3
"""Fails unless two 32-bit float WAV files hold the same channels, rate and samples, bit for
bit (their other chunks may differ: crumlet render describes its render in the file)."""
import struct
import sys


def samples(path):
    data = open(path, "rb").read()
    if data[:4] != b"RIFF" or data[8:12] != b"WAVE":
        sys.exit(f"{path}: not a WAV file")
    at, fmt, body = 12, None, None
    while at + 8 <= len(data):
        cid, size = data[at:at + 4], struct.unpack("<I", data[at + 4:at + 8])[0]
        if cid == b"fmt ":
            fmt = struct.unpack("<HHIIHH", data[at + 8:at + 24])
        elif cid == b"data":
            body = data[at + 8:at + 8 + size]
        at += 8 + size + (size & 1)
    if fmt is None or body is None or fmt[0] != 3 or fmt[5] != 32:
        sys.exit(f"{path}: not 32-bit float samples")
    return fmt[1], fmt[2], body


a, b = samples(sys.argv[1]), samples(sys.argv[2])
if a[:2] != b[:2]:
    sys.exit(f"channels and rate differ: {a[:2]} against {b[:2]}")
if a[2] != b[2]:
    n = min(len(a[2]), len(b[2])) // 4
    first = next((i for i in range(n) if a[2][4 * i:4 * i + 4] != b[2][4 * i:4 * i + 4]), n)
    sys.exit(f"{sys.argv[1]} and {sys.argv[2]}: {len(a[2]) // 4} and {len(b[2]) // 4} samples, "
             f"the first difference at sample {first}")
