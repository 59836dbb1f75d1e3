"""Settings: values read as the tool reads them, native types back, and the round trip
settings -> new Effect -> the same parameter block, transmission and seed, for every shipped
preset."""

import json
import subprocess

import pytest

import crumlet
from conftest import run_tool, same_bits, speech

TRANSMISSION_AND_SEED = ["codec", "loss", "radio", "space", "seed"]


def tool_block(tmp_path, *args):
    out = tmp_path / "block.bin"
    run_tool("bank", "--out", out, *args)
    return out.read_bytes()


@pytest.mark.parametrize("preset", list(crumlet.presets()))
def test_settings_round_trip_to_the_same_block(preset):
    fx = crumlet.Effect(preset=preset)
    again = crumlet.Effect(**fx.settings)
    assert again.block == fx.block
    assert again.settings == fx.settings
    assert crumlet.Effect(bank=fx.block).block == fx.block


def test_values_read_as_the_tool_reads_them(tmp_path):
    texts = {"SIMType": "House Phone", "NoiseLevel": "-40dB", "EQFreq": "2.5kHz", "GateAttackTime": "0.05s",
             "LoFiBitDepthType": "#3", "DistortionEnable": "on", "FiltersLPFSlope": "24 dB/oct"}
    fx = crumlet.Effect(preset="Police radio", **texts)
    assert fx.block == tool_block(tmp_path, "--preset", "Police radio", "--set",
                                  *[f"{k}={v}" for k, v in texts.items()])
    assert fx.NoiseLevel == -40.0 and fx.EQFreq == 2500.0 and fx.GateAttackTime == 50.0
    assert fx.DistortionEnable is True and fx.SIMType == "House Phone"


def test_native_types_and_any_case():
    fx = crumlet.Effect(simtype=3, eqgain=2.5, GATEENABLE=False)
    settings = fx.settings
    assert list(settings) == [p["name"] for p in crumlet.properties()] + TRANSMISSION_AND_SEED
    assert settings["codec"] == "none" and settings["loss"] == "off" and settings["radio"] == "off"
    assert settings["space"] == "off"
    assert settings["seed"] == 0
    for p in crumlet.properties():
        value = settings[p["name"]]
        expected = {"bool": bool, "int": str if p["values"] else int, "float": float}[p["type"]]
        assert type(value) is expected, p["name"]
    assert fx.SIMType == crumlet.properties()[[p["name"] for p in crumlet.properties()].index("SIMType")]["values"][3]
    assert fx["eqgain"] == 2.5 and fx.GateEnable is False
    assert "NoiseLevel" in fx and "Nonsense" not in fx


def test_attribute_and_item_access_set_the_block(tmp_path):
    fx = crumlet.Effect()
    fx.SIMType = "Blue Walkie Talkie"
    fx["OutputGain"] = "-6dB"
    fx.SIMEnable = True
    assert fx.block == tool_block(tmp_path, "--set", "SIMType=Blue Walkie Talkie", "OutputGain=-6dB", "SIMEnable=on")


def test_a_float_reads_back_as_the_same_single_precision_value():
    fx = crumlet.Effect(OutputGain=0.1, SIMTuning=123.456)
    assert fx.OutputGain == 0.1 and fx.SIMTuning == 123.456
    assert crumlet.Effect(OutputGain=fx.OutputGain, SIMTuning=fx.SIMTuning).block == fx.block


def test_a_bank_file_and_a_preset_file(tmp_path):
    bank = tmp_path / "look.bin"
    run_tool("bank", "--out", bank, "--preset", "Megaphone", "--set", "OutputGain=-3")
    assert crumlet.Effect(bank=bank).block == bank.read_bytes()
    preset = tmp_path / "look.json"
    run_tool("presets", "Megaphone", "--save", preset)
    assert crumlet.Effect(preset=preset).block == crumlet.Effect(preset="Megaphone").block


@pytest.mark.parametrize("preset", ["Police radio", "Mobile call, breaking up", "Phone call"])
def test_an_effect_made_from_settings_renders_the_same(preset):
    fx = crumlet.Effect(preset=preset, seed=11, NoiseLevel="-50dB")
    again = crumlet.Effect(**fx.settings)
    assert again.transmission == fx.transmission and again.seed == 11
    x, rate = speech(seconds=1.5)
    assert same_bits(again(x, rate), fx(x, rate))


def test_repr_names_the_transmission_and_the_seed():
    fx = crumlet.Effect(preset="Police radio", seed=5)
    text = repr(fx)
    assert f"codec={fx.settings['codec']!r}" in text and "seed=5" in text
    assert eval(text, {"crumlet": crumlet}).settings == fx.settings
    assert repr(crumlet.Effect()) == "crumlet.Effect()"
