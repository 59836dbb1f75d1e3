"""Streaming: a stream fed in chunks of any size, then tail(), is exactly one call, the
transmission included; a buffer waits only for the input after it; the stream keeps its shape; settings changed mid-stream
reach the effect at its next buffer."""

import numpy as np
import pytest

import crumlet
from conftest import same_bits, speech


def stream(fx, x, rate, sizes):
    """x fed in chunks of the given sizes (cycled), then the tail; every output kept."""
    outputs, position, i = [], 0, 0
    while position < len(x):
        n = sizes[i % len(sizes)]
        outputs.append(fx.process(x[position:position + n], rate))
        position = min(position + n, len(x))
        i += 1
        # A codec holds back a frame or so more, its resamplers' delay included.
        assert fx.pending_frames <= fx.block_frames or fx.transmission["codec"] != "none"
        assert sum(len(o) for o in outputs) + fx.pending_frames == position
    outputs.append(fx.tail())
    return outputs


@pytest.mark.parametrize("sizes", [[1000], [1, 7, 511, 513, 0, 2048], [512], [100000]], ids=str)
@pytest.mark.parametrize("channels", [1, 2])
@pytest.mark.parametrize("preset", ["Walkie-talkie", "Mobile call, breaking up"])
def test_uneven_chunks_equal_one_call(sizes, channels, preset):
    mono, rate = speech(seconds=1.5)
    x = mono if channels == 1 else np.ascontiguousarray(np.stack([mono, -mono], axis=1))
    fx = crumlet.Effect(preset=preset, seed=3)
    whole = fx(x, sample_rate=rate)
    outputs = stream(fx, x, rate, sizes)
    assert all(o.dtype == np.float32 and o.shape[1:] == x.shape[1:] for o in outputs)
    assert same_bits(np.concatenate(outputs), whole)


def test_a_stream_is_independent_of_calls_in_between():
    x, rate = speech(seconds=1.0)
    fx = crumlet.Effect(preset="Old record")
    whole = fx(x, sample_rate=rate)
    first = fx.process(x[:5000], rate)
    fx(np.ones(3000, dtype=np.float32), sample_rate=rate)  # a call of its own
    rest = fx.process(x[5000:], rate)
    assert same_bits(np.concatenate([first, rest, fx.tail()]), whole)


def test_reset_starts_anew_and_tail_ends_the_stream():
    x, rate = speech(seconds=1.0)
    fx = crumlet.Effect(preset="Intercom")
    whole = fx(x, sample_rate=rate)
    fx.process(np.full(3000, 0.5, dtype=np.float32), rate)
    out = [fx.process(x, rate, reset=True), fx.tail()]
    assert same_bits(np.concatenate(out), whole)
    assert fx.pending_frames == 0
    assert fx.tail().size == 0, "no stream in hand after the tail"


def test_a_stream_keeps_its_rate_and_channels():
    fx = crumlet.Effect()
    fx.process(np.zeros(100, dtype=np.float32), 48000)
    with pytest.raises(ValueError, match="runs at 48000 Hz with 1 channel; end it with tail"):
        fx.process(np.zeros(100, dtype=np.float32), 44100)
    with pytest.raises(ValueError, match="runs at 48000 Hz"):
        fx.process(np.zeros((100, 2), dtype=np.float32), 48000)
    fx.process(np.zeros((100, 2), dtype=np.float32), 44100, reset=True)
    assert fx.tail().shape[1] == 2


def test_a_change_mid_stream_reaches_the_next_buffer():
    x, rate = speech(seconds=1.0)
    fx = crumlet.Effect(preset="Phone call", block_frames=256)
    head = fx.process(x[:1024], rate)  # three buffers played, one held
    assert len(head) == 768
    before = fx.OutputGain
    fx.OutputGain = -12
    changed = np.concatenate([head, fx.process(x[1024:], rate), fx.tail()])
    unchanged = crumlet.Effect(preset="Phone call", block_frames=256)(x, sample_rate=rate)
    assert same_bits(changed[:768], unchanged[:768])
    assert not same_bits(changed[768:1024], unchanged[768:1024])
    # The change is the gain, once the effect has moved to it.
    late = slice(rate // 2, rate // 2 + 4000)
    ratio = np.sqrt(np.mean(changed[late] ** 2) / np.mean(unchanged[late] ** 2))
    assert ratio == pytest.approx(10 ** ((-12 - before) / 20), rel=0.05)


def test_empty_input_returns_empty():
    fx = crumlet.Effect()
    assert fx(np.zeros(0, dtype=np.float32), sample_rate=48000).shape == (0,)
    assert fx(np.zeros((0, 2)), sample_rate=48000).shape == (0, 2)
    assert fx.process(np.zeros(0, dtype=np.float32), 48000).shape == (0,)
    assert fx.pending_frames == 0 and fx.tail().size == 0
