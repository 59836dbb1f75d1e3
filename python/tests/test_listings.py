"""Presets, devices and properties are the tool's listings; the type stubs name every
property with the type it reads back as."""

import ast
import json
from pathlib import Path

import crumlet
from conftest import run_tool

STUBS = Path(__file__).resolve().parents[1] / "crumlet" / "__init__.pyi"


def test_presets_are_the_shipped_ones():
    shipped = json.loads(run_tool("presets", "--json").stdout)
    assert list(crumlet.presets()) == list(shipped)
    assert crumlet.presets()["Police radio"] == shipped["Police radio"]["description"]


def test_devices_are_the_tools_listing():
    assert crumlet.devices("phone") == json.loads(run_tool("sims", "phone", "--json").stdout)
    everything = crumlet.devices()
    assert len(everything) == 164
    radios = crumlet.devices(category="radio")
    assert radios and all("radio" in d["category"].lower() for d in radios)
    assert crumlet.devices("no device is called this") == []


def test_properties_are_the_tools_listing():
    assert crumlet.properties() == json.loads(run_tool("params", "--json").stdout)


def test_the_stubs_name_every_property_with_its_type():
    tree = ast.parse(STUBS.read_text())
    effect = next(node for node in tree.body if isinstance(node, ast.ClassDef) and node.name == "Effect")
    annotated = {node.target.id: ast.unparse(node.annotation) for node in effect.body if isinstance(node, ast.AnnAssign)}
    fx = crumlet.Effect()
    names = {p["name"] for p in crumlet.properties()}
    assert annotated == {name: type(value).__name__ for name, value in fx.settings.items() if name in names}
    functions = {node.name for node in tree.body if isinstance(node, ast.FunctionDef)}
    classes = {node.name for node in tree.body if isinstance(node, ast.ClassDef)}
    assert functions | classes | {"DEFAULT_BLOCK_FRAMES", "MAX_BLOCK_FRAMES", "__version__"} == set(crumlet.__all__)
    render_files = next(node for node in tree.body if isinstance(node, ast.FunctionDef) and node.name == "render_files")
    assert set(crumlet.render_keywords()) <= {a.arg for a in render_files.args.kwonlyargs}


def test_docstrings_for_an_editor():
    for thing in (crumlet.Effect, crumlet.Effect.process, crumlet.Effect.tail, crumlet.Effect.__call__,
                  crumlet.render_files, crumlet.devices, crumlet.presets, crumlet.properties):
        assert thing.__doc__ and len(thing.__doc__) > 40, thing
    assert "SIMType" in dir(crumlet.Effect())
