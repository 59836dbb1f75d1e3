#!/usr/bin/env bash
# Checks a module DLL's PE tables with objdump: it exports exactly ZqCreatePlugin and
# g_pZQPluginList, and imports only libraries of the system (no mingw runtime DLL).
#   windows/check-dll.sh OrvexCrumlet.dll
set -euo pipefail
dll=$1
dump=$(x86_64-w64-mingw32-objdump -p "$dll")
exports=$(sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' <<<"$dump" | grep -v 'Table' | grep -o '[A-Za-z_][A-Za-z0-9_]*$' | sort | tr '\n' ' ')
imports=$(grep 'DLL Name:' <<<"$dump" | awk '{print $3}' | tr '\n' ' ')
echo "exports: $exports"
echo "imports: $imports"
if [ "$exports" != "ZqCreatePlugin g_pZQPluginList " ] && [ "$exports" != "g_pZQPluginList ZqCreatePlugin " ]; then
  echo "check-dll: $dll must export ZqCreatePlugin and g_pZQPluginList and nothing else" >&2
  exit 1
fi
# The system's own libraries (upper or lower case, as the linker names them).
system='^(kernel32|user32|gdi32|advapi32|shell32|shlwapi|ole32|oleaut32|comdlg32|comctl32|imm32|winmm|version|wininet|ws2_32|wsock32|rpcrt4|msvcrt|dxgi|dwmapi|uxtheme|opengl32|crypt32|bcrypt|setupapi|dwrite|d2d1)\.dll$'
for lib in $imports; do
  if ! grep -qiE "$system" <<<"$lib"; then
    echo "check-dll: $dll imports $lib, which is not a system library" >&2
    exit 1
  fi
done
