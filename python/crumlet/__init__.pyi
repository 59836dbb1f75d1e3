# Type stubs for the crumlet package (its extension module, crumlet._crumlet).
import os
from typing import Any, Dict, Iterable, List, Literal, Optional, Sequence, Tuple, Union

import numpy as np
import numpy.typing as npt

_Path = Union[str, bytes, os.PathLike[str], os.PathLike[bytes]]
_Value = Union[bool, int, float, str]
_Samples = npt.ArrayLike
# (frames, channels) or (channels, frames); None: the axis of 64 or fewer is the channels'.
_Layout = Optional[Literal["frames_first", "channels_first"]]

DEFAULT_BLOCK_FRAMES: int
MAX_BLOCK_FRAMES: int
__version__: str

class Effect:
    """The effect, run as the host runs it; see help(crumlet.Effect)."""

    def __init__(
        self,
        preset: Optional[_Path] = None,
        *,
        bank: Optional[Union[bytes, bytearray, _Path]] = None,
        block_frames: int = ...,
        codec: Optional[str] = None,
        loss: Optional[str] = None,
        radio: Optional[Union[str, bool]] = None,
        space: Optional[str] = None,
        seed: int = 0,
        keep_length: bool = False,
        loudness: Optional[float] = None,
        match_input: bool = False,
        **properties: _Value,
    ) -> None: ...
    def __call__(self, samples: _Samples, sample_rate: int, *, layout: _Layout = None) -> npt.NDArray[np.float32]: ...
    def process(
        self, samples: _Samples, sample_rate: int, reset: bool = False, *, layout: _Layout = None
    ) -> npt.NDArray[np.float32]:
        """Feeds a chunk of the stream; see help(crumlet.Effect.process). Interrupted (Ctrl-C),
        it drops the stream: the next call starts a new one."""
    def tail(self) -> npt.NDArray[np.float32]: ...
    @property
    def pending_frames(self) -> int: ...
    @property
    def latency_frames(self) -> Optional[int]: ...
    @property
    def settings(self) -> Dict[str, _Value]: ...
    @property
    def block(self) -> bytes: ...
    @property
    def block_frames(self) -> int: ...
    @property
    def transmission(self) -> Dict[str, str]: ...
    @property
    def space(self) -> str: ...
    @property
    def seed(self) -> int:
        """The tool's --seed. The effect's own hiss is the module's fixed noise sequence, as in
        the host; the seed draws everything after the effect (lost packets, static) and the
        random looks."""
    @seed.setter
    def seed(self, value: int) -> None: ...
    @property
    def keep_length(self) -> bool: ...
    @keep_length.setter
    def keep_length(self, value: bool) -> None: ...
    @property
    def loudness(self) -> Optional[float]: ...
    @loudness.setter
    def loudness(self, value: Optional[float]) -> None: ...
    @property
    def match_input(self) -> bool: ...
    @match_input.setter
    def match_input(self, value: bool) -> None: ...
    def __getitem__(self, name: str) -> _Value: ...
    def __setitem__(self, name: str, value: _Value) -> None: ...
    def __contains__(self, name: str) -> bool: ...
    def __getattr__(self, name: str) -> _Value: ...
    def __setattr__(self, name: str, value: Any) -> None: ...

    # The forty properties as attributes, typed as they read back. They also take the texts
    # the tool reads ("-40dB", "#3"); item access (fx["NoiseLevel"] = "-40dB") is typed for that.
    # Begin: one attribute per parameter, written by crumlet-parameter-files.
    FiltersEnable: bool
    FiltersLPFSlope: str
    FiltersLPFFreq: float
    FiltersLPFQ: float
    FiltersHPFSlope: str
    FiltersHPFFreq: float
    FiltersHPFQ: float
    DistortionEnable: bool
    DistortionMode: str
    DistortionAmount: float
    DistortionIntensity: float
    DistortionRectify: float
    EQEnable: bool
    EQFilterType: str
    EQFreq: float
    EQQ: float
    EQGain: float
    NoiseEnable: bool
    NoiseLevel: float
    NoiseLPFFreq: float
    NoiseHPFFreq: float
    NoiseThresh: float
    NoiseRange: float
    NoiseRecovery: float
    SIMEnable: bool
    SIMType: str
    SIMTuning: float
    GateEnable: bool
    GateThreshold: float
    GateRange: float
    GateAttackTime: float
    GateHoldTime: float
    GateReleaseTime: float
    LoFiEnable: bool
    LoFiBitDepthType: str
    LoFiDownSampleIndex: str
    LoFiFilter: float
    InputGain: float
    OutputGain: float
    Balance: float
    # End: the attributes written by crumlet-parameter-files.

class RandomLook:
    """A look drawn anew for every call; see help(crumlet.RandomLook)."""

    last: Optional[Dict[str, Any]]
    def __init__(
        self,
        devices: Optional[Union[str, Sequence[str]]] = None,
        presets: Optional[Union[str, Sequence[str]]] = None,
        tuning: Optional[Tuple[float, float]] = None,
        codecs: Optional[Union[str, Sequence[str]]] = None,
        loss: Optional[Tuple[float, float]] = None,
        noise: Optional[Tuple[float, float]] = None,
        spaces: Optional[Union[str, Sequence[str]]] = None,
        p: float = 0.5,
        seed: Optional[int] = None,
        *,
        keep_length: bool = True,
        loudness: Optional[float] = None,
        match_input: bool = False,
        block_frames: int = ...,
    ) -> None: ...
    def __call__(self, samples: _Samples, sample_rate: int, *, layout: _Layout = None) -> npt.NDArray[np.float32]: ...
    def draw(self) -> Dict[str, Any]: ...
    def effect(self, record: Dict[str, Any]) -> Effect: ...

def presets() -> Dict[str, str]: ...
def devices(query: str = "", category: str = "") -> List[Dict[str, Any]]: ...
def device_categories() -> List[str]: ...
def codecs() -> Dict[str, Dict[str, Any]]: ...
def spaces() -> List[Dict[str, Any]]: ...
def properties() -> List[Dict[str, Any]]: ...
def render_files(
    inputs: Optional[Union[_Path, Iterable[_Path]]] = None,
    out_dir: Optional[_Path] = None,
    preset: Optional[_Path] = None,
    *,
    settings: Optional[Dict[str, _Value]] = None,
    bank: Optional[_Path] = None,
    loudness: Optional[float] = None,
    match_loudness: bool = False,
    format: Optional[str] = None,
    block_frames: int = ...,
    jobs: int = 0,
    recursive: bool = False,
    skip_existing: bool = False,
    update: bool = False,
    prune: bool = False,
    reproducible: bool = False,
    force: bool = False,
    save_preset: Optional[_Path] = None,
    rate: Optional[Union[int, str]] = None,
    channels: Optional[int] = None,
    bits: Optional[int] = None,
    dither: Optional[str] = None,
    name: Optional[str] = None,
    lines: Optional[_Path] = None,
    vary: Optional[Union[str, List[str]]] = None,
    seed: Optional[Union[int, str]] = None,
    like: Optional[_Path] = None,
    epoch: int = 0,
    codec: Optional[str] = None,
    loss: Optional[str] = None,
    radio: Optional[Union[str, bool]] = None,
    space: Optional[str] = None,
) -> List[Dict[str, Any]]:
    """Renders files as crumlet render --out-dir does; see help(crumlet.render_files). On
    Ctrl-C the KeyboardInterrupt carries the results so far as .results (List[Dict[str, Any]]),
    the file being written removed."""
def render_keywords() -> Dict[str, str]: ...
def seed_from_name(output: _Path) -> int: ...
