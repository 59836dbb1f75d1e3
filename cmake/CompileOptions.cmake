# How every translation unit of the project is compiled: C++17, position-independent (the
# static libraries go into shared modules), through ccache when there is one.
set(CMAKE_CXX_STANDARD 17)
set(CMAKE_CXX_STANDARD_REQUIRED ON)
set(CMAKE_CXX_EXTENSIONS OFF)
set(CMAKE_POSITION_INDEPENDENT_CODE ON)
set(CMAKE_EXPORT_COMPILE_COMMANDS ON)

if(NOT CMAKE_BUILD_TYPE AND NOT CMAKE_CONFIGURATION_TYPES)
  set(CMAKE_BUILD_TYPE Release CACHE STRING "Build type" FORCE)
endif()

find_program(CCACHE_PROGRAM ccache)
if(CCACHE_PROGRAM)
  set(CMAKE_CXX_COMPILER_LAUNCHER "${CCACHE_PROGRAM}")
endif()

# Options that hold for every file, the tests' included: a sample computed anywhere must round
# exactly as written (no fused multiply-adds), and a sanitizer instruments all code or misses
# what crosses between the parts.
add_compile_options(-Wall -Wextra -Wpedantic -ffp-contract=off)
# The sanitizer builds also check the standard library's preconditions (an index in range,
# back() of a non-empty string): GCC's UBSan does not see a read one before a string's start.
if(CRUMLET_SANITIZE OR CRUMLET_FUZZ)
  add_compile_definitions(_GLIBCXX_ASSERTIONS)
endif()
if(CRUMLET_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()
if(CRUMLET_TSAN)
  add_compile_options(-fsanitize=thread -fno-omit-frame-pointer)
  add_link_options(-fsanitize=thread)
endif()
if(CRUMLET_FUZZ)
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer
    -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()
