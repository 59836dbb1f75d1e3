"""Every property set by attribute on a stream that is playing: once the change has passed
through the effect's ramps and its stage's own time constants, the stream ends where one that
had the value from its start ends. The cases are the C++ tests' own
(tests/support/late-changes.json): a value other than the default, and settings that make it
heard."""

import json

import numpy as np
import pytest

import crumlet
from conftest import ROOT

PLAN = json.loads((ROOT / "tests" / "support" / "late-changes.json").read_text())
RATE = PLAN["sampleRate"]
BUFFER = PLAN["bufferFrames"]


def steps_of_tones():
    """Three tones and a little noise stepping every 25 ms between loud and 40 dB down."""
    n = np.arange(PLAN["buffers"] * BUFFER)
    t = n / RATE
    noise = np.random.default_rng(12345).uniform(-0.05, 0.05, n.size)
    tones = 0.3 * np.sin(2 * np.pi * 220 * t) + 0.2 * np.sin(2 * np.pi * 1250 * t) \
        + 0.1 * np.sin(2 * np.pi * 4800 * t) + noise
    loud = (n // (RATE // 40)) % 2 == 0
    return (np.where(loud, 0.9, 0.009) * tones).astype(np.float32)


def as_set(name, value):
    """A list's entry by its index (`#N`); any other value as it is."""
    return f"#{value}" if isinstance(crumlet.Effect()[name], str) else value


def played(settings, late=None):
    """The stream's output before its tail: the first buffer played, then `late` (name, value)
    set by attribute, then the rest."""
    fx = crumlet.Effect(block_frames=BUFFER, **settings)
    x = steps_of_tones()
    head = fx.process(x[:BUFFER + 1], RATE)  # the first buffer played, one frame held
    assert len(head) == BUFFER
    if late is not None:
        setattr(fx, *late)
    return np.concatenate([head, fx.process(x[BUFFER + 1:], RATE)])


@pytest.mark.parametrize("case", PLAN["changes"], ids=lambda case: case["property"])
def test_a_property_set_while_playing_ends_where_it_would_from_the_start(case):
    with_ = {name: as_set(name, value) for name, value in case["with"].items()}
    name, value = case["property"], as_set(case["property"], case["value"])
    changed = played(with_, (name, value))
    from_start = played({**with_, name: value})
    end = slice(-PLAN["comparedFrames"], None)
    assert np.max(np.abs(changed[end] - from_start[end])) <= PLAN["tolerance"]
    assert np.max(np.abs(from_start[end] - played(with_)[end])) >= PLAN["heardAbove"], "the value is heard"
