// libjpeg's header as JUCE includes it under mingw-w64. On Windows libjpeg types `boolean`
// as unsigned char, as rpcndr.h (read through <windows.h>) does, and skips its own typedef
// when rpcndr.h came first; JUCE includes the library's header inside a namespace of its
// own, which then has no `boolean`. The typedef here, of the same type, gives it one.
#pragma once

typedef unsigned char boolean;
#include_next <jpeglib.h>
