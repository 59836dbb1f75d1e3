"""The Dask example on a local cluster of two workers: every output is the direct render's."""

import os
import subprocess
import sys
from pathlib import Path

import numpy as np
import pytest

from conftest import SPEECH_16K, SPEECH_48K, read_wav, run_tool, same_bits, speech, write_float_wav

pytest.importorskip("distributed")

EXAMPLE = Path(__file__).resolve().parents[1] / "examples" / "dask_augment.py"
# Looks without a transmission after the effect: the example renders with the module, which runs
# the effect alone, and is compared with the tool.
LOOKS = ["Phone call", "Pilot radio"]


def test_the_example_renders_every_file_as_a_direct_render(tmp_path):
    corpus = tmp_path / "corpus"
    (corpus / "speaker2").mkdir(parents=True)
    a, rate_a = speech(SPEECH_16K, seconds=1.5)
    b, rate_b = speech(SPEECH_48K)
    write_float_wav(corpus / "line1.wav", a, rate_a)
    write_float_wav(corpus / "speaker2" / "line2.wav", b, rate_b)
    write_float_wav(corpus / "speaker2" / "stereo.wav", np.stack([a, a[::-1]], axis=1), rate_a)
    out = tmp_path / "augmented"

    result = subprocess.run([sys.executable, str(EXAMPLE), str(corpus), str(out), "--workers", "2",
                             "--looks", *LOOKS], capture_output=True, text=True, timeout=600, env=os.environ.copy())
    assert result.returncode == 0, result.stderr
    assert "6 of 6 renders" in result.stdout

    for source in ["line1.wav", "speaker2/line2.wav", "speaker2/stereo.wav"]:
        for look, folder in zip(LOOKS, ["phone_call", "pilot_radio"]):
            rendered = out / folder / source
            # The same file name: the same seed, so the same draws.
            direct = tmp_path / f"direct-{folder}-{Path(source).parent.name}" / Path(source).name
            direct.parent.mkdir(exist_ok=True)
            run_tool("render", "--in", corpus / source, "--out", direct, "--preset", look, "--loudness", "-23", "--quiet")
            assert same_bits(read_wav(rendered)[0], read_wav(direct)[0]), (source, look)


def test_random_looks_per_file_at_minus_23_lufs(tmp_path):
    import json

    import crumlet

    corpus = tmp_path / "corpus"
    corpus.mkdir()
    a, rate = speech(SPEECH_16K, seconds=1.5)
    write_float_wav(corpus / "line1.wav", a, rate)
    write_float_wav(corpus / "line2.wav", a[::-1].copy(), rate)
    out = tmp_path / "augmented"
    result = subprocess.run([sys.executable, str(EXAMPLE), str(corpus), str(out), "--workers", "2", "--random", "2",
                             "--seed", "5", "--looks", "Phone call", "Video call"], capture_output=True, text=True,
                            timeout=600, env=os.environ.copy())
    assert result.returncode == 0, result.stderr
    assert "4 of 4 renders" in result.stdout
    records = [json.loads(line) for line in (out / "random" / "looks.jsonl").read_text().splitlines()]
    assert len({json.dumps({**r, "output": ""}) for r in records}) == len(records) == 4
    # Each output is its record's look at -23 LUFS.
    for record in records:
        output = Path(record.pop("output"))
        x, _ = read_wav(corpus / (output.stem.rsplit("_", 1)[0] + ".wav"))
        expected = crumlet.Effect(**record, loudness=-23)(x[:, 0], rate)
        assert same_bits(read_wav(output)[0][:, 0], expected), output.name
