#!/usr/bin/env python3
"""The crumlet module's throughput, in times real time, on one and two threads, against
`crumlet render` on the same material (real speech, as float WAV files).

    python3 python/bench/throughput.py [--seconds 60] [--files 4] [--preset "Police radio"]
        [--tool build/cli/crumlet] [--utterances 200]

From any folder: without crumlet importable it takes the checkout's build/python, and the
tool is the checkout's build/cli/crumlet unless --tool or CRUMLET_TOOL says.

Each figure is audio seconds rendered per wall-clock second, the best of --repeats runs:
- module, one call: fx(x) for every file, one after another, on one thread;
- module, streamed: fx.process in 4096-frame chunks, then fx.tail();
- module, 2 threads: the files split between two threads, an instance each;
- tool: `crumlet render --in FILES --out-dir DIR --jobs N` (reading, metering and writing
  the files, and starting the process, included);
- augmentation, per 3 s utterance at 16 kHz, as long as the input: a fixed Effect against a
  RandomLook without a codec (device, tuning, noise drawn per call), and one with codecs,
  on one and two threads;
- 10 ms chunks (160 frames at 16 kHz) streamed through fx.process without a codec: times
  real time and the time per call.
"""

import argparse
import os
import shutil
import subprocess
import sys
import tempfile
import threading
import time
from pathlib import Path

import numpy as np

ROOT = Path(__file__).resolve().parents[2]
sys.path.insert(0, str(ROOT / "python" / "tests"))
try:
    import crumlet  # noqa: E402
except ImportError:
    sys.path.insert(0, str(ROOT / "build" / "python"))
    import crumlet  # noqa: E402
from conftest import read_wav, write_float_wav  # noqa: E402

SPEECH = sorted(Path("/usr/share/pocketsphinx/test/data/librivox").glob("*.wav"))


def material(seconds, files):
    """`files` mono recordings of `seconds` each at 16 kHz, from the recorded speech."""
    speech = np.concatenate([read_wav(p)[0][:, 0] for p in SPEECH])
    rate = 16000
    frames = int(seconds * rate)
    whole = np.resize(speech, frames * files).astype(np.float32)
    return [np.ascontiguousarray(whole[i * frames:(i + 1) * frames]) for i in range(files)], rate


def best(repeats, run):
    times = []
    for _ in range(repeats):
        started = time.perf_counter()
        run()
        times.append(time.perf_counter() - started)
    return min(times)


def on_threads(threads, preset, parts, rate, render):
    def work(part):
        fx = crumlet.Effect(preset=preset)
        for x in part:
            render(fx, x, rate)

    workers = [threading.Thread(target=work, args=(parts[i::threads],)) for i in range(threads)]
    for w in workers:
        w.start()
    for w in workers:
        w.join()


def whole(fx, x, rate):
    fx(x, sample_rate=rate)


def streamed(fx, x, rate):
    for i in range(0, len(x), 4096):
        fx.process(x[i:i + 4096], rate)
    fx.tail()


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--seconds", type=float, default=60.0, help="length of each file")
    parser.add_argument("--files", type=int, default=4)
    parser.add_argument("--preset", default="Police radio")
    parser.add_argument("--repeats", type=int, default=3)
    parser.add_argument("--tool", default=os.environ.get("CRUMLET_TOOL", str(ROOT / "build" / "cli" / "crumlet")))
    parser.add_argument("--utterances", type=int, default=200, help="3 s utterances for the augmentation figures")
    parser.add_argument("--only-augmentation", action="store_true", help="only the augmentation and chunk figures")
    args = parser.parse_args()
    if args.only_augmentation:
        augmentation(args)
        return

    parts, rate = material(args.seconds, args.files)
    audio = args.seconds * args.files
    print(f"load average {os.getloadavg()[0]:.1f}; " f"{args.files} mono files of {args.seconds:g} s of speech at {rate} Hz ({audio:g} s), "
          f"\"{args.preset}\", best of {args.repeats}; {os.cpu_count()} cores")
    rows = []
    for threads in (1, 2):
        rows.append((f"module, one call, {threads} thread{'s' * (threads > 1)}",
                     best(args.repeats, lambda: on_threads(threads, args.preset, parts, rate, whole))))
        rows.append((f"module, streamed, {threads} thread{'s' * (threads > 1)}",
                     best(args.repeats, lambda: on_threads(threads, args.preset, parts, rate, streamed))))
    folder = Path(tempfile.mkdtemp(prefix="crumlet-bench-"))
    try:
        (folder / "in").mkdir()
        for i, x in enumerate(parts):
            write_float_wav(folder / "in" / f"line{i}.wav", x, rate)
        for jobs in (1, 2):
            def tool():
                shutil.rmtree(folder / "out", ignore_errors=True)
                subprocess.run([args.tool, "render", "--in", str(folder / "in"), "--out-dir", str(folder / "out"),
                                "--preset", args.preset, "--jobs", str(jobs), "--quiet"], check=True)
            rows.append((f"crumlet render, --jobs {jobs}", best(args.repeats, tool)))
    finally:
        shutil.rmtree(folder, ignore_errors=True)
    for name, seconds in rows:
        print(f"  {name:32s} {seconds:7.3f} s   {audio / seconds:8.0f}x real time")
    augmentation(args)


def augmentation(args):
    utterances, rate = material(3.0, args.utterances)
    audio = 3.0 * len(utterances)
    print(f"{len(utterances)} utterances of 3 s at {rate} Hz ({audio:g} s), each as long as it came")
    devices = ["Telephones", "Cell Phones", "Radios"]
    makers = {
        "fixed Effect": lambda: crumlet.Effect(preset="Phone call", codec="none", loss="off", radio="off",
                                               keep_length=True),
        "RandomLook, no codec": lambda: crumlet.RandomLook(devices=devices, tuning=(92, 108), noise=(-65, -45),
                                                           seed=1),
        "RandomLook, codecs p=0.5": lambda: crumlet.RandomLook(devices=devices, tuning=(92, 108),
                                                               codecs=["gsm", "amr:7.4", "opus:16k"], loss=(1, 10),
                                                               noise=(-65, -45), seed=1),
    }
    for name, make in makers.items():
        for threads in (1, 2):
            # Made before the clock starts: a look lists the device models once, when made.
            looks = [make() for _ in range(threads)]

            def run():
                def work(look, part):
                    for x in part:
                        look(x, rate)
                workers = [threading.Thread(target=work, args=(looks[i], utterances[i::threads]))
                           for i in range(threads)]
                for w in workers:
                    w.start()
                for w in workers:
                    w.join()
            seconds = best(args.repeats, run)
            print(f"  {name + f', {threads} thread' + 's' * (threads > 1):32s} {seconds:7.3f} s   "
                  f"{audio / seconds:8.0f}x real time   {seconds / len(utterances) * 1e3:6.2f} ms per utterance")
    x = np.concatenate(utterances[:20])
    fx = crumlet.Effect(preset="Phone call", codec="none", loss="off", radio="off")
    chunk = 160

    def stream():
        for i in range(0, len(x) - chunk + 1, chunk):
            fx.process(x[i:i + chunk], rate)
        fx.tail()
    seconds = best(args.repeats, stream)
    calls = len(x) // chunk
    print(f"  {'10 ms chunks, streamed':32s} {seconds:7.3f} s   {len(x) / rate / seconds:8.0f}x real time   "
          f"{seconds / calls * 1e6:6.1f} us per call")


if __name__ == "__main__":
    main()
