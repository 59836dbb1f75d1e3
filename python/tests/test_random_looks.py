"""Randomness that moves on: a settable seed that draws the frames lost and the static (the
effect's own hiss is the module's fixed noise sequence, as in the host), RandomLook's sequence
of draws and records, the listings its options come from, and render_files' draws per file and
per epoch."""

import pickle

import numpy as np
import pytest

import crumlet
from conftest import EFFECT_ONLY, EFFECT_ONLY_KEYWORDS, run_tool, same_bits, speech, write_float_wav, read_wav


def test_the_seed_is_settable_and_draws_the_frames_lost():
    x, rate = speech(seconds=1.5)
    fx = crumlet.Effect(codec="gsm", loss="20%", seed=3)
    first = fx(x, rate)
    fx.seed = 4
    assert fx.seed == 4 and "seed=4" in repr(fx)
    assert not same_bits(fx(x, rate), first)
    fx.seed = 3
    assert same_bits(fx(x, rate), first)


def test_the_effects_own_hiss_is_the_hosts_whatever_the_seed(tool_render):
    # The seed draws what follows the effect (the frames lost, above); the effect's hiss is
    # the module's fixed noise sequence in every Effect, and the tool's for any --seed.
    x, rate = speech(seconds=1.0)
    hiss = dict(EFFECT_ONLY_KEYWORDS, NoiseEnable=True, NoiseLevel="-30dB")
    outputs = [crumlet.Effect(seed=seed, **hiss)(x, rate) for seed in (0, 1, 2)]
    assert not same_bits(outputs[0], crumlet.Effect(**dict(hiss, NoiseEnable=False))(x, rate))
    assert same_bits(outputs[0], outputs[1]) and same_bits(outputs[0], outputs[2])
    args = ("--set", "NoiseEnable=on", "--set", "NoiseLevel=-30dB", *EFFECT_ONLY)
    assert same_bits(outputs[0], tool_render(x, rate, *args, "--seed", 2))


LOOK = dict(devices=["Telephones", "Cheapo Handset"], presets=["Phone call", "Police radio"], tuning=(90, 110),
            codecs=["gsm", "amr:7.4"], loss=(1, 20), noise=(-60, -40), spaces=["car", "bathroom"], p=0.5)


def test_a_random_look_draws_anew_each_call_and_its_record_renders_it_again():
    x, rate = speech(seconds=1.0)
    look = crumlet.RandomLook(**LOOK, seed=7)
    outputs, records = [], []
    for _ in range(8):
        outputs.append(look(x, rate))
        records.append(look.last)
    assert len({repr(r) for r in records}) == 8
    assert {r["codec"] for r in records} >= {"none"} and len({r["codec"] for r in records}) > 1
    assert all(r["preset"] in LOOK["presets"] and 90 <= r["SIMTuning"] <= 110 for r in records)
    assert all(r["loss"] == "off" or r["codec"] != "none" for r in records)
    for y, record in zip(outputs[:4], records[:4]):
        assert len(y) == len(x)
        assert same_bits(y, crumlet.Effect(**record)(x, rate))
    # The effect a look keeps and sets again is the record's, whatever was drawn before it.
    for _ in range(60):
        record = look.draw()
        assert look.effect(record).block == crumlet.Effect(**record).block
    # The same seed, the same sequence; a pickled look goes on where it was.
    again = crumlet.RandomLook(**LOOK, seed=7)
    assert same_bits(again(x, rate), outputs[0])
    resumed = pickle.loads(pickle.dumps(again))
    assert same_bits(resumed(x, rate), outputs[1]) and resumed.last == records[1]


def test_a_random_look_refuses_what_it_cannot_draw():
    with pytest.raises(ValueError, match="no device model or category"):
        crumlet.RandomLook(devices=["No such thing"])
    with pytest.raises(ValueError, match="codec"):
        crumlet.RandomLook(codecs=["mp3"])
    with pytest.raises(ValueError, match="p is a probability"):
        crumlet.RandomLook(p=2)
    with pytest.raises(ValueError, match="low <= high"):
        crumlet.RandomLook(tuning=(110, 90))


def test_codecs_spaces_and_device_categories():
    import json
    codecs = crumlet.codecs()
    assert {"gsm", "amr", "amr-wb", "opus"} <= set(codecs)
    for name, codec in codecs.items():
        assert codec["default"] in codec["modes"] and codec["sample_rate"] in (8000, 16000, 48000), name
        if codec["available"]:
            for mode in codec["modes"]:
                assert crumlet.Effect(codec=mode).transmission["codec"] == mode
    assert "amr:7.4" in codecs["amr"]["modes"]
    assert crumlet.spaces() == json.loads(run_tool("spaces", "--json").stdout)
    categories = crumlet.device_categories()
    assert len(categories) == len(set(categories)) > 5
    assert sum(len(crumlet.devices(category=c)) for c in categories) == len(crumlet.devices())
    assert crumlet.__version__ in run_tool("--version").stdout


def test_render_files_draws_each_file_and_each_epoch_its_own(tmp_path):
    x, rate = speech(seconds=1.0)
    folder = tmp_path / "lines"
    folder.mkdir()
    for name in ("a.wav", "b.wav"):
        write_float_wav(folder / name, x, rate)  # the same recording under two names

    def render(out, **options):
        outcomes = crumlet.render_files(folder, tmp_path / out, "Phone call", vary=["SIMTuning=+-6"], seed=11,
                                        codec="none", **options)
        return {o["output"].rsplit("/", 1)[-1]: read_wav(o["output"])[0] for o in outcomes}

    first = render("first")
    assert not same_bits(first["a.wav"], first["b.wav"])
    assert same_bits(render("again")["a.wav"], first["a.wav"])
    epoch = render("epoch1", epoch=1)
    assert not same_bits(epoch["a.wav"], first["a.wav"])
    assert same_bits(render("epoch1again", epoch=1)["a.wav"], epoch["a.wav"])
