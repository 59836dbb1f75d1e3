#!/usr/bin/env python3
"""Writes the inputs the play comparisons render, into DIR: speech-like.wav (stereo, 48 kHz,
16-bit: a gliding tone with noise bursts, loud enough to clip the distortion, then quiet
decays down to silence) and mono-float.wav (mono, 44.1 kHz, 32-bit float: a tone falling
into the subnormal range). Fixed seeds: the same files every time."""
import math
import random
import struct
import sys
from pathlib import Path


def wav_bytes(frames, channels, rate, fmt):
    """frames: a list of tuples of floats; fmt 1 (16-bit integers) or 3 (32-bit floats)."""
    if fmt == 1:
        data = b"".join(struct.pack("<h", max(-32768, min(32767, round(x * 32767)))) for f in frames for x in f)
        bits = 16
    else:
        data = b"".join(struct.pack("<f", x) for f in frames for x in f)
        bits = 32
    block = channels * bits // 8
    fmt_chunk = struct.pack("<HHIIHH", fmt, channels, rate, rate * block, block, bits)
    body = b"WAVE" + b"fmt " + struct.pack("<I", len(fmt_chunk)) + fmt_chunk + b"data" + struct.pack("<I", len(data)) + data
    return b"RIFF" + struct.pack("<I", len(body)) + body


def main():
    out = Path(sys.argv[1])
    out.mkdir(parents=True, exist_ok=True)
    rng = random.Random(1234)
    rate, frames = 48000, []
    phase = 0.0
    for i in range(rate * 2):
        t = i / rate
        phase += 2 * math.pi * (120 + 3000 * t) / rate
        burst = rng.uniform(-1, 1) * (0.6 if int(t * 8) % 3 == 0 else 0.05)
        level = 0.9 if t < 1.2 else 0.9 * math.exp(-(t - 1.2) * 12)
        left = level * (0.7 * math.sin(phase) + burst)
        right = level * (0.5 * math.sin(1.5 * phase) - burst)
        frames.append((left, right) if t < 1.8 else (0.0, 0.0))
    (out / "speech-like.wav").write_bytes(wav_bytes(frames, 2, rate, 1))

    rate, frames = 44100, []
    for i in range(rate):
        t = i / rate
        frames.append((0.5 * math.sin(2 * math.pi * 440 * t) * math.exp(-t * 90),))
    (out / "mono-float.wav").write_bytes(wav_bytes(frames, 1, rate, 3))


if __name__ == "__main__":
    main()
