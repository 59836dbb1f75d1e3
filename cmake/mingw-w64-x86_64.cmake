# Cross-compiling the Windows x86-64 module and tools with Debian's mingw-w64 (the posix
# thread model, for std::thread and std::mutex). The C and C++ runtimes are linked
# statically, so that the DLL and the programs import nothing but system DLLs.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(CRUMLET_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${CRUMLET_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${CRUMLET_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${CRUMLET_MINGW_PREFIX}-windres)
set(CMAKE_AR ${CRUMLET_MINGW_PREFIX}-ar CACHE FILEPATH "")
set(CMAKE_RANLIB ${CRUMLET_MINGW_PREFIX}-ranlib CACHE FILEPATH "")

set(CMAKE_FIND_ROOT_PATH /usr/${CRUMLET_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# Header-only and source packages of the build machine (JUCE's modules, GoogleTest's
# sources, nlohmann-json, CLI11) are found where Debian installs them.
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE BOTH)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static-libgcc -static-libstdc++ -static")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static-libgcc -static-libstdc++ -static")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-static-libgcc -static-libstdc++ -static")

# Programs built here run under wine64 (tests, the tools the build runs).
find_program(CRUMLET_WINE64 NAMES wine64 wine PATHS /usr/lib/wine NO_CMAKE_FIND_ROOT_PATH)
if(CRUMLET_WINE64)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${CRUMLET_WINE64})
endif()

# Debian's JUCE (its module sources build for any target) lives under the build machine's
# library architecture, which a Windows target does not search.
file(GLOB CRUMLET_JUCE_CONFIG_DIRS /usr/lib/*/cmake/JUCE-*)
if(CRUMLET_JUCE_CONFIG_DIRS)
  list(GET CRUMLET_JUCE_CONFIG_DIRS 0 JUCE_DIR)
endif()
