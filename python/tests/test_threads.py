"""Threads: process releases Python's lock, so instances run side by side; each thread's
output is exactly what its instance renders alone. (How fast: python/bench/throughput.py.)"""

import threading

import numpy as np

import crumlet
from conftest import same_bits, speech

# Video call and Walkie-talkie with their transmissions (codec and loss; radio). Not codec2:
# libcodec2 keeps one random state for the whole process (see test_identity).
LOOKS = ["Phone call", "Video call", "Walkie-talkie", "Broken toy"]


def test_instances_on_threads_render_as_alone():
    x, rate = speech(seconds=2.0)
    alone = {look: crumlet.Effect(preset=look)(x, sample_rate=rate) for look in LOOKS}
    streamed_alone = {}
    for look in LOOKS:
        fx = crumlet.Effect(preset=look)
        streamed_alone[look] = np.concatenate([fx.process(x[i:i + 700], rate) for i in range(0, len(x), 700)] + [fx.tail()])
    results, errors = {}, []

    def work(look, streamed):
        try:
            fx = crumlet.Effect(preset=look)
            for _ in range(3):
                if streamed:
                    out = [fx.process(x[i:i + 700], rate) for i in range(0, len(x), 700)] + [fx.tail()]
                    results[(look, streamed)] = np.concatenate(out)
                else:
                    results[(look, streamed)] = fx(x, sample_rate=rate)
        except Exception as e:  # noqa: BLE001 - reported below
            errors.append(e)

    threads = [threading.Thread(target=work, args=(look, streamed)) for look in LOOKS for streamed in (False, True)]
    for t in threads:
        t.start()
    for t in threads:
        t.join()
    assert not errors
    for look in LOOKS:
        assert same_bits(results[(look, False)], alone[look])
        assert same_bits(results[(look, True)], streamed_alone[look])
        assert same_bits(streamed_alone[look], alone[look])


def test_one_instance_shared_by_threads_stays_whole():
    """Calls on one instance from several threads are taken one at a time: each one-call
    render is right, and the shared stream neither crashes nor loses frames."""
    x, rate = speech(seconds=1.0)
    fx = crumlet.Effect(preset="Intercom")
    reference = fx(x, sample_rate=rate)
    outputs, fed = [], []

    def work():
        for _ in range(4):
            outputs.append(fx(x, sample_rate=rate))
            fed.append(len(fx.process(x[:1000], rate)))

    threads = [threading.Thread(target=work) for _ in range(4)]
    for t in threads:
        t.start()
    for t in threads:
        t.join()
    assert all(same_bits(o, reference) for o in outputs)
    assert sum(fed) + fx.pending_frames == 16 * 1000
