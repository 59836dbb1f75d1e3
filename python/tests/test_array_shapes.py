"""Samples as a data loader has them: outputs as long as the input, brought to a loudness,
channels first or last, from anything with the array protocol, and a warning for a rate the
settings cannot be heard at."""

import tracemalloc
import warnings

import numpy as np
import pytest

import crumlet
from conftest import SPEECH_48K, same_bits, speech, tool_render  # noqa: F401 - a fixture


@pytest.mark.parametrize("preset", ["Phone call", "Video call", "Walkie-talkie"])
def test_keep_length_is_the_whole_render_cut_at_the_input(preset):
    x, rate = speech(seconds=1.3)
    for frames in (len(x), 1000, 513, 1):
        whole = crumlet.Effect(preset, seed=5)(x[:frames], rate)
        kept = crumlet.Effect(preset, seed=5, keep_length=True)(x[:frames], rate)
        assert kept.shape == (frames,)
        assert same_bits(kept, whole[:frames])


def test_loudness_is_the_tools(tool_render):
    x, rate = speech(seconds=2.0)
    y = crumlet.Effect("Police radio", loudness=-23, seed=3)(x, rate)
    assert same_bits(y, tool_render(x, rate, "--preset", "Police radio", "--loudness", -23, "--seed", 3))
    matched = crumlet.Effect("Police radio", match_input=True, seed=3)(x, rate)
    assert same_bits(matched, tool_render(x, rate, "--preset", "Police radio", "--match-loudness", "--seed", 3))
    with pytest.raises(ValueError, match="give one"):
        crumlet.Effect(loudness=-23, match_input=True)
    with pytest.raises(ValueError, match="loudness is a number of LUFS from -70 to 0"):
        crumlet.Effect(loudness=6)


def test_loudness_brings_every_look_within_reach_of_the_target():
    x, rate = speech(seconds=2.0)
    peaks = [np.abs(crumlet.Effect(p, loudness=-23, keep_length=True)(x, rate)).max() for p in crumlet.presets()]
    assert max(peaks) < 1.0


def test_channels_first_and_last_read_alike():
    x, rate = speech(SPEECH_48K, seconds=1.0)
    stereo_last = np.ascontiguousarray(np.stack([x, x[::-1]], axis=1))
    stereo_first = np.ascontiguousarray(stereo_last.T)
    fx = crumlet.Effect("Phone call", keep_length=True)
    expected = fx(stereo_last, rate)
    y = fx(stereo_first, rate)
    assert y.shape == stereo_first.shape and same_bits(y.T, expected)
    assert same_bits(fx(stereo_first.T, rate), expected)  # a transposed view, read where it is
    assert same_bits(fx(x[None, :], rate)[0], fx(x, rate))
    short = np.ascontiguousarray(stereo_first[:, :40])
    with pytest.raises(ValueError, match="layout="):
        fx(short, rate)
    assert same_bits(fx(short, rate, layout="channels_first").T, fx(short.T, rate, layout="frames_first"))
    assert fx(short, rate, layout="frames_first").shape == (2, 40)
    with pytest.raises(ValueError, match="layout is"):
        fx(short, rate, layout="rows")


def test_a_stream_of_channels_first_chunks_is_the_whole_render():
    x, rate = speech(seconds=1.0)
    stereo = np.ascontiguousarray(np.stack([x, -x]))
    fx = crumlet.Effect("Phone call")
    chunks = [fx.process(stereo[:, i:i + 160], rate) for i in range(0, stereo.shape[1], 160)]
    out = np.concatenate(chunks + [fx.tail()], axis=1)
    assert same_bits(out, fx(stereo, rate))


class ArrayInterface:
    """Anything with the array protocol, as a CPU tensor has it."""

    def __init__(self, array):
        self.array = array
        self.__array_interface__ = array.__array_interface__


def test_arrays_of_other_layouts_and_the_array_protocol_are_read_where_they_are():
    x, rate = speech(seconds=4.0)
    fx = crumlet.Effect("Phone call", keep_length=True)
    expected = fx(np.stack([x, x], axis=1), rate)
    fortran = np.asfortranarray(np.stack([x, x], axis=1))
    planar = ArrayInterface(np.ascontiguousarray(fortran.T))

    def peak_of(call):
        tracemalloc.start()
        try:
            result = call()
            return result, tracemalloc.get_traced_memory()[1]
        finally:
            tracemalloc.stop()

    # Neither input is copied: numpy allocates less than a copy of it for (frames, channels),
    # and the output alone for (channels, frames).
    y, peak = peak_of(lambda: fx(fortran, rate))
    assert same_bits(y, expected) and peak < fortran.nbytes / 2
    y, peak = peak_of(lambda: fx(planar, rate))
    assert same_bits(y.T, expected) and peak < 1.5 * fortran.nbytes


def test_a_rate_the_settings_need_more_of_warns_once():
    x = np.zeros(8000, dtype=np.float32)
    for fx in (crumlet.Effect(codec="amr-wb"), crumlet.Effect(codec="opus:16k:wb"), crumlet.Effect(EQFreq="6kHz")):
        with warnings.catch_warnings(record=True) as caught:
            warnings.simplefilter("always")
            fx(x, 8000)
            fx(x, 8000)
        assert len(caught) == 1 and issubclass(caught[0].category, UserWarning), fx
        assert "8000 Hz" in str(caught[0].message)
    for fx in (crumlet.Effect(codec="gsm"), crumlet.Effect(codec="amr-wb")):
        with warnings.catch_warnings():
            warnings.simplefilter("error")
            fx(x, 8000 if fx.transmission["codec"] == "gsm" else 16000)
