#include "platform/StringTable.h"

#if !defined(_WIN32)
#include <cstring>
#include <vector>

namespace platform
{
namespace
{
struct RegisteredTable
{
    HINSTANCE instance;
    const StringResource* strings;
    std::size_t count;
};

// Built on first use, so tables may register from any static initialiser.
std::vector<RegisteredTable>& tables()
{
    static std::vector<RegisteredTable> registered;
    return registered;
}

LPCWSTR find(HINSTANCE instance, UINT id)
{
    if (instance == nullptr)
        return nullptr;
    for (const RegisteredTable& table : tables())
        if (table.instance == instance)
            for (std::size_t i = 0; i < table.count; ++i)
                if (table.strings[i].id == id)
                    return table.strings[i].text;
    return nullptr;
}

int lengthOf(LPCWSTR text)
{
    int n = 0;
    while (text[n] != 0)
        ++n;
    return n;
}
} // namespace

bool registerStringTable(HINSTANCE instance, const StringResource* strings, std::size_t count)
{
    for (const RegisteredTable& table : tables())
        if (table.instance == instance && table.strings == strings)
            return true;
    tables().push_back(RegisteredTable{instance, strings, count});
    return true;
}
} // namespace platform

int LoadStringW(HINSTANCE instance, UINT id, LPWSTR buffer, int bufferMax)
{
    if (buffer == nullptr || bufferMax < 0)
        return 0;
    const LPCWSTR text = platform::find(instance, id);
    if (bufferMax == 0)
    {
        if (text == nullptr)
            return 0;
        std::memcpy(buffer, &text, sizeof text);
        return platform::lengthOf(text);
    }
    if (text == nullptr)
    {
        buffer[0] = 0;
        return 0;
    }
    int n = 0;
    for (; n < bufferMax - 1 && text[n] != 0; ++n)
        buffer[n] = text[n];
    buffer[n] = 0;
    return n;
}
#endif
