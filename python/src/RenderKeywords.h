// render_files' keywords, one row each: the keyword, the `crumlet render` option it stands
// for, and the RenderOptions member it sets, read from Python by the member's own type
// (bool, integers, text, an optional number). An option the tool gains is one more row.
#pragma once

#include "cli/commands/RenderCommand.h"

#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <functional>

namespace crumlet_python
{
struct RenderKeyword
{
    const char* keyword; // Python's name
    const char* option;  // the tool's
    std::function<void(RenderOptions&, const pybind11::handle&)> apply;
};

// A row that sets `member` from the keyword's value, cast to the member's type (TypeError
// naming the keyword when it cannot be).
template <typename Value>
RenderKeyword keyword(const char* name, const char* option, Value RenderOptions::*member)
{
    return {name, option, [name, member](RenderOptions& options, const pybind11::handle& value) {
                try
                {
                    options.*member = value.cast<Value>();
                }
                catch (const pybind11::cast_error&)
                {
                    throw pybind11::type_error(std::string(name) + "= takes " +
                                               pybind11::type_id<Value>() + ", not " +
                                               pybind11::str(pybind11::type::of(value).attr("__name__")).cast<std::string>());
                }
            }};
}

const std::vector<RenderKeyword>& renderKeywordTable();
} // namespace crumlet_python
