// render_files' keywords, one row each: the keyword, the `crumlet render` option it stands
// for, and the RenderOptions field it sets, read from Python by the field's own type (bool,
// integers, text, an optional number, a list of texts). An option the tool gains is one
// more row in RenderKeywords.cpp.
#pragma once

#include "cli/render/RenderOptions.h"
#include "python/src/PathText.h"

#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <functional>
#include <string>
#include <type_traits>
#include <vector>

namespace crumlet_python
{
struct RenderKeyword
{
    const char* keyword; // Python's name
    const char* option;  // the tool's
    std::function<void(RenderOptions&, const pybind11::handle&)> apply;
};

// A row that sets the option `access` reaches (a RenderOptions member, or a callable giving
// a reference into the options, for options grouped in a struct of their own) from the
// keyword's value, cast to that option's type: TypeError naming the keyword when it cannot be,
// ValueError for a text that holds a NUL.
// What a keyword of this type takes, in Python's words.
template <typename Value>
const char* pythonTypeName()
{
    if constexpr (std::is_same_v<Value, bool>)
        return "True or False";
    else if constexpr (std::is_integral_v<Value>)
        return "a whole number";
    else if constexpr (std::is_same_v<Value, std::string>)
        return "a str (or a path)";
    else if constexpr (std::is_same_v<Value, std::vector<std::string>>)
        return "a list of str";
    else
        return "a number";
}

template <typename Access>
RenderKeyword keyword(const char* name, const char* option, Access access)
{
    return {name, option, [name, access](RenderOptions& options, const pybind11::handle& value) {
                auto& target = std::invoke(access, options);
                using Value = std::decay_t<decltype(target)>;
                Value read;
                try
                {
                    if constexpr (std::is_same_v<Value, std::string>)
                        read = pybind11::hasattr(value, "__fspath__") ? pathText(value, name) : value.cast<Value>();
                    else
                        read = value.cast<Value>();
                }
                catch (const pybind11::cast_error&)
                {
                    throw pybind11::type_error(std::string(name) + "= takes " + pythonTypeName<Value>() + ", not " +
                                               pybind11::str(pybind11::type::of(value).attr("__name__")).cast<std::string>());
                }
                if constexpr (std::is_same_v<Value, std::string>)
                    withoutNul(read, name);
                target = std::move(read);
            }};
}

// A row for an option the tool reads from its text (--rate 44.1k, --seed): the value as the
// text --set would be given (see valueText), read by `read`, which throws the tool's
// UsageError for a value it refuses.
RenderKeyword textKeyword(const char* name, const char* option,
                          std::function<void(RenderOptions&, const std::string&)> read);

const std::vector<RenderKeyword>& renderKeywordTable();
} // namespace crumlet_python
