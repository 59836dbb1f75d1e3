"""Bad names, values and arrays: the tool's own messages as KeyError and ValueError, clear
TypeErrors for what is not audio, and nothing changed by a refused value."""

import numpy as np
import pytest

import crumlet
from conftest import run_tool, write_float_wav


def tool_message(*assignments):
    result = run_tool("bank", "--out", "/dev/null", "--set", *assignments, check=False)
    assert result.returncode == 2
    return result.stderr.strip().removeprefix("crumlet bank: ")


def test_unknown_names_are_key_errors_with_the_tools_message():
    message = tool_message("SIMTypo=3")
    with pytest.raises(KeyError) as error:
        crumlet.Effect(SIMTypo=3)
    assert error.value.args[0] == message
    fx = crumlet.Effect()
    with pytest.raises(KeyError) as error:
        fx["SIMTypo"] = 3
    assert error.value.args[0] == message
    with pytest.raises(KeyError):
        fx["SIMTypo"]
    with pytest.raises(AttributeError, match="did you mean"):
        fx.SIMTypo = 3
    with pytest.raises(AttributeError):
        fx.SIMTypo


@pytest.mark.parametrize("name,value,text", [
    ("NoiseLevel", 5, "5"), ("SIMType", "No such phone", "No such phone"), ("EQFreq", "3 parsecs", "3 parsecs"),
    ("SIMEnable", "maybe", "maybe"), ("LoFiBitDepthType", "#99", "#99"), ("OutputGain", float("nan"), "nan"),
])
def test_bad_values_are_value_errors_with_the_tools_message(name, value, text):
    message = tool_message(f"{name}={text}")
    fx = crumlet.Effect(preset="Phone call")
    before = fx.block
    with pytest.raises(ValueError) as error:
        fx[name] = value
    assert str(error.value) == message
    assert fx.block == before, "a refused value changes nothing"
    with pytest.raises(ValueError):
        crumlet.Effect(**{name: value})


def test_bad_presets_banks_and_buffer_sizes():
    with pytest.raises(ValueError, match="no preset|preset"):
        crumlet.Effect(preset="No such look")
    with pytest.raises(ValueError, match="a parameter block is 139 bytes"):
        crumlet.Effect(bank=b"\0" * 10)
    with pytest.raises(ValueError, match="block_frames takes 1 to 65536"):
        crumlet.Effect(block_frames=0)
    with pytest.raises(TypeError):
        crumlet.Effect(SIMType=[1, 2])


def test_arrays_that_are_not_audio():
    fx = crumlet.Effect()
    with pytest.raises(TypeError, match="floating point"):
        fx(np.zeros(100, dtype=np.int16), sample_rate=48000)
    with pytest.raises(ValueError, match="3 dimensions"):
        fx(np.zeros((10, 2, 2), dtype=np.float32), sample_rate=48000)
    with pytest.raises(ValueError, match="a sample rate of 4000 Hz; the effect runs at 8000 to 384000 Hz"):
        fx(np.zeros(100, dtype=np.float32), sample_rate=4000)
    with pytest.raises(ValueError, match="65 channels; the effect takes 1 to 64"):
        fx(np.zeros((100, 65), dtype=np.float32), sample_rate=48000)
    with pytest.raises(ValueError, match="0 channels"):
        fx.process(np.zeros((100, 0), dtype=np.float32), 48000)
    assert fx.pending_frames == 0, "a refused chunk starts no stream"


def test_devices_by_an_unknown_category():
    with pytest.raises(ValueError, match="no category"):
        crumlet.devices(category="spaceships")


def test_ctrl_c_stops_a_long_render():
    import _thread
    import threading

    x = np.zeros(16000 * 600, dtype=np.float32)  # ten minutes: about a second's work
    timer = threading.Timer(0.05, _thread.interrupt_main)
    timer.start()
    try:
        with pytest.raises(KeyboardInterrupt):
            crumlet.Effect(preset="Phone call")(x, sample_rate=16000)
    finally:
        timer.cancel()


def test_a_nul_is_refused_in_every_text_and_path(tmp_path):
    fx = crumlet.Effect(preset="Phone call")
    before = fx.block
    for name, value in [("NoiseLevel", "0dB\0junk"), ("SIMType", "House Phone\0"), ("SIMEnable", "on\0off"),
                        ("LoFiBitDepthType", "#3\0"), ("LoFiDownSampleIndex", "8000 Hz\0")]:
        with pytest.raises(ValueError, match=f"{name}.*NUL"):
            setattr(fx, name, value)
        with pytest.raises(ValueError, match="NUL"):
            crumlet.Effect(**{name: value})
    assert fx.block == before, "a refused value changes nothing"
    for keywords in [{"preset": "Phone call\0x"}, {"bank": str(tmp_path / "bank\0x")}, {"codec": "gsm\0x"},
                     {"loss": "5%\0x"}, {"radio": "on\0x"}]:
        with pytest.raises(ValueError, match="NUL"):
            crumlet.Effect(**keywords)
    with pytest.raises(ValueError, match="NUL"):
        crumlet.seed_from_name("out\0.wav")
    with pytest.raises(ValueError, match="NUL"):
        crumlet.devices("phone\0x")
    with pytest.raises(ValueError, match="NUL"):
        crumlet.devices(category="phones\0x")

    x, rate = np.zeros(4800, dtype=np.float32), 48000
    source = tmp_path / "a.wav"
    write_float_wav(source, x, rate)
    out = tmp_path / "o5"
    for inputs, out_dir, keywords in [
        (source, str(out) + "\0x", {}),
        (str(source) + "\0x", out, {}),
        ([source, str(source) + "\0x"], out, {}),
        (source, out, {"preset": "Phone call\0x"}),
        (source, out, {"settings": {"NoiseLevel": "0dB\0junk"}}),
        (source, out, {"settings": {"codec": "gsm\0x"}}),
        (source, out, {"vary": "SIMTuning=+-6\0x"}),
        (source, out, {"vary": ["SIMTuning=+-6\0x"]}),
        (source, out, {"name": "{stem}\0.wav"}),
        (source, out, {"format": "float\0x"}),
        (source, out, {"dither": "none\0x"}),
        (source, out, {"rate": "48k\0x"}),
        (source, out, {"seed": "7\0x"}),
        (source, out, {"codec": "gsm\0x"}),
        (source, out, {"lines": str(tmp_path / "lines.csv\0x")}),
        (source, out, {"like": str(tmp_path / "like.wav\0x")}),
        (source, out, {"save_preset": str(tmp_path / "p.json\0x")}),
    ]:
        with pytest.raises(ValueError, match="NUL"):
            crumlet.render_files(inputs, out_dir, **keywords)
        assert not out.exists(), f"nothing is written: {keywords or (inputs, out_dir)}"
