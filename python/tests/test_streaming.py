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
        assert fx.pending_frames <= fx.latency_frames
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


# What a stream at 16 kHz holds back at most: the effect's buffer (512 frames), and with a
# codec its frame and look-ahead (at the codec's rate) and its two resamplers' filters. Each
# filter reaches under 150 samples of the lower of the two rates ahead. (libsoxr's own blocks
# held back 4,020 frames with GSM, 1,690 with Opus, 4,099 with AMR, 4,356 with Codec 2 1600
# and 5,768 with LPC-10.)
HELD_BACK_AT_16K = {
    # codec: (latency_frames, the codec's rate, frame and look-ahead in its samples)
    "none": (512, 16000, 0, 0),
    "gsm": (1216, 8000, 160, 0),
    "g726:32k": (1216, 8000, 160, 0),
    "g729": (1135, 8000, 80, 40),
    "amr:12.2": (1295, 8000, 160, 40),
    "amr-wb": (926, 16000, 320, 95),
    "opus:12k": (1127, 48000, 960, 312),
    "codec2:700": (2016, 8000, 320, 240),
    "codec2:1600": (1872, 8000, 320, 168),
    "codec2:3200": (1552, 8000, 160, 168),
    "lpc10": (3004, 8000, 180, 874),
}


@pytest.mark.parametrize("codec", HELD_BACK_AT_16K)
def test_a_stream_holds_back_a_buffer_a_codec_frame_its_look_ahead_and_its_filters(codec):
    if codec != "none" and not crumlet.codecs()[codec.split(":")[0]]["available"]:
        pytest.skip(f"{codec} is not in this build")
    figure, codec_rate, frame, look_ahead = HELD_BACK_AT_16K[codec]
    x, rate = speech(seconds=2)
    assert rate == 16000
    fx = crumlet.Effect("Phone call", codec=codec, seed=1)
    assert fx.latency_frames is None, "no stream in hand: its rate is not known"
    most = 0
    for at in range(0, len(x), 160):
        fx.process(x[at:at + 160], rate)
        most = max(most, fx.pending_frames)
    assert fx.latency_frames == figure
    assert most <= figure
    filters = 0 if codec_rate == rate else 2 * 150 * rate / min(rate, codec_rate)
    assert figure <= fx.block_frames + (frame + look_ahead) * rate / codec_rate + filters
    fx.tail()
    assert fx.latency_frames is None


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
