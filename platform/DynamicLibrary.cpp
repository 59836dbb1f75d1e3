#include "platform/DynamicLibrary.h"

#if !defined(_WIN32)
#include <dlfcn.h>

#include <cstring>

namespace platform
{
namespace
{
void appendUtf8(std::string& out, char32_t c)
{
    if (c < 0x80)
    {
        out.push_back(static_cast<char>(c));
    }
    else if (c < 0x800)
    {
        out.push_back(static_cast<char>(0xC0 | (c >> 6)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
    else if (c < 0x10000)
    {
        out.push_back(static_cast<char>(0xE0 | (c >> 12)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
    else
    {
        out.push_back(static_cast<char>(0xF0 | (c >> 18)));
        out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
}

bool endsWithDll(const std::string& name)
{
    if (name.size() < 4)
        return false;
    const char* tail = name.c_str() + name.size() - 4;
    return tail[0] == '.' && (tail[1] | 0x20) == 'd' && (tail[2] | 0x20) == 'l' && (tail[3] | 0x20) == 'l';
}

// Its address tells dladdr which image this copy of the layer belongs to.
const char g_imageAnchor = 0;
} // namespace

std::string toUtf8(LPCWSTR text)
{
    std::string out;
    if (text == nullptr)
        return out;
    for (; *text != 0; ++text)
    {
        char32_t c = *text;
        if (c >= 0xD800 && c <= 0xDBFF && text[1] >= 0xDC00 && text[1] <= 0xDFFF)
        {
            c = 0x10000 + ((c - 0xD800) << 10) + (static_cast<char32_t>(text[1]) - 0xDC00);
            ++text;
        }
        else if (c >= 0xD800 && c <= 0xDFFF)
        {
            c = 0xFFFD;
        }
        appendUtf8(out, c);
    }
    return out;
}

std::string sharedObjectNameFor(LPCWSTR fileName)
{
    std::string name = toUtf8(fileName);
    if (!endsWithDll(name))
        return name;
    name.resize(name.size() - 4);
    const auto slash = name.find_last_of('/');
    const std::size_t base = slash == std::string::npos ? 0 : slash + 1;
    name.insert(base, "lib");
    return name + ".so";
}

HINSTANCE thisModule()
{
    Dl_info info{};
    if (dladdr(&g_imageAnchor, &info) == 0)
        return nullptr;
    return info.dli_fbase;
}
} // namespace platform

HMODULE LoadLibraryW(LPCWSTR fileName)
{
    const std::string name = platform::sharedObjectNameFor(fileName);
    if (name.empty())
        return nullptr;
    // The copy the process already has, as Windows finds a loaded DLL by its name first.
    if (void* loaded = dlopen(name.c_str(), RTLD_NOW | RTLD_NOLOAD))
        return loaded;
    return dlopen(name.c_str(), RTLD_NOW | RTLD_LOCAL);
}

FARPROC GetProcAddress(HMODULE module, LPCSTR procName)
{
    if (module == nullptr || procName == nullptr)
        return nullptr;
    void* symbol = dlsym(module, procName);
    FARPROC function = nullptr;
    static_assert(sizeof function == sizeof symbol, "function and data pointers differ in size");
    std::memcpy(&function, &symbol, sizeof function);
    return function;
}

BOOL FreeLibrary(HMODULE module)
{
    return module != nullptr && dlclose(module) == 0;
}
#else
namespace platform
{
std::string toUtf8(LPCWSTR text)
{
    if (text == nullptr)
        return {};
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (bytes <= 1)
        return {};
    std::string out(static_cast<std::size_t>(bytes), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, -1, out.data(), bytes, nullptr, nullptr);
    out.pop_back(); // the terminator
    return out;
}

std::wstring fromUtf8(const std::string& text)
{
    const int length = MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, nullptr, 0);
    if (length <= 1)
        return {};
    std::wstring out(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, out.data(), length);
    out.pop_back(); // the terminator
    return out;
}
} // namespace platform
#endif
