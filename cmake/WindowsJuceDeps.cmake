# What JUCE's GUI modules need under mingw-w64 beyond the system: zlib, libpng and libjpeg,
# cross-built by scripts/windows-deps.sh into CRUMLET_WINDOWS_DEPS, and the system libraries
# its Windows code uses.
set(CRUMLET_WINDOWS_DEPS "${PROJECT_SOURCE_DIR}/build-windows-deps" CACHE PATH
  "Where scripts/windows-deps.sh installed zlib, libpng and libjpeg for mingw-w64")
if(NOT EXISTS "${CRUMLET_WINDOWS_DEPS}/lib/libpng16.a")
  message(FATAL_ERROR "No libpng for mingw-w64 in ${CRUMLET_WINDOWS_DEPS}: run scripts/windows-deps.sh first")
endif()

# zlib for juce_core; libpng and libjpeg for juce_graphics, which comes before juce_core on
# the link line.
# windows/include first: its jpeglib.h settles `boolean` before the library's own header.
add_library(crumlet_windows_zlib INTERFACE)
target_include_directories(crumlet_windows_zlib SYSTEM INTERFACE
  ${PROJECT_SOURCE_DIR}/windows/include ${CRUMLET_WINDOWS_DEPS}/include)
target_link_libraries(crumlet_windows_zlib INTERFACE ${CRUMLET_WINDOWS_DEPS}/lib/libz.a)
add_library(crumlet_windows_image_libs INTERFACE)
target_link_libraries(crumlet_windows_image_libs INTERFACE
  ${CRUMLET_WINDOWS_DEPS}/lib/libpng16.a ${CRUMLET_WINDOWS_DEPS}/lib/libjpeg.a crumlet_windows_zlib)

add_library(crumlet_windows_gui_libs INTERFACE)
target_link_libraries(crumlet_windows_gui_libs INTERFACE
  uuid wsock32 wininet version ole32 ws2_32 oleaut32 imm32 comdlg32 shlwapi rpcrt4 winmm dxgi gdi32 user32
  comctl32 dwmapi)

# Header-only libraries of the build machine (nlohmann-json, CLI11), offered to the cross
# compiler without the rest of the build machine's /usr/include.
set(CRUMLET_BUILD_MACHINE_HEADERS ${CMAKE_BINARY_DIR}/build-machine-headers)
foreach(header_dir nlohmann CLI)
  if(EXISTS /usr/include/${header_dir} AND NOT EXISTS ${CRUMLET_BUILD_MACHINE_HEADERS}/${header_dir})
    file(MAKE_DIRECTORY ${CRUMLET_BUILD_MACHINE_HEADERS})
    file(CREATE_LINK /usr/include/${header_dir} ${CRUMLET_BUILD_MACHINE_HEADERS}/${header_dir} SYMBOLIC)
  endif()
endforeach()
add_library(crumlet_header_only_libs INTERFACE)
target_include_directories(crumlet_header_only_libs SYSTEM INTERFACE ${CRUMLET_BUILD_MACHINE_HEADERS})
