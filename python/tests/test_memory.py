"""Memory: a call holds its input and its output and little more, however long the input
(no copy of the input, no output copied as it grows). Measured as the rise of the resident
set's peak in a process of its own."""

import json
import subprocess
import sys

import pytest

# Room for the effect's own buffers, the transmission's and the allocator's rounding.
SLACK_BYTES = 48 << 20

MEASURE_SCRIPT = r"""
import json, sys
import numpy as np
import crumlet

def status(key):
    with open("/proc/self/status") as f:
        for line in f:
            if line.startswith(key + ":"):
                return int(line.split()[1]) * 1024

call, dtype, frames, channels, preset = sys.argv[1], sys.argv[2], int(sys.argv[3]), int(sys.argv[4]), sys.argv[5]
fx = crumlet.Effect(preset=preset)
shape = (frames,) if channels == 1 else (frames, channels)
x = np.empty(shape, dtype=dtype)
np.random.default_rng(1).standard_normal(shape, dtype=dtype, out=x)
x *= 0.1
warm = x[:48000]
(fx.process(warm, 48000, reset=True), fx.tail()) if call == "process" else fx(warm, 48000)
try:
    with open("/proc/self/clear_refs", "w") as f:
        f.write("5")  # the peak starts again from here
except OSError:
    print(json.dumps(None))
    sys.exit(0)
before = status("VmRSS")
y = fx.process(x, 48000) if call == "process" else fx(x, 48000)
print(json.dumps({"rise": status("VmHWM") - before, "input": x.nbytes, "output": y.nbytes}))
"""


@pytest.mark.parametrize("call,dtype,frames,channels,preset", [
    ("render", "float32", 40_000_000, 1, "Phone call"),
    ("render", "float64", 20_000_000, 1, "Walkie-talkie"),
    ("render", "float32", 10_000_000, 2, "Mobile call, breaking up"),
    ("process", "float32", 40_000_000, 1, "Phone call"),
], ids=lambda v: str(v))
def test_a_call_holds_its_output_and_a_buffer_beside_its_input(call, dtype, frames, channels, preset):
    result = subprocess.run([sys.executable, "-c", MEASURE_SCRIPT, call, dtype, str(frames), str(channels), preset],
                            capture_output=True, text=True, timeout=600)
    assert result.returncode == 0, result.stderr
    measured = json.loads(result.stdout)
    if measured is None:
        pytest.skip("the resident peak cannot be reset here (/proc/self/clear_refs)")
    # The input is in place before the call; what the call adds is its output.
    assert measured["rise"] <= measured["output"] + SLACK_BYTES, measured
