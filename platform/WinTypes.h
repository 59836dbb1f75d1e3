// Windows scalar types, GUID and VARIANT for builds where the Windows headers are
// not available. On Windows this header defers to <windows.h> and <oleauto.h>.
//
// This is the one place where the platform layer switches between the system and its own
// stand-ins: _WIN32 selects the real Win32 and OLE APIs; CRUMLET_HAVE_MFC (a build against
// the shared MFC runtime) selects the framework's own application object and module state,
// which otherwise platform/ModuleState.h and platform/WinApp.h provide on every system.
#pragma once

#if defined(_WIN32)
#if defined(CRUMLET_HAVE_MFC)
// The framework's header must come before <windows.h>, which it includes itself.
#include <afxwin.h>
#endif
#include <windows.h>
#include <oleauto.h>
#define ZQ_TEXT(s) L##s
#else
#include <cstdint>

// Wide strings are UTF-16, as on Windows.
using WCHAR = char16_t;
using LPCWSTR = const WCHAR*;
using LPWSTR = WCHAR*;
using LPCSTR = const char*;
using BOOL = int;
using UINT = unsigned int;
using HRESULT = std::int32_t;
using VARTYPE = std::uint16_t;
using VARIANT_BOOL = std::int16_t;
using HINSTANCE = void*;
using HMODULE = void*;
using HWND = void*;
using FARPROC = void (*)();
using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;
using LRESULT = std::intptr_t;

#define ZQ_TEXT(s) u##s

constexpr HRESULT S_OK = 0;
constexpr VARIANT_BOOL VARIANT_TRUE = -1;
constexpr VARIANT_BOOL VARIANT_FALSE = 0;

struct GUID
{
    std::uint32_t Data1;
    std::uint16_t Data2;
    std::uint16_t Data3;
    std::uint8_t Data4[8];
};

enum VARENUM : VARTYPE
{
    VT_EMPTY = 0,
    VT_I4 = 3,
    VT_R4 = 4,
    VT_BOOL = 11,
};

// The subset of the OLE Automation VARIANT that property values use.
struct VARIANT
{
    VARTYPE vt;
    std::uint16_t wReserved1;
    std::uint16_t wReserved2;
    std::uint16_t wReserved3;
    union
    {
        std::int32_t lVal;
        float fltVal;
        VARIANT_BOOL boolVal;
        std::int64_t llVal;
        // The widest member of the system's union (a record and its type information), which
        // gives the VARIANT its 24 bytes on a 64-bit system.
        struct
        {
            void* pvRecord;
            void* pRecInfo;
        } brecVal;
    };
};

void VariantInit(VARIANT* pvarg);
HRESULT VariantClear(VARIANT* pvarg);
#endif
