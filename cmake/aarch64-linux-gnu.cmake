# Cross-compiling the engine side for Linux on ARM64 with Debian's aarch64-linux-gnu GCC
# (scripts/build-arm64.sh). Programs built here run under qemu-aarch64 with the target's
# libraries from /usr/aarch64-linux-gnu.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR aarch64)

set(CRUMLET_CROSS_PREFIX aarch64-linux-gnu)
set(CMAKE_C_COMPILER ${CRUMLET_CROSS_PREFIX}-gcc)
set(CMAKE_CXX_COMPILER ${CRUMLET_CROSS_PREFIX}-g++)

set(CMAKE_FIND_ROOT_PATH /usr/${CRUMLET_CROSS_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The engine side only: no JUCE, no editor, no codecs.
set(CRUMLET_ENGINE_SIDE_ONLY ON CACHE BOOL "" FORCE)
set(CRUMLET_BUILD_BENCH OFF CACHE BOOL "" FORCE)
set(CRUMLET_BUILD_PYTHON OFF CACHE BOOL "" FORCE)

find_program(CRUMLET_QEMU_AARCH64 qemu-aarch64)
if(CRUMLET_QEMU_AARCH64)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${CRUMLET_QEMU_AARCH64} -L /usr/${CRUMLET_CROSS_PREFIX})
endif()
