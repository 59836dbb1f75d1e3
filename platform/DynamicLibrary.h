// Loading libraries and finding their exports by name, and the handle of the image that
// this code is linked into. On Windows these are the system's own calls.
#pragma once

#include "platform/WinTypes.h"

#include <string>

namespace platform
{
// Text of a wide string as UTF-8 (unpaired surrogates become U+FFFD).
std::string toUtf8(LPCWSTR text);
} // namespace platform

#if defined(_WIN32)
extern "C" IMAGE_DOS_HEADER __ImageBase;

namespace platform
{
// UTF-8 text as the system's wide strings take it.
std::wstring fromUtf8(const std::string& text);

inline HINSTANCE thisModule()
{
    return reinterpret_cast<HINSTANCE>(&__ImageBase);
}
} // namespace platform
#else

// Loads a library by its Windows name: "Name.dll" is looked for as "libName.so" (a
// directory part is kept). A copy the process has loaded already is used when there is
// one; otherwise the library is loaded. Null when it cannot be found or loaded.
HMODULE LoadLibraryW(LPCWSTR fileName);

// An exported function of a loaded library, or null.
FARPROC GetProcAddress(HMODULE module, LPCSTR procName);

// Releases one load of the library.
BOOL FreeLibrary(HMODULE module);

namespace platform
{
// The file name LoadLibraryW looks for: "Name.dll" becomes "libName.so"; other names are
// kept as they are. UTF-8.
std::string sharedObjectNameFor(LPCWSTR fileName);

// The handle of the image (executable or shared library) this function is linked into:
// its load address, as an instance handle is on Windows. Resources are found under it.
HINSTANCE thisModule();
} // namespace platform
#endif
