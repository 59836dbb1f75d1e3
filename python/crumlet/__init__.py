"""Crumlet, the lo-fi device-simulation effect, for Python.

    import crumlet
    fx = crumlet.Effect(preset="Police radio", SIMTuning=110, NoiseLevel="-40dB", seed=7)
    y = fx(x, sample_rate=48000)        # float32, (frames,) or (frames, channels); tail included

    for chunk in chunks:                # streaming
        out = fx.process(chunk, 48000)
    rest = fx.tail()

    crumlet.presets(), crumlet.devices("phone"), crumlet.properties()
    crumlet.render_files(["a.wav", "b.flac"], "out", preset="Phone call", loudness=-23)

    look = crumlet.RandomLook(devices=["Telephones"], tuning=(90, 110), codecs=["gsm", "amr:7.4"],
                              loss=(0, 10), noise=(-60, -40), p=0.5, seed=1, loudness=-23)
    y = look(x, 16000)                  # a new draw every call; crumlet.Effect(**look.last) again

The effect runs as the host runs it, through the module's registration record and its
parameter block, then the preset's transmission (codec, loss, radio; codec=, loss= and
radio= replace its parts), so its samples are those of ``crumlet render --seed SEED`` for
the same input, settings, transmission and block_frames, bit for bit. The effect's own hiss
is the module's fixed noise sequence, as in the host; the seed draws everything after the
effect (lost packets, static) and the random looks.
"""

from ._crumlet import (
    DEFAULT_BLOCK_FRAMES,
    MAX_BLOCK_FRAMES,
    Effect,
    __version__,
    codecs,
    devices,
    presets,
    properties,
    render_files,
    render_keywords,
    seed_from_name,
    spaces,
)
from ._looks import RandomLook


def device_categories():
    """The device models' category headings, in the table's order (devices(category=...) takes
    each, and so does RandomLook(devices=[...]))."""
    seen = []
    for model in devices():
        if model["category"] not in seen:
            seen.append(model["category"])
    return seen


__all__ = [
    "DEFAULT_BLOCK_FRAMES",
    "MAX_BLOCK_FRAMES",
    "Effect",
    "RandomLook",
    "__version__",
    "codecs",
    "device_categories",
    "devices",
    "presets",
    "properties",
    "render_files",
    "render_keywords",
    "seed_from_name",
    "spaces",
]
