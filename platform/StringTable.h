// String resources: LoadStringW over the string tables compiled into an image. On
// Windows the resource compiler builds the table and the system call reads it.
#pragma once

#include "platform/WinTypes.h"

#if !defined(_WIN32)
#include <cstddef>

// Copies string `id` of the image `instance` into `buffer`, cut to bufferMax − 1
// characters and terminated; answers the number of characters copied. With bufferMax 0,
// stores a pointer to the read-only string in `buffer` (which must hold an LPCWSTR) and
// answers its length, as the system call does. A string that does not exist gives 0 and,
// when there is room, an empty buffer.
int LoadStringW(HINSTANCE instance, UINT id, LPWSTR buffer, int bufferMax);

namespace platform
{
struct StringResource
{
    UINT id;
    LPCWSTR text;
};

// Makes `count` strings available to LoadStringW under `instance`; an image's generated
// string table calls this during static initialisation. A later table of the same image
// is searched after the earlier ones. Answers true.
bool registerStringTable(HINSTANCE instance, const StringResource* strings, std::size_t count);
} // namespace platform
#endif
