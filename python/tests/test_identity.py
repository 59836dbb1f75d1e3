"""The module's samples are `crumlet render`'s for the same input, settings and buffer size,
bit for bit: mono and stereo, at two rates, on real speech."""

import numpy as np
import pytest

import crumlet
from conftest import SPEECH_16K, SPEECH_48K, same_bits, speech

LOOKS = [
    ("Police radio", {"SIMTuning": 110, "NoiseLevel": "-40dB"}, ["--set", "SIMTuning=110", "NoiseLevel=-40dB"]),
    ("Phone call", {}, []),
    ("Broken toy", {"LoFiEnable": True, "DistortionMode": "#2"}, ["--set", "LoFiEnable=on", "DistortionMode=#2"]),
]


def stereo(mono):
    """Two different channels: the speech, and the speech reversed and quieter."""
    return np.ascontiguousarray(np.stack([mono, 0.5 * mono[::-1]], axis=1))


@pytest.mark.parametrize("path", [SPEECH_16K, SPEECH_48K], ids=["16kHz", "48kHz"])
@pytest.mark.parametrize("channels", [1, 2], ids=["mono", "stereo"])
@pytest.mark.parametrize("preset,properties,tool_args", LOOKS, ids=[look[0] for look in LOOKS])
def test_samples_are_the_tools(tool_render, path, channels, preset, properties, tool_args):
    mono, rate = speech(path, seconds=2.0)
    x = mono if channels == 1 else stereo(mono)
    fx = crumlet.Effect(preset=preset, **properties)
    y = fx(x, sample_rate=rate)
    expected = tool_render(x, rate, "--preset", preset, *tool_args)
    assert y.dtype == np.float32 and y.shape[1:] == x.shape[1:]
    assert len(y) > len(x), "the tail is included"
    assert same_bits(y, expected)


@pytest.mark.parametrize("block_frames", [1, 100, 4096])
def test_the_buffer_size_is_the_tools_block(tool_render, block_frames):
    x, rate = speech(seconds=0.5)
    fx = crumlet.Effect(preset="Walkie-talkie", block_frames=block_frames)
    assert fx.block_frames == block_frames
    assert same_bits(fx(x, sample_rate=rate), tool_render(x, rate, "--preset", "Walkie-talkie", "--block", block_frames))


def test_default_buffer_is_the_tools_default():
    assert crumlet.DEFAULT_BLOCK_FRAMES == 512
    assert crumlet.Effect().block_frames == crumlet.DEFAULT_BLOCK_FRAMES


def test_float64_and_strided_input_render_as_their_float32_copy():
    x, rate = speech(seconds=1.0)
    fx = crumlet.Effect(preset="Megaphone")
    reference = fx(x, sample_rate=rate)
    assert same_bits(fx(x.astype(np.float64), sample_rate=rate), reference)
    wide = np.zeros((len(x), 3), dtype=np.float32)
    wide[:, 1] = x
    assert not wide[:, 1].flags.c_contiguous
    assert same_bits(fx(wide[:, 1], sample_rate=rate), reference)
    fortran = np.asfortranarray(stereo(x))
    assert same_bits(fx(fortran, sample_rate=rate), fx(stereo(x), sample_rate=rate))


def test_nan_and_inf_are_taken_as_the_tool_takes_them(tool_render):
    x, rate = speech(seconds=0.5)
    x = x.copy()
    x[100:110] = np.nan
    x[2000] = np.inf
    fx = crumlet.Effect(preset="Phone call")
    y = fx(x, sample_rate=rate)
    assert same_bits(y, tool_render(x, rate, "--preset", "Phone call"))
    assert np.all(np.isfinite(y))
