"""Crumlet, the lo-fi device-simulation effect, for Python.

    import crumlet
    fx = crumlet.Effect(preset="Police radio", SIMTuning=110, NoiseLevel="-40dB", seed=7)
    y = fx(x, sample_rate=48000)        # float32, (frames,) or (frames, channels); tail included

    for chunk in chunks:                # streaming
        out = fx.process(chunk, 48000)
    rest = fx.tail()

    crumlet.presets(), crumlet.devices("phone"), crumlet.properties()
    crumlet.render_files(["a.wav", "b.flac"], "out", preset="Phone call", loudness=-23)

The effect runs as the host runs it, through the module's registration record and its
parameter block, then the preset's transmission (codec, loss, radio; codec=, loss= and
radio= replace its parts), so its samples are those of ``crumlet render --seed SEED`` for
the same input, settings, transmission and block_frames, bit for bit.
"""

from ._crumlet import (
    DEFAULT_BLOCK_FRAMES,
    MAX_BLOCK_FRAMES,
    Effect,
    devices,
    presets,
    properties,
    render_files,
    render_keywords,
    seed_from_name,
)

__all__ = [
    "DEFAULT_BLOCK_FRAMES",
    "MAX_BLOCK_FRAMES",
    "Effect",
    "devices",
    "presets",
    "properties",
    "render_files",
    "render_keywords",
    "seed_from_name",
]
