# JUCE as the project builds it: each group of modules compiled once into a static library of
# our own, so that every binary holds one juce_core. The DAW plugins (plugins/juce) are the
# exception: JUCE's plugin client compiles its modules into the plugin itself.
find_package(JUCE CONFIG REQUIRED)

# crumlet_juce_library(TARGET MODULE...): a static library of the named JUCE modules' sources,
# with each module announced as available. Third-party code: its warnings are not ours to fix.
function(crumlet_juce_library target)
  add_library(${target} STATIC)
  foreach(module IN LISTS ARGN)
    get_target_property(module_sources juce::${module} INTERFACE_SOURCES)
    target_sources(${target} PRIVATE ${module_sources})
    target_compile_definitions(${target} PUBLIC JUCE_MODULE_AVAILABLE_${module}=1)
  endforeach()
  target_compile_options(${target} PRIVATE -w)
endfunction()

# juce_core, as far as the module uses it outside the editor. Its configuration keeps it free
# of network and GUI dependencies.
# Linked, not listed: its sources come with juce::juce_core's own definitions.
add_library(crumlet_juce_core STATIC)
target_link_libraries(crumlet_juce_core PRIVATE juce::juce_core)
target_compile_options(crumlet_juce_core PRIVATE -w)
if(CRUMLET_WINDOWS)
  include(${CMAKE_CURRENT_LIST_DIR}/WindowsJuceDeps.cmake)
  # juce_core's zlib (Debian's JUCE uses the system's) and system libraries.
  target_link_libraries(crumlet_juce_core PUBLIC crumlet_windows_zlib crumlet_windows_gui_libs)
  target_link_directories(crumlet_juce_core PUBLIC ${CRUMLET_WINDOWS_DEPS}/lib)
endif()
target_compile_definitions(crumlet_juce_core PUBLIC
  JUCE_USE_CURL=0
  JUCE_WEB_BROWSER=0
  JUCE_STANDALONE_APPLICATION=0
  JUCE_DISPLAY_SPLASH_SCREEN=0
  JUCE_MODAL_LOOPS_PERMITTED=0
  JUCE_DISABLE_JUCE_VERSION_PRINTING=1)
target_compile_definitions(crumlet_juce_core INTERFACE
  $<TARGET_PROPERTY:juce::juce_core,INTERFACE_COMPILE_DEFINITIONS>)
target_include_directories(crumlet_juce_core SYSTEM INTERFACE
  $<TARGET_PROPERTY:juce::juce_core,INTERFACE_INCLUDE_DIRECTORIES>)

# The GUI modules, for the editor and the artwork, over crumlet_juce_core.
crumlet_juce_library(crumlet_juce_gui juce_events juce_data_structures juce_graphics juce_gui_basics)
if(CRUMLET_WINDOWS)
  target_link_libraries(crumlet_juce_gui PUBLIC crumlet_juce_core crumlet_windows_image_libs crumlet_windows_gui_libs)
else()
  target_link_libraries(crumlet_juce_gui PUBLIC crumlet_juce_core juce::pkgconfig_juce_graphics_LINUX_DEPS
    juce::pkgconfig_JUCE_IMG_LINUX_DEPS)
endif()
# Both go into the module: hidden symbols.
set_target_properties(crumlet_juce_core crumlet_juce_gui PROPERTIES CXX_VISIBILITY_PRESET hidden
  VISIBILITY_INLINES_HIDDEN ON)

# The audio devices, for the tool's live playback in its editor window (ALSA; Linux only),
# over the GUI modules.
if(NOT CRUMLET_WINDOWS)
  crumlet_juce_library(crumlet_juce_audio juce_audio_basics juce_audio_devices)
  target_link_libraries(crumlet_juce_audio PUBLIC crumlet_juce_gui juce::pkgconfig_juce_audio_devices_LINUX_DEPS)
endif()
