// Paths and texts from Python as the tool takes them: C strings and the file system's names,
// which end at a NUL, so that "o5\0x" would be the folder o5. One that holds a NUL is refused.
#pragma once

#include "cli/io/QuotedText.h"

#include <pybind11/pybind11.h>

#include <string>

namespace crumlet_python
{
// `text` as it is; ValueError naming `what` it was given as when it holds a NUL.
inline std::string withoutNul(std::string text, const std::string& what)
{
    if (text.find('\0') != std::string::npos)
        throw pybind11::value_error(what + ": " + quoted(text, kQuotedExcerptBytes) + " holds a NUL character");
    return text;
}

// A path (str, bytes or os.PathLike) as the file system's bytes.
inline std::string pathText(const pybind11::handle& path, const std::string& what)
{
    return withoutNul(pybind11::module_::import("os").attr("fsencode")(path).cast<std::string>(), what);
}
} // namespace crumlet_python
