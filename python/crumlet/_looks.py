"""Random looks: a new draw of device, preset, tuning, codec, loss, noise and space for every
call, from a generator that moves on, each draw a record that Effect(**record) renders again."""

import numpy as np

from ._crumlet import DEFAULT_BLOCK_FRAMES, Effect, devices as _devices

# What a record holds besides the effect's properties: Effect's other keywords.
_NOT_PROPERTIES = {"preset", "bank", "codec", "loss", "radio", "space", "seed", "block_frames", "keep_length",
                   "loudness", "match_input"}

# Draws of numbers are kept to hundredths, as the tool's variation keeps them: short to read
# back, and exactly what the record says.
_PLACES = 2


def _choices(values, what):
    if values is None:
        return None
    if isinstance(values, str):
        values = [values]
    values = list(values)
    if not values:
        raise ValueError(f"{what} is None or a non-empty list")
    return values


def _span(values, what):
    if values is None:
        return None
    try:
        lo, hi = (float(v) for v in values)
    except (TypeError, ValueError):
        raise TypeError(f"{what} is a (low, high) pair of numbers or None, not {values!r}") from None
    if not lo <= hi:
        raise ValueError(f"{what} is a (low, high) pair with low <= high, not {values!r}")
    return lo, hi


def _device_names(names):
    """Device models by name, or every model of a category heading (see device_categories())."""
    if names is None:
        return None
    models = _devices()
    by_category = {}
    for m in models:
        by_category.setdefault(m["category"].lower(), []).append(m["name"])
    known = {m["name"].lower(): m["name"] for m in models}
    picked = []
    for name in _choices(names, "devices"):
        key = str(name).lower()
        if key in known:
            picked.append(known[key])
        elif key in by_category:
            picked.extend(by_category[key])
        else:
            raise ValueError(f"no device model or category {name!r} (see crumlet.devices() and "
                             "crumlet.device_categories())")
    return picked


