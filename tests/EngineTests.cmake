# The engine's suites, the calculator's section designer against the engine's sections and
# the stand-in host's stream renderer: one list for the Linux build (crumlet_tests) and the
# Windows build (windows/: crumlet_windows_engine_tests), which link the same libraries.
set(CRUMLET_ENGINE_TEST_SOURCES
  support/EngineTestSupport.cpp
  support/StoredValues.cpp
  engine/filters/FilterDesignTest.cpp
  widgets/SectionDesignerTest.cpp
  engine/EngineParamsTest.cpp
  engine/stages/FiltersEqStageTest.cpp
  engine/stages/DistortionStageTest.cpp
  engine/stages/NoiseStageTest.cpp
  engine/stages/GateStageTest.cpp
  engine/stages/LoFiStageTest.cpp
  engine/stages/SimStageTest.cpp
  engine/EffectEngineTest.cpp
  engine/RobustnessTest.cpp
  quarl/StreamRendererTest.cpp)
list(TRANSFORM CRUMLET_ENGINE_TEST_SOURCES PREPEND ${CMAKE_CURRENT_LIST_DIR}/)
set(CRUMLET_ENGINE_TEST_LIBRARIES crumlet_engine crumlet_section_designer crumlet_registration)
