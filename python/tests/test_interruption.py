"""Ctrl-C and SIGTERM: render_files stops at once, removes the file it was writing and keeps
what finished; a stream interrupted mid-call is dropped, so the next call starts a new one."""

import _thread
import json
import os
import signal
import subprocess
import sys
import threading
import time

import numpy as np
import pytest

import crumlet
from conftest import same_bits, speech, write_float_wav

# Against a hang, not a measure of speed: an interrupted render ends in a fraction of this.
HANG_GUARD_SECONDS = 120

RENDER_SCRIPT = r"""
import json, sys
import crumlet

short, long, out = sys.argv[1:4]
try:
    crumlet.render_files([short, long], out, jobs=1)
    print(json.dumps({"finished": True}))
except KeyboardInterrupt as interrupted:
    # The next call renders as if nothing had happened.
    again = crumlet.render_files(short, out + "-again")
    print(json.dumps({"results": getattr(interrupted, "results", None), "again": again}))
"""


@pytest.fixture
def short_and_long(tmp_path):
    """A second of speech, then silence long enough that an interruption finds it rendering
    (half an hour at 8 kHz: seconds of work)."""
    x, rate = speech(seconds=1.0)
    short, long = tmp_path / "a_short.wav", tmp_path / "b_long.wav"
    write_float_wav(short, x, rate)
    write_float_wav(long, np.zeros(8000 * 1800, dtype=np.float32), 8000)
    return short, long


def partials(folder):
    return sorted(p.name for p in folder.glob(".*.partial")) if folder.exists() else []


def start_and_signal_once_the_long_file_renders(tmp_path, short, long, signal_number):
    out = tmp_path / "out"
    child = subprocess.Popen([sys.executable, "-c", RENDER_SCRIPT, str(short), str(long), str(out)],
                             stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)
    deadline = time.monotonic() + HANG_GUARD_SECONDS
    while not any(name.startswith(".b_long.wav.") for name in partials(out)):
        assert child.poll() is None, f"finished before it was interrupted: {child.communicate()}"
        assert time.monotonic() < deadline, "the long file never started"
        time.sleep(0.005)
    child.send_signal(signal_number)
    stdout, stderr = child.communicate(timeout=HANG_GUARD_SECONDS)
    return child.returncode, stdout, stderr, out


def test_ctrl_c_stops_render_files_and_keeps_the_results(tmp_path, short_and_long):
    returncode, stdout, stderr, out = start_and_signal_once_the_long_file_renders(tmp_path, *short_and_long,
                                                                                  signal.SIGINT)
    assert returncode == 0, stderr
    report = json.loads(stdout)
    assert report.get("results") is not None, f"KeyboardInterrupt carries no results: {report}"
    by_name = {os.path.basename(r["input"]): r for r in report["results"]}
    assert by_name["a_short.wav"]["status"] == "rendered"
    assert os.path.exists(by_name["a_short.wav"]["output"])
    assert by_name["b_long.wav"]["status"] == "interrupted" and by_name["b_long.wav"]["started"]
    assert not os.path.exists(by_name["b_long.wav"]["output"]), "the interrupted file stopped before its end"
    assert partials(out) == [], "no partial file is left"
    assert [r["status"] for r in report["again"]] == ["rendered"]


def test_sigterm_removes_the_partial_file_and_still_ends_the_process(tmp_path, short_and_long):
    returncode, _, stderr, out = start_and_signal_once_the_long_file_renders(tmp_path, *short_and_long,
                                                                             signal.SIGTERM)
    assert returncode == -signal.SIGTERM, stderr
    assert partials(out) == [], "no partial file is left"
    assert not (out / "b_long.wav").exists()
    assert (out / "a_short.wav").exists(), "what finished is kept"


def test_ctrl_c_drops_the_stream_so_the_next_call_starts_anew():
    x, rate = speech(seconds=1.0)
    fx = crumlet.Effect(preset="Phone call")
    fx.process(x[:1000], rate)
    assert fx.pending_frames > 0
    long = np.zeros(rate * 1800, dtype=np.float32)  # half an hour: seconds of work
    timer = threading.Timer(0.05, _thread.interrupt_main)
    timer.start()
    try:
        with pytest.raises(KeyboardInterrupt):
            fx.process(long, rate)
    finally:
        timer.cancel()
    assert fx.pending_frames == 0, "no stream is in hand after an interruption"
    restarted = np.concatenate([fx.process(x, rate), fx.tail()])
    assert same_bits(restarted, crumlet.Effect(preset="Phone call")(x, rate))
