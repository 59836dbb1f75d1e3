# Building the engine side for WebAssembly with Debian's emscripten (scripts/build-wasm.sh):
# Emscripten's own platform file, then the engine-side options. Programs are JavaScript with
# their wasm beside them, run by Node.js with the host's files (NODERAWFS).
include(/usr/share/emscripten/cmake/Modules/Platform/Emscripten.cmake)

# The engine side only: no JUCE, no editor, no codecs.
set(CRUMLET_ENGINE_SIDE_ONLY ON CACHE BOOL "" FORCE)
set(CRUMLET_BUILD_BENCH OFF CACHE BOOL "" FORCE)
set(CRUMLET_BUILD_PYTHON OFF CACHE BOOL "" FORCE)

# C++ exceptions caught (the tools and tests report errors by them); SIMD128 for the lanes.
set(CMAKE_CXX_FLAGS_INIT "-fexceptions -msimd128")
# Programs (crumlet-play, the tests) run under Node.js on the host's files, compiled before they
# start (Node.js 18 and later would otherwise fetch the wasm by a file name as if a URL).
set(CMAKE_EXE_LINKER_FLAGS_INIT
  "-fexceptions -sALLOW_MEMORY_GROWTH=1 -sNODERAWFS=1 -sEXIT_RUNTIME=1 -sWASM_ASYNC_COMPILATION=0")

find_program(CRUMLET_NODE node)
if(CRUMLET_NODE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${CRUMLET_NODE})
endif()
