# The target: Linux, or Windows x86-64 cross-compiled (cmake/mingw-w64-x86_64.cmake): the
# module, the stand-in host and their tests, against the real Win32 and OLE APIs. Everything
# else builds on Linux only.
if(CMAKE_SYSTEM_NAME STREQUAL "Windows")
  set(CRUMLET_WINDOWS ON)
  enable_language(RC)
  # The ABI probe is written in C, as a host's view of the module that no C++ ABI takes part in.
  enable_language(C)
  # DLLs by their own names (OrvexCrumlet.dll, QuarlSoundEngine.dll), and the programs beside
  # the libraries they import.
  set(CMAKE_SHARED_LIBRARY_PREFIX "")
  set(CMAKE_RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
else()
  set(CRUMLET_WINDOWS OFF)
endif()
