"""Effects that travel: Effect and RandomLook pickle and copy with everything that shapes the
sound, repr shows it, and Python's errors are in Python's words."""

import copy
import pickle
import re

import numpy as np
import pytest

import crumlet
from conftest import SPEECH_16K, read_wav, same_bits, speech, write_float_wav


def test_an_effect_pickles_and_copies_with_everything_that_shapes_it():
    x, rate = speech(seconds=1.0)
    fx = crumlet.Effect("Video call", codec="amr:7.4", loss="5%", space="car", seed=9, block_frames=300,
                        keep_length=True, loudness=-20, SIMTuning=104)
    text = repr(fx)
    for part in ("codec='amr:7.4'", "loss='5%'", "space='car", "seed=9", "block_frames=300", "keep_length=True",
                 "loudness=-20.0", "SIMTuning=104"):
        assert part in text, part
    expected = fx(x, rate)
    for other in (pickle.loads(pickle.dumps(fx)), copy.copy(fx), copy.deepcopy(fx)):
        assert repr(other) == text and other.settings == fx.settings and other.block == fx.block
        assert same_bits(other(x, rate), expected)
    look = crumlet.RandomLook(codecs=["gsm"], seed=2, loudness=-23)
    assert "seed=2" in repr(look) and "loudness=-23" in repr(look)
    assert same_bits(copy.deepcopy(look)(x, rate), look(x, rate))


def python_words(message):
    """No option of the tool's and no dump of pybind11's in a message."""
    return not re.search(r"(^|[\s(\"'])--[a-z]", message) and "incompatible" not in message


def test_errors_in_pythons_words(tmp_path):
    x, rate = speech(seconds=0.2)
    fx = crumlet.Effect()
    assert same_bits(fx(x, 16000.0), fx(x, 16000))
    failing = [
        (TypeError, lambda: fx(x, sr=16000), "unexpected keyword argument 'sr'"),
        (TypeError, lambda: fx(x), "sample rate is missing"),
        (ValueError, lambda: fx(x, 16000.5), "sample_rate is a whole number"),
        (TypeError, lambda: fx(x, "16k"), "sample_rate is a whole number"),
        (ValueError, lambda: crumlet.Effect(seed=-1), "seed is a whole number"),
        (TypeError, lambda: crumlet.Effect(block_frames="512"), "block_frames is a whole number"),
        (ValueError, lambda: crumlet.Effect(loss="bad"), "loss= takes"),
        (ValueError, lambda: crumlet.Effect(codec="gsm", loss="bad"), "loss= takes"),
        (ValueError, lambda: crumlet.Effect(radio="static=loud"), "static= takes"),
    ]
    for error, call, words in failing:
        with pytest.raises(error) as raised:
            call()
        assert words in str(raised.value) and python_words(str(raised.value)), str(raised.value)
    write_float_wav(tmp_path / "a.wav", x, rate)
    crumlet.render_files(tmp_path / "a.wav", tmp_path / "out")
    with pytest.raises(ValueError) as raised:
        crumlet.render_files(tmp_path / "a.wav", tmp_path / "out")
    assert "force=True" in str(raised.value) and python_words(str(raised.value)), str(raised.value)


def test_a_mistyped_attribute_suggests_a_property_not_an_editor_label():
    fx = crumlet.Effect()
    names = {p["name"] for p in crumlet.properties()}
    for typo in ("DRIV", "Mdoe", "BALANC", "Moed"):
        with pytest.raises(AttributeError) as raised:
            getattr(fx, typo)
        suggested = re.findall(r'"([^"]+)"', str(raised.value))[1:]
        assert suggested and set(suggested) <= names, str(raised.value)


def test_render_files_renders_a_line_list(tmp_path):
    x, rate = speech(SPEECH_16K, seconds=0.5)
    write_float_wav(tmp_path / "a.wav", x, rate)
    (tmp_path / "lines.csv").write_text(f"input,output,preset,seed\n{tmp_path / 'a.wav'},{tmp_path / 'a_phone.wav'},"
                                        "Phone call,4\n")
    [outcome] = crumlet.render_files(lines=tmp_path / "lines.csv")
    assert outcome["status"] == "rendered"
    expected = crumlet.Effect("Phone call", seed=4)(x, rate)
    assert same_bits(read_wav(tmp_path / "a_phone.wav")[0][:, 0], expected)
    (tmp_path / "names.csv").write_text("input,name\na.wav,{stem}_x.wav\n")
    [outcome] = crumlet.render_files(out_dir=tmp_path / "out", lines=str(tmp_path / "names.csv"))
    assert outcome["status"] == "rendered", outcome
    with pytest.raises(ValueError) as raised:
        crumlet.render_files(tmp_path / "a.wav", tmp_path / "o", lines=tmp_path / "lines.csv")
    assert python_words(str(raised.value)), str(raised.value)
