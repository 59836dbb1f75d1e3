#!/usr/bin/env python3
"""Renders a folder of recordings through a list of looks on a Dask cluster.

Speech-recognition teams augment their corpora with telephone and radio versions of every
recording. Each (recording, look) pair is one task: a worker renders it with
crumlet.render_files, through the same pipeline as `crumlet render` (loudness delivery,
atomic outputs), into OUT_DIR/<look>/ with the input's subfolders mirrored.

    python3 dask_augment.py corpus/ augmented/ --looks "Phone call" "Police radio"
    python3 dask_augment.py corpus/ augmented/ --random 3 --seed 1
    python3 dask_augment.py corpus/ augmented/ --scheduler tcp://scheduler.example:8786

With --random N, each recording gets N looks drawn by a crumlet.RandomLook (a preset from
--looks, a device of its kind, tuning, codec, packet loss, noise and space, each from its
own seed) into OUT_DIR/random/<subfolders>/<stem>_<k>.<ext>; OUT_DIR/random/looks.jsonl
records each output's draw, which crumlet.Effect(**record) renders again. Every output is
brought to --loudness (-23 LUFS unless said).

Without --scheduler it starts a LocalCluster on this machine (--workers processes of
--threads threads each); with it, the same tasks go to an existing cluster, whose workers
need the crumlet package installed and the folders at the same paths (a shared file
system). Prints a line per rendered file and a summary; exits 1 when any file failed.
"""

import argparse
import re
import sys
import time
from pathlib import Path

AUDIO_SUFFIXES = {".wav", ".flac", ".ogg", ".aif", ".aiff"}
DEFAULT_LOOKS = ["Phone call", "Police radio", "Walkie-talkie", "Broken toy"]


def look_folder(look):
    """A look's folder name: "Police radio" -> "police_radio"."""
    return re.sub(r"[^a-z0-9]+", "_", look.lower()).strip("_")


def recordings(folder):
    """The audio files under a folder, hidden ones left out, in a stable order."""
    return sorted(p for p in Path(folder).rglob("*")
                  if p.is_file() and p.suffix.lower() in AUDIO_SUFFIXES and not p.name.startswith("."))


def render_one(source, out_dir, look, loudness, force):
    """One task, run on a worker: the recording through the look, as crumlet render would."""
    import crumlet

    [outcome] = crumlet.render_files(source, out_dir, preset=look, loudness=loudness, force=force, jobs=1)
    outcome["look"] = look
    return outcome


def render_drawn(source, out_dir, record, k, loudness, force):
    """One task of --random: the recording through a drawn look, its record beside the outcome."""
    import crumlet

    settings = {key: value for key, value in record.items()
                if key not in ("preset", "block_frames", "keep_length", "loudness", "match_input")}
    [outcome] = crumlet.render_files(source, out_dir, preset=record.get("preset"), settings=settings,
                                     loudness=loudness, force=force, jobs=1, name=f"{{stem}}_{k}.{{ext}}")
    outcome["look"] = f"random {k}"
    outcome["record"] = record
    return outcome


def plan_random(in_dir, out_dir, looks, count, seed):
    """(source, output folder, record, k) for every recording and each of its draws."""
    import crumlet

    drawer = crumlet.RandomLook(presets=looks, tuning=(92, 108), codecs=["gsm", "amr:7.4", "amr-wb:12.65",
                                                                          "opus:16k", "codec2:3200"],
                                loss=(1, 15), noise=(-65, -45), spaces=["car", "bathroom", "office"], p=0.5,
                                seed=seed, keep_length=False)
    in_dir, out_dir = Path(in_dir).resolve(), Path(out_dir).resolve() / "random"
    return [(str(source), str(out_dir / source.parent.relative_to(in_dir)), drawer.draw(), k)
            for source in recordings(in_dir) for k in range(count)]


def plan(in_dir, out_dir, looks):
    """(source, output folder, look) for every recording and look."""
    in_dir, out_dir = Path(in_dir).resolve(), Path(out_dir).resolve()
    return [(str(source), str(out_dir / look_folder(look) / source.parent.relative_to(in_dir)), look)
            for source in recordings(in_dir) for look in looks]


def main(argv=None):
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("in_dir", help="folder of recordings (subfolders included)")
    parser.add_argument("out_dir", help="output folder: one subfolder per look")
    parser.add_argument("--looks", nargs="+", default=DEFAULT_LOOKS, help="shipped presets or preset files")
    parser.add_argument("--loudness", type=float, default=-23.0, help="integrated loudness of every output, LUFS")
    parser.add_argument("--scheduler", help="address of an existing cluster's scheduler (tcp://HOST:8786)")
    parser.add_argument("--workers", type=int, default=2, help="local cluster: worker processes")
    parser.add_argument("--threads", type=int, default=1, help="local cluster: threads per worker")
    parser.add_argument("--force", action="store_true", help="replace outputs that exist")
    parser.add_argument("--random", type=int, default=0, metavar="N",
                        help="N random looks per recording (drawn from --looks' presets) instead of every look")
    parser.add_argument("--seed", type=int, default=None, help="--random: the seed of the draws (default: any)")
    args = parser.parse_args(argv)

    from dask.distributed import Client, LocalCluster, as_completed

    if args.random > 0:
        tasks = plan_random(args.in_dir, args.out_dir, args.looks, args.random, args.seed)
    else:
        tasks = plan(args.in_dir, args.out_dir, args.looks)
    if not tasks:
        print(f"no recordings under {args.in_dir}", file=sys.stderr)
        return 1
    cluster = None
    if args.scheduler:
        client = Client(args.scheduler)
    else:
        cluster = LocalCluster(n_workers=args.workers, threads_per_worker=args.threads, processes=True,
                               dashboard_address=None)
        client = Client(cluster)
    started = time.monotonic()
    failed = rendered = 0
    audio_seconds = 0.0
    try:
        if args.random > 0:
            futures = [client.submit(render_drawn, source, out_dir, record, k, args.loudness, args.force, pure=False)
                       for source, out_dir, record, k in tasks]
        else:
            futures = [client.submit(render_one, source, out_dir, look, args.loudness, args.force, pure=False)
                       for source, out_dir, look in tasks]
        records = []
        for future in as_completed(futures):
            outcome = future.result()
            if "record" in outcome and outcome["status"] == "rendered":
                records.append({"output": outcome["output"], **outcome["record"]})
            if outcome["status"] == "rendered":
                rendered += 1
                audio_seconds += outcome["framesOut"] / outcome["sampleRate"]
                print(f"{outcome['look']}: {outcome['input']} -> {outcome['output']} "
                      f"({outcome['loudnessLufs']} LUFS)")
            else:
                failed += 1
                print(f"{outcome['look']}: {outcome['input']}: {outcome['status']}: {outcome['error']}",
                      file=sys.stderr)
        if records:
            import json

            with open(Path(args.out_dir) / "random" / "looks.jsonl", "w") as manifest:
                for record in sorted(records, key=lambda r: r["output"]):
                    manifest.write(json.dumps(record) + "\n")
    finally:
        client.close()
        if cluster is not None:
            cluster.close()
    seconds = time.monotonic() - started
    print(f"{rendered} of {len(tasks)} renders ({audio_seconds:.1f} s of audio in {seconds:.1f} s)"
          + (f", {failed} failed" if failed else ""))
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
