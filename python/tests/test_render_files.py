"""render_files is `crumlet render --out-dir`: the same files from the same options, each
file's outcome as the tool's --json gives it, bad usage as ValueError."""

import json

import pytest

import crumlet
from conftest import SPEECH_16K, SPEECH_48K, read_wav, run_tool, same_bits, speech, write_float_wav


@pytest.fixture
def inputs(tmp_path):
    folder = tmp_path / "lines"
    folder.mkdir()
    for i, path in enumerate([SPEECH_16K, SPEECH_48K]):
        x, rate = speech(path, seconds=1.0)
        write_float_wav(folder / f"line{i}.wav", x, rate)
    return folder


@pytest.mark.parametrize("options,tool_args", [
    ({"loudness": -23, "jobs": 2}, ["--loudness", "-23", "--jobs", "2"]),
    ({"match_loudness": True, "format": "pcm16", "block_frames": 300}, ["--match-loudness", "--format", "pcm16",
                                                                         "--block", "300"]),
    ({"rate": "44.1k", "bits": 16, "seed": 7, "vary": ["SIMTuning=+-6"], "name": "{stem}_radio.{ext}"},
     ["--rate", "44.1k", "--bits", "16", "--seed", "7", "--vary", "SIMTuning=+-6", "--name", "{stem}_radio.{ext}"]),
    ({"codec": "gsm", "loss": "5%", "radio": True}, ["--codec", "gsm", "--loss", "5%", "--radio", "on"]),
])
def test_the_tools_files_and_outcomes(tmp_path, inputs, options, tool_args):
    settings = crumlet.Effect(preset="Police radio", NoiseLevel="-50dB").settings
    mine = crumlet.render_files(inputs, tmp_path / "mine", settings=settings, **options)
    # settings= carries the effect's properties, its transmission (the preset's) and its seed,
    # each replaced by the row's own.
    transmission = tool_args if "--seed" in tool_args else ["--seed", "0", *tool_args]
    lines = run_tool("render", "--in", inputs, "--out-dir", tmp_path / "tool", "--json", "--quiet",
                     "--preset", "Police radio", "--set", "NoiseLevel=-50dB", *transmission).stdout.splitlines()
    theirs = [json.loads(line) for line in lines[:-1]]
    key = lambda outcome: outcome["input"]  # noqa: E731 - parallel jobs finish in any order
    assert len(mine) == 2
    for a, b in zip(sorted(mine, key=key), sorted(theirs, key=key)):
        assert a["status"] == "rendered"
        assert {k: v for k, v in a.items() if k != "output"} == {k: v for k, v in b.items() if k != "output"}
        ours, rate = read_wav(a["output"])
        assert same_bits(ours, read_wav(b["output"])[0])


def test_a_preset_by_name_and_a_single_file(tmp_path, inputs):
    [outcome] = crumlet.render_files(str(inputs / "line0.wav"), tmp_path / "out", "Mobile call (2G)")
    x, rate = read_wav(inputs / "line0.wav")
    fx = crumlet.Effect(preset="Mobile call (2G)", seed=crumlet.seed_from_name(outcome["output"]))
    assert same_bits(read_wav(outcome["output"])[0][:, 0], fx(x[:, 0], sample_rate=rate))


def test_a_failing_file_is_reported_and_the_others_render(tmp_path, inputs):
    (inputs / "broken.wav").write_bytes(b"RIFF....WAVEnot audio")
    outcomes = {o["input"].rsplit("/", 1)[-1]: o for o in crumlet.render_files(inputs, tmp_path / "out")}
    assert outcomes["broken.wav"]["status"] == "failed" and outcomes["broken.wav"]["error"]
    assert outcomes["line0.wav"]["status"] == outcomes["line1.wav"]["status"] == "rendered"


def test_bad_usage(tmp_path, inputs):
    with pytest.raises(ValueError, match="loudness= takes an integrated loudness from -70 to 0 LUFS"):
        crumlet.render_files(inputs, tmp_path / "out", loudness=10)
    with pytest.raises(ValueError, match="no preset"):
        crumlet.render_files(inputs, tmp_path / "out", preset="No such look")
    with pytest.raises(KeyError, match="did you mean"):
        crumlet.render_files(inputs, tmp_path / "out", settings={"SIMTypo": 3})
    with pytest.raises(TypeError, match="unexpected keyword argument 'loudnes'"):
        crumlet.render_files(inputs, tmp_path / "out", loudnes=-23)
    with pytest.raises(TypeError, match="loudness= takes"):
        crumlet.render_files(inputs, tmp_path / "out", loudness="loud")
    with pytest.raises(ValueError, match="8000"):
        crumlet.render_files(inputs, tmp_path / "out", rate=100)
    assert not (tmp_path / "out").exists(), "nothing is written for bad usage"


def test_vary_takes_a_text_or_a_list_of_texts(tmp_path, inputs):
    one = crumlet.render_files(inputs, tmp_path / "one", vary="SIMTuning=+-6", seed=3)
    listed = crumlet.render_files(inputs, tmp_path / "listed", vary=["SIMTuning=+-6"], seed=3)
    key = lambda outcome: outcome["input"]  # noqa: E731 - parallel jobs finish in any order
    for a, b in zip(sorted(one, key=key), sorted(listed, key=key)):
        assert a["variation"] == b["variation"] and a["variation"]
        assert same_bits(read_wav(a["output"])[0], read_wav(b["output"])[0])
    with pytest.raises(TypeError, match="vary= takes a text or a list of texts"):
        crumlet.render_files(inputs, tmp_path / "bad", vary=6)


def test_every_keyword_is_a_render_option():
    help_text = run_tool("render", "--help").stdout
    for keyword, option in crumlet.render_keywords().items():
        assert option in help_text, keyword
        assert keyword == option.removeprefix("--").replace("-", "_").replace("block", "block_frames")
    assert {"rate", "vary", "seed", "bits", "channels", "name"} <= set(crumlet.render_keywords())
