# Included first by each folder whose targets are built into the module: every target of the
# folder gets hidden symbols, so that only the module's two exports are visible from outside
# (host/OrvexCrumlet.map).
set(CMAKE_CXX_VISIBILITY_PRESET hidden)
set(CMAKE_VISIBILITY_INLINES_HIDDEN ON)
