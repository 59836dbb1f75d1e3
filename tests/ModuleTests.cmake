# The module, its platform layer, the parameter store, the plugin object and the stand-in
# host's authoring side. Module tests load the built libOrvexCrumlet.so by its path.
add_executable(crumlet_module_tests
  platform/PlatformTest.cpp
  params/AudioProcessorTest.cpp
  host/OrvexCrumletPluginTest.cpp
  host/ModuleTest.cpp
  host/SoundEngineLinkTest.cpp
  quarl/PropertySetTest.cpp
  quarl/PluginDescriptionTest.cpp
  quarl/MonitorDeliveryTest.cpp
  support/StoredValues.cpp)
target_link_libraries(crumlet_module_tests PRIVATE
  GTest::gtest_main
  crumlet_authoring
  crumlet_resources
  crumlet_engine
  crumlet_quarl)
target_compile_definitions(crumlet_module_tests PRIVATE
  CRUMLET_MODULE_PATH="$<TARGET_FILE:OrvexCrumlet>"
  CRUMLET_DESCRIPTION_SOURCE="${CRUMLET_DESCRIPTION_FILE}"
  CRUMLET_NM="${CMAKE_NM}")
add_dependencies(crumlet_module_tests OrvexCrumlet)
gtest_discover_tests(crumlet_module_tests DISCOVERY_TIMEOUT 60)

# Loading the module where the host's sound engine library is absent: a program that
# links nothing of the stand-in host.
add_executable(crumlet_module_startup_tests host/ModuleStartupTest.cpp)
target_link_libraries(crumlet_module_startup_tests PRIVATE GTest::gtest_main crumlet_host_interface ${CMAKE_DL_LIBS})
target_compile_definitions(crumlet_module_startup_tests PRIVATE CRUMLET_MODULE_PATH="$<TARGET_FILE:OrvexCrumlet>")
add_dependencies(crumlet_module_startup_tests OrvexCrumlet)
gtest_discover_tests(crumlet_module_startup_tests DISCOVERY_TIMEOUT 60)
