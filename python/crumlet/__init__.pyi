# Type stubs for the crumlet package (its extension module, crumlet._crumlet).
import os
from typing import Any, Dict, Iterable, List, Optional, Union

import numpy as np
import numpy.typing as npt

_Path = Union[str, bytes, os.PathLike[str], os.PathLike[bytes]]
_Value = Union[bool, int, float, str]
_Samples = npt.ArrayLike

DEFAULT_BLOCK_FRAMES: int
MAX_BLOCK_FRAMES: int

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
        **properties: _Value,
    ) -> None: ...
    def __call__(self, samples: _Samples, sample_rate: int) -> npt.NDArray[np.float32]: ...
    def process(self, samples: _Samples, sample_rate: int, reset: bool = False) -> npt.NDArray[np.float32]:
        """Feeds a chunk of the stream; see help(crumlet.Effect.process). Interrupted (Ctrl-C),
        it drops the stream: the next call starts a new one."""
    def tail(self) -> npt.NDArray[np.float32]: ...
    @property
    def pending_frames(self) -> int: ...
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
    def seed(self) -> int: ...
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

def presets() -> Dict[str, str]: ...
def devices(query: str = "", category: str = "") -> List[Dict[str, Any]]: ...
def properties() -> List[Dict[str, Any]]: ...
def render_files(
    inputs: Union[_Path, Iterable[_Path]],
    out_dir: _Path,
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
