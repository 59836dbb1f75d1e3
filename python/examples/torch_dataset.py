#!/usr/bin/env python3
"""A PyTorch Dataset that augments speech on the fly with a crumlet.RandomLook.

Every time a clip is fetched it goes through a look drawn anew (a device, its tuning, maybe a
codec with packet loss, maybe noise, maybe a room), as long as the clip and aligned with it,
at -23 LUFS, so a model never hears the same telephone twice. Each DataLoader worker draws
from a generator of its own (the look's seed with the worker's number), so that workers do
not repeat each other's draws and a run with the same seed draws the same looks.

    python3 torch_dataset.py recordings/ --epochs 2 --workers 2

reads the 16-bit WAV files of a folder (Python's wave module) and prints, per batch item,
the look it was given. Debian's python3-torch provides torch.
"""

import argparse
import wave
from pathlib import Path

import numpy as np
import torch
from torch.utils.data import DataLoader, Dataset, get_worker_info

import crumlet

LOOK = dict(devices=["Telephones", "Cell Phones", "Radios"], tuning=(92, 108),
            codecs=["gsm", "amr:7.4", "amr-wb:12.65", "opus:16k"], loss=(1, 15), noise=(-65, -45),
            spaces=["car", "bathroom"], p=0.5, loudness=-23)


class AugmentedSpeech(Dataset):
    """clips: float tensors or arrays, (samples,) or (channels, samples), at sample_rate."""

    def __init__(self, clips, sample_rate, seed=0, **look):
        self.clips = [torch.as_tensor(c, dtype=torch.float32) for c in clips]
        self.sample_rate = sample_rate
        self.seed = seed
        self.look_options = dict(LOOK, **look)
        self.look = crumlet.RandomLook(**self.look_options, seed=[seed, 0])

    def __len__(self):
        return len(self.clips)

    def __getitem__(self, index):
        clip = self.clips[index]
        # The tensor is read where it is (no copy); the output has its shape.
        augmented = torch.from_numpy(self.look(clip, self.sample_rate))
        return augmented, self.look.last

    @staticmethod
    def worker_init(worker_id):
        """DataLoader(worker_init_fn=...): a generator of the worker's own."""
        dataset = get_worker_info().dataset
        dataset.look = crumlet.RandomLook(**dataset.look_options, seed=[dataset.seed, worker_id + 1])


def loader_for(dataset, workers, seed):
    """A shuffling DataLoader over the dataset. The shuffle draws from the seed too, so that a
    run with the same seed pairs the same clips with the same looks; the workers persist from
    epoch to epoch, so that each epoch draws new looks (a worker started anew would start its
    generator anew and repeat the first epoch's)."""
    return DataLoader(dataset, batch_size=None, shuffle=True, num_workers=workers,
                      worker_init_fn=AugmentedSpeech.worker_init if workers else None,
                      persistent_workers=workers > 0, generator=torch.Generator().manual_seed(seed))


def read_pcm16(path):
    with wave.open(str(path)) as w:
        if w.getsampwidth() != 2:
            raise ValueError(f"{path}: 16-bit PCM only in this example")
        samples = np.frombuffer(w.readframes(w.getnframes()), dtype="<i2").astype(np.float32) / 32768
        return samples.reshape(-1, w.getnchannels()).T, w.getframerate()


def main(argv=None):
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("folder", help="a folder of 16-bit WAV files at one rate")
    parser.add_argument("--epochs", type=int, default=2)
    parser.add_argument("--workers", type=int, default=0)
    parser.add_argument("--seed", type=int, default=0)
    args = parser.parse_args(argv)
    clips, rates = zip(*(read_pcm16(p) for p in sorted(Path(args.folder).glob("*.wav"))))
    if len(set(rates)) != 1:
        raise SystemExit("the files are at different rates")
    dataset = AugmentedSpeech(clips, rates[0], seed=args.seed)
    loader = loader_for(dataset, args.workers, args.seed)
    for epoch in range(args.epochs):
        for audio, record in loader:
            print(epoch, tuple(audio.shape), {k: v for k, v in record.items() if k not in ("block_frames",)})
    return 0


if __name__ == "__main__":
    raise SystemExit(main())
