"""The module's samples are `crumlet render`'s for the same input, settings, transmission,
seed and buffer size, bit for bit: mono and stereo, at two rates, on real speech."""

import numpy as np
import pytest

import crumlet
from conftest import EFFECT_ONLY, EFFECT_ONLY_KEYWORDS, SPEECH_16K, SPEECH_48K, read_wav, run_tool, same_bits, \
    speech, write_float_wav

# Police radio: the effect and its radio (its codec2 left out: see below); Mobile call,
# breaking up: AMR with bursts of lost frames; Phone call and Broken toy: the effect alone.
LOOKS = [
    ("Police radio", {"SIMTuning": 110, "NoiseLevel": "-40dB", "codec": "none"},
     ["--set", "SIMTuning=110", "NoiseLevel=-40dB", "--codec", "none"]),
    ("Mobile call, breaking up", {}, []),
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


# Opus with lost frames, a radio with static, GSM alone (nothing random: the seed is moot).
@pytest.mark.parametrize("preset,seeded", [("Video call", True), ("Walkie-talkie", True), ("Mobile call (2G)", False)])
def test_the_transmission_and_its_seed_are_the_tools(tool_render, preset, seeded):
    x, rate = speech(SPEECH_48K, seconds=2.0)
    y = crumlet.Effect(preset, seed=11)(x, sample_rate=rate)
    assert same_bits(y, tool_render(x, rate, "--preset", preset, "--seed", 11))
    assert same_bits(y, crumlet.Effect(preset, seed=12)(x, sample_rate=rate)) != seeded


def test_codec_loss_and_radio_replace_the_presets(tool_render):
    x, rate = speech(seconds=1.5)
    fx = crumlet.Effect("Police radio", codec="amr:7.4", loss="3%:burst=4", radio=True, seed=5)
    assert fx.transmission == {"codec": "amr:7.4", "loss": "3%:burst=4", "radio": "on"} and fx.seed == 5
    expected = tool_render(x, rate, "--preset", "Police radio", "--codec", "amr:7.4", "--loss", "3%:burst=4",
                           "--radio", "on", "--seed", 5)
    assert same_bits(fx(x, sample_rate=rate), expected)


@pytest.mark.parametrize("preset", ["Police radio", "Mobile call (2G)"])
def test_the_effect_alone(tool_render, preset):
    x, rate = speech(seconds=1.5)
    fx = crumlet.Effect(preset, **EFFECT_ONLY_KEYWORDS)
    assert fx.transmission == EFFECT_ONLY_KEYWORDS
    y = fx(x, sample_rate=rate)
    assert same_bits(y, tool_render(x, rate, "--preset", preset, *EFFECT_ONLY))
    assert not same_bits(y, crumlet.Effect(preset)(x, sample_rate=rate))


def test_the_tools_seed_from_the_output_name(tmp_path):
    x, rate = speech(seconds=1.0)
    write_float_wav(tmp_path / "in.wav", x, rate)
    run_tool("render", "--in", tmp_path / "in.wav", "--out", tmp_path / "radio_take3.wav", "--quiet", "--preset",
             "Mobile call, breaking up")
    seed = crumlet.seed_from_name(tmp_path / "somewhere" / "radio_take3.wav")
    assert seed == crumlet.seed_from_name("radio_take3.wav") != crumlet.seed_from_name("radio_take4.wav")
    y = crumlet.Effect("Mobile call, breaking up", seed=seed)(x, sample_rate=rate)
    assert same_bits(y, read_wav(tmp_path / "radio_take3.wav")[0][:, 0])


def test_codec2_renders_repeat(tool_render):
    # Codec 2's random phases come from each render's own generator, not one of the process's.
    x, rate = speech(seconds=1.0)
    fx = crumlet.Effect("Police radio")
    first = fx(x, sample_rate=rate)
    assert same_bits(first, fx(x, sample_rate=rate))
    assert same_bits(first, tool_render(x, rate, "--preset", "Police radio", "--seed", 0))


def test_bad_transmission_texts_are_the_tools_errors():
    with pytest.raises(ValueError, match="codec"):
        crumlet.Effect(codec="mp3")
    with pytest.raises(ValueError, match="loss= needs a codec"):
        crumlet.Effect(loss="5%")
    with pytest.raises(ValueError):
        crumlet.Effect(radio="static=loud")
    with pytest.raises(ValueError, match="seed is a whole number from 0 to 2\\*\\*64 - 1, not -1"):
        crumlet.Effect(seed=-1)
    with pytest.raises(TypeError, match="seed is a whole number"):
        crumlet.Effect(seed="7")


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
    # float64 read in place, a piece at a time, whole and streamed (in chunks longer than a
    # piece): as numpy's float32 conversion, for values float32 cannot hold.
    longer = np.tile(x, 5)
    for wide64 in (longer + np.random.default_rng(2).standard_normal(len(longer)) * 1e-6,
                   stereo(longer).astype(np.float64) / 3):
        as_float32 = fx(wide64.astype(np.float32), sample_rate=rate)
        assert same_bits(fx(wide64, sample_rate=rate), as_float32)
        chunks = [fx.process(wide64[i:i + 40000], rate) for i in range(0, len(wide64), 40000)]
        assert same_bits(np.concatenate(chunks + [fx.tail()]), as_float32)


def test_nan_and_inf_are_taken_as_the_tool_takes_them(tool_render):
    x, rate = speech(seconds=0.5)
    x = x.copy()
    x[100:110] = np.nan
    x[2000] = np.inf
    fx = crumlet.Effect(preset="Phone call")
    y = fx(x, sample_rate=rate)
    assert same_bits(y, tool_render(x, rate, "--preset", "Phone call"))
    assert np.all(np.isfinite(y))


def test_a_space_is_the_tools(tool_render, tmp_path):
    x, rate = speech(SPEECH_48K, seconds=1.5)
    fx = crumlet.Effect("Walkie-talkie", space="bathroom:mix=50", seed=3)
    assert fx.space == "bathroom:mix=50"
    y = fx(x, sample_rate=rate)
    assert same_bits(y, tool_render(x, rate, "--preset", "Walkie-talkie", "--space", "bathroom:mix=50", "--seed", 3))
    assert len(y) > len(crumlet.Effect("Walkie-talkie", seed=3)(x, sample_rate=rate)), "the room's decay follows"
    assert same_bits(y, crumlet.Effect(**fx.settings)(x, sample_rate=rate))
    with pytest.raises(ValueError, match="no space or file"):
        crumlet.Effect(space="nosuch")
