// crumlet.render_files: files through `crumlet render`'s own pipeline (planning, parallel
// jobs, atomic outputs, meters, loudness), its options given as keywords.
#pragma once

#include <pybind11/pybind11.h>

namespace crumlet_python
{
// inputs: a path or paths (files or folders); settings: properties by name, read as
// Effect's; options: the keyword table's names. Returns each file's outcome as the tool's
// --json gives it, as dicts.
pybind11::list renderFiles(const pybind11::handle& inputs, const pybind11::handle& outDir,
                           const pybind11::object& preset, const pybind11::object& settings,
                           const pybind11::object& bank, const pybind11::kwargs& options);

// The keywords render_files takes beyond its named arguments, each with the tool's option.
pybind11::dict renderKeywords();
} // namespace crumlet_python
