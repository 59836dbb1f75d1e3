# The module, its platform layer, the parameter store, the plugin object and the stand-in
# host's authoring side. Module tests load the built libOrvexCrumlet.so by its path.
add_executable(crumlet_module_tests
  platform/PlatformTest.cpp
  store/AudioProcessorTest.cpp
  host/OrvexCrumletPluginTest.cpp
  host/ModuleTest.cpp
  host/SoundEngineLinkTest.cpp
  host/ApplicationStartTest.cpp
  host/InterfaceSlotsTest.cpp
  ${PROJECT_SOURCE_DIR}/host/OrvexCrumletApp.cpp
  quarl/PropertySetTest.cpp
  quarl/PluginDescriptionTest.cpp
  quarl/MonitorDeliveryTest.cpp
  quarl/PropertyUpdateTest.cpp
  support/StoredValues.cpp)
target_link_libraries(crumlet_module_tests PRIVATE
  GTest::gtest_main
  crumlet_authoring
  crumlet_resources
  crumlet_engine
  crumlet_registration
  crumlet_quarl
  crumlet_late_changes)
target_compile_definitions(crumlet_module_tests PRIVATE
  CRUMLET_MODULE_PATH="$<TARGET_FILE:OrvexCrumlet>"
  CRUMLET_DESCRIPTION_SOURCE="${CRUMLET_DESCRIPTION_FILE}"
  CRUMLET_NM="${CMAKE_NM}"
  CRUMLET_OBJDUMP="${CMAKE_OBJDUMP}")
add_dependencies(crumlet_module_tests OrvexCrumlet)
gtest_discover_tests(crumlet_module_tests DISCOVERY_TIMEOUT 60)

# Loading the module where the host's sound engine library is absent: a program that
# links nothing of the stand-in host.
add_executable(crumlet_module_startup_tests host/ModuleStartupTest.cpp)
target_link_libraries(crumlet_module_startup_tests PRIVATE GTest::gtest_main crumlet_host_interface ${CMAKE_DL_LIBS})
target_compile_definitions(crumlet_module_startup_tests PRIVATE CRUMLET_MODULE_PATH="$<TARGET_FILE:OrvexCrumlet>")
add_dependencies(crumlet_module_startup_tests OrvexCrumlet)
gtest_discover_tests(crumlet_module_startup_tests DISCOVERY_TIMEOUT 60)

# The start-up order: a sound engine library that calls back into the module while it
# registers, under the name the module looks for (libQuarlSoundEngine.so, in its own folder),
# and a program that loads it, then the module.
add_library(crumlet_probe_sound_engine SHARED host/startup/ProbeSoundEngine.cpp)
target_link_libraries(crumlet_probe_sound_engine PRIVATE crumlet_host_interface ${CMAKE_DL_LIBS})
set_target_properties(crumlet_probe_sound_engine PROPERTIES
  OUTPUT_NAME QuarlSoundEngine
  LIBRARY_OUTPUT_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}/probe-engine
  CXX_VISIBILITY_PRESET hidden)
add_executable(crumlet_module_startup_order_tests host/startup/ModuleStartupOrderTest.cpp)
target_link_libraries(crumlet_module_startup_order_tests PRIVATE GTest::gtest_main crumlet_probe_sound_engine
  ${CMAKE_DL_LIBS})
target_include_directories(crumlet_module_startup_order_tests PRIVATE ${PROJECT_SOURCE_DIR})
target_compile_definitions(crumlet_module_startup_order_tests PRIVATE CRUMLET_MODULE_PATH="$<TARGET_FILE:OrvexCrumlet>")
add_dependencies(crumlet_module_startup_order_tests OrvexCrumlet)
gtest_discover_tests(crumlet_module_startup_order_tests DISCOVERY_TIMEOUT 60)
