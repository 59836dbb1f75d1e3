"""Shared by the crumlet module's tests: the tool to compare with, float WAV files in and
out, and real recorded speech."""

import os
import struct
import subprocess
from pathlib import Path

import numpy as np
import pytest

ROOT = Path(__file__).resolve().parents[2]
SPEECH_16K = Path("/usr/share/pocketsphinx/test/data/librivox/sense_and_sensibility_01_austen_64kb-0870.wav")
SPEECH_48K = Path("/usr/share/sounds/alsa/Front_Center.wav")


def tool_path():
    """The crumlet tool built with the module (CRUMLET_TOOL, else build/cli/crumlet)."""
    return os.environ.get("CRUMLET_TOOL", str(ROOT / "build" / "cli" / "crumlet"))


# The tool's options that leave out the transmission after the effect (a preset's codec, loss
# or radio); the module's Effect leaves it out with EFFECT_ONLY_KEYWORDS.
EFFECT_ONLY = ("--codec", "none", "--loss", "off", "--radio", "off")
EFFECT_ONLY_KEYWORDS = {"codec": "none", "loss": "off", "radio": "off"}


def run_tool(*args, check=True):
    result = subprocess.run([tool_path(), *map(str, args)], capture_output=True, text=True)
    if check and result.returncode != 0:
        raise AssertionError(f"crumlet {' '.join(map(str, args))} failed: {result.stderr}")
    return result


def write_float_wav(path, samples, rate):
    """samples: float32, (frames,) or (frames, channels); a WAVE_FORMAT_IEEE_FLOAT file."""
    samples = np.asarray(samples, dtype="<f4")
    channels = 1 if samples.ndim == 1 else samples.shape[1]
    data = samples.tobytes()
    fmt = struct.pack("<HHIIHH", 3, channels, rate, rate * channels * 4, channels * 4, 32)
    fact = struct.pack("<I", samples.shape[0])
    body = b"WAVE" + b"fmt " + struct.pack("<I", len(fmt)) + fmt + b"fact" + struct.pack("<I", 4) + fact
    body += b"data" + struct.pack("<I", len(data)) + data
    Path(path).write_bytes(b"RIFF" + struct.pack("<I", len(body)) + body)


def read_wav(path):
    """(samples, rate): float32 shaped (frames, channels), from a float or 16-bit PCM WAV
    (PCM scaled by 1/32768, as the tool reads it)."""
    raw = Path(path).read_bytes()
    assert raw[:4] in (b"RIFF", b"RF64") and raw[8:12] == b"WAVE", path
    position, fmt, data = 12, None, None
    while position + 8 <= len(raw):
        chunk, size = raw[position:position + 4], struct.unpack("<I", raw[position + 4:position + 8])[0]
        body = raw[position + 8:position + 8 + size]
        if chunk == b"fmt ":
            fmt = struct.unpack("<HHIIHH", body[:16])
            if fmt[0] == 0xFFFE:
                fmt = (struct.unpack("<H", body[24:26])[0],) + fmt[1:]
        elif chunk == b"data":
            data = body
        position += 8 + size + (size & 1)
    tag, channels, rate, _, _, bits = fmt
    if tag == 3 and bits == 32:
        samples = np.frombuffer(data, dtype="<f4")
    elif tag == 1 and bits == 16:
        samples = np.frombuffer(data, dtype="<i2").astype(np.float32) / np.float32(32768)
    else:
        raise AssertionError(f"{path}: format {tag} with {bits} bits is not read here")
    return samples.reshape(-1, channels).astype(np.float32), rate


def speech(path=SPEECH_16K, seconds=None):
    """Real recorded speech, mono float32, and its rate."""
    samples, rate = read_wav(path)
    mono = samples[:, 0]
    if seconds is not None:
        mono = mono[: int(seconds * rate)]
    return np.ascontiguousarray(mono), rate


def same_bits(a, b):
    """Equal sample for sample, NaN included, and equally shaped."""
    a, b = np.asarray(a, dtype=np.float32), np.asarray(b, dtype=np.float32)
    return a.shape == b.shape and a.tobytes() == b.tobytes()


@pytest.fixture
def tool_render(tmp_path):
    """Renders samples with `crumlet render --in IN --out OUT --seed 0 ARGS...` (Effect's
    default seed; a later --seed wins); returns the output shaped as the input was."""
    counter = iter(range(1_000_000))

    def render(samples, rate, *args):
        n = next(counter)
        source, target = tmp_path / f"in{n}.wav", tmp_path / f"out{n}.wav"
        write_float_wav(source, samples, rate)
        run_tool("render", "--in", source, "--out", target, "--quiet",
                 *(() if "--seed" in args else ("--seed", 0)), *args)
        out, out_rate = read_wav(target)
        assert out_rate == rate
        return out[:, 0] if np.ndim(samples) == 1 else out

    return render