class RandomLook:
    """A look drawn anew for every call, for augmenting data as it is loaded.

    RandomLook(devices=None, presets=None, tuning=None, codecs=None, loss=None, noise=None,
               spaces=None, p=0.5, seed=None, *, keep_length=True, loudness=None,
               match_input=False, block_frames=DEFAULT_BLOCK_FRAMES)

    Each call ``look(samples, sample_rate)`` draws: a preset from ``presets`` (names), a device
    (SIMType) from ``devices`` (model names or category headings), SIMTuning uniformly in
    ``tuning=(lo, hi)``; then, each with probability ``p``: a codec from ``codecs`` (texts as
    codec= takes them, "none" otherwise), packet loss uniformly in ``loss=(lo, hi)`` percent
    (where there is a codec to lose frames of),
    the effect's noise on at a NoiseLevel uniformly in ``noise=(lo, hi)`` dB, a space from
    ``spaces``; and a seed for the frames lost and the static (the effect's own hiss is the
    module's fixed noise sequence, as in the host; the seed draws everything after the effect
    (lost packets, static) and the random looks). What is None is left
    as the preset (or the defaults) has it. ``look.last`` is the record of the last draw:
    ``Effect(**look.last)(samples, sample_rate)`` gives the same samples. The same ``seed``
    gives the same sequence of draws; None draws a seed from the system.

    keep_length (True unless said), loudness and match_input shape the output as Effect's do.
    """

    def __init__(self, devices=None, presets=None, tuning=None, codecs=None, loss=None, noise=None,
                 spaces=None, p=0.5, seed=None, *, keep_length=True, loudness=None, match_input=False,
                 block_frames=DEFAULT_BLOCK_FRAMES):
        self._devices_given = _choices(devices, "devices")
        self.devices = _device_names(devices)
        self.presets = _choices(presets, "presets")
        self.tuning = _span(tuning, "tuning")
        self.codecs = _choices(codecs, "codecs")
        self.loss = _span(loss, "loss")
        self.noise = _span(noise, "noise")
        self.spaces = _choices(spaces, "spaces")
        if isinstance(p, bool) or not isinstance(p, (int, float, np.floating, np.integer)) or not 0.0 <= p <= 1.0:
            raise ValueError(f"p is a probability from 0 to 1, not {p!r}")
        self.p = float(p)
        self.seed = seed
        self.keep_length = bool(keep_length)
        self.loudness = loudness
        self.match_input = bool(match_input)
        self.block_frames = block_frames
        self._random = np.random.default_rng(seed)
        self.last = None
        # Every option checked once here: a bad codec, space or device fails now, not mid-epoch.
        self._effect = Effect(block_frames=block_frames, keep_length=self.keep_length, loudness=loudness,
                              match_input=self.match_input)
        # The codec each preset brings: loss needs one.
        self._preset_codecs = {preset: Effect(preset).transmission["codec"] for preset in self.presets or ()}
        for codec in self.codecs or ():
            Effect(codec=codec)
        for space in self.spaces or ():
            Effect(space=space)
        self._effects = {}

    def draw(self):
        """The next look's record, the generator moved on (what a call renders with)."""
        r = self._random
        record = {}
        if self.presets is not None:
            record["preset"] = self.presets[int(r.integers(len(self.presets)))]
        if self.devices is not None:
            record["SIMEnable"] = True
            record["SIMType"] = self.devices[int(r.integers(len(self.devices)))]
        if self.tuning is not None:
            record["SIMTuning"] = round(float(r.uniform(*self.tuning)), _PLACES)
        if self.codecs is not None:
            record["codec"] = self.codecs[int(r.integers(len(self.codecs)))] if r.random() < self.p else "none"
        if self.loss is not None:
            # Frames are lost only where a codec sends them.
            codec = record.get("codec", self._preset_codecs.get(record.get("preset"), "none"))
            lost = round(float(r.uniform(*self.loss)), _PLACES)
            record["loss"] = f"{lost:g}%" if r.random() < self.p and codec != "none" and lost > 0 else "off"
        if self.noise is not None:
            if r.random() < self.p:
                record["NoiseEnable"] = True
                record["NoiseLevel"] = round(float(r.uniform(*self.noise)), _PLACES)
            else:
                record["NoiseEnable"] = False
        if self.spaces is not None:
            record["space"] = self.spaces[int(r.integers(len(self.spaces)))] if r.random() < self.p else "off"
        record["seed"] = int(r.integers(1, 2**63))
        record["block_frames"] = self.block_frames
        record["keep_length"] = self.keep_length
        if self.loudness is not None:
            record["loudness"] = self.loudness
        if self.match_input:
            record["match_input"] = True
        return record

    def effect(self, record):
        """The Effect a record makes (as Effect(**record)). One is kept per preset, transmission,
        space and set of properties drawn: the same properties set again over the same preset
        make the same settings, at less cost than a new Effect."""
        properties = {k: v for k, v in record.items() if k not in _NOT_PROPERTIES}
        key = (tuple((k, v) for k, v in record.items() if k in _NOT_PROPERTIES and k != "seed"), tuple(properties))
        fx = self._effects.get(key)
        if fx is None:
            if len(self._effects) >= 256:
                self._effects.clear()
            fx = self._effects[key] = Effect(**{k: v for k, v in record.items() if k != "seed"})
        else:
            for name, value in properties.items():
                fx[name] = value
        fx.seed = record["seed"]
        return fx

    def __call__(self, samples, sample_rate=None, *, layout=None):
        record = self.draw()
        self.last = record
        return self.effect(record)(samples, sample_rate, layout=layout)

    def __getstate__(self):
        state = self.__dict__.copy()
        state["_effects"] = {}
        state.pop("_effect", None)
        return state

    def __setstate__(self, state):
        self.__dict__.update(state)

    def __repr__(self):
        parts = []
        for name in ("devices", "presets", "tuning", "codecs", "loss", "noise", "spaces"):
            value = self._devices_given if name == "devices" else getattr(self, name)
            if value is not None:
                parts.append(f"{name}={value!r}")
        parts.append(f"p={self.p!r}")
        parts.append(f"seed={self.seed!r}")
        if not self.keep_length:
            parts.append("keep_length=False")
        if self.loudness is not None:
            parts.append(f"loudness={self.loudness!r}")
        if self.match_input:
            parts.append("match_input=True")
        if self.block_frames != DEFAULT_BLOCK_FRAMES:
            parts.append(f"block_frames={self.block_frames!r}")
        return "crumlet.RandomLook(" + ", ".join(parts) + ")"
