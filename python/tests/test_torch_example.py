"""The PyTorch Dataset example: fetched twice, a clip sounds different each time, as long as
it was and at -23 LUFS, each item rendered again by its record. Needs torch (Debian's
python3-torch); skipped without it."""

import importlib.util
from pathlib import Path

import numpy as np
import pytest

import crumlet
from conftest import same_bits, speech

torch = pytest.importorskip("torch")

EXAMPLE = Path(__file__).resolve().parents[1] / "examples" / "torch_dataset.py"


def load_example():
    spec = importlib.util.spec_from_file_location("torch_dataset", EXAMPLE)
    module = importlib.util.module_from_spec(spec)
    spec.loader.exec_module(module)
    return module


def test_each_fetch_draws_a_new_look_that_its_record_renders_again():
    example = load_example()
    x, rate = speech(seconds=1.0)
    stereo = np.stack([x, x[::-1]])
    dataset = example.AugmentedSpeech([torch.from_numpy(x), torch.from_numpy(stereo)], rate, seed=3)
    first, record = dataset[0]
    again, record_again = dataset[0]
    assert first.shape == (len(x),) and record != record_again and not torch.equal(first, again)
    assert same_bits(first.numpy(), crumlet.Effect(**record)(x, rate))
    item, record = dataset[1]
    assert item.shape == stereo.shape
    assert same_bits(item.numpy(), crumlet.Effect(**record)(stereo, rate))
    loader = torch.utils.data.DataLoader(dataset, batch_size=None, num_workers=2,
                                         worker_init_fn=example.AugmentedSpeech.worker_init)
    seeds = [record["seed"] for _, record in loader]
    assert len(set(seeds)) == 2


def test_each_epoch_draws_new_looks_and_a_run_with_the_same_seed_the_same_ones():
    example = load_example()
    x, rate = speech(seconds=0.5)
    clips = [torch.from_numpy(np.ascontiguousarray(x[k * 800:])) for k in range(6)]

    def epochs(seed):
        loader = example.loader_for(example.AugmentedSpeech(clips, rate, seed=seed), workers=2, seed=seed)
        return [[(len(audio), record["seed"]) for audio, record in loader] for _ in range(2)]

    first, second = epochs(5)
    assert {s for _, s in first}.isdisjoint(s for _, s in second), "the second epoch repeats the first's looks"
    assert epochs(5) == [first, second]

