# Shared build settings and the helpers every folder uses to declare libraries and tests.

add_library(velmora_options INTERFACE)
target_compile_options(velmora_options INTERFACE
  $<$<COMPILE_LANGUAGE:CXX>:-Wall -Wextra -Wno-missing-field-initializers>
  $<$<COMPILE_LANGUAGE:C>:-Wall -Wextra>)
if(VELMORA_WERROR)
  target_compile_options(velmora_options INTERFACE -Werror)
endif()
if(VELMORA_SANITIZE)
  # GCC's "undefined" leaves out float-cast-overflow: a float from data outside the int range
  # must fail the tests too.
  set(_velmora_san -fsanitize=address,undefined,float-cast-overflow -fno-sanitize-recover=all
    -fno-omit-frame-pointer)
  target_compile_options(velmora_options INTERFACE ${_velmora_san})
  target_link_options(velmora_options INTERFACE ${_velmora_san})
endif()
target_include_directories(velmora_options INTERFACE ${PROJECT_SOURCE_DIR})

# The folder a build runs the game from, laid out as an install lays it out: game.ini and Data/
# with the committed files and the generated ones together (see tools/CMakeLists.txt). Each build
# has its own, so that two builds never share a generated file. Tests, benchmarks and tools find
# the data there.
set(VELMORA_GAME_DIR ${PROJECT_BINARY_DIR})

# velmora_library(<name> SOURCES ... [DEPS ...]): a static library of one subsystem folder.
function(velmora_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  target_link_libraries(${name} PUBLIC velmora_options ${ARG_DEPS})
endfunction()

# velmora_test(<name> SOURCES ... [LIBS ...]): one GoogleTest binary; every case runs headless and
# may use the shared test support (tests/support).
function(velmora_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE velmora_options ${ARG_LIBS} velmora_test_support
    GTest::gtest GTest::gtest_main GTest::gmock)
  # The runnable tree for data the build generates; the source tree for committed sources only.
  target_compile_definitions(${name} PRIVATE VELMORA_GAME_DIR="${VELMORA_GAME_DIR}"
    VELMORA_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
  gtest_discover_tests(${name}
    DISCOVERY_MODE PRE_TEST
    WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}
    PROPERTIES ENVIRONMENT "SDL_VIDEODRIVER=dummy;SDL_AUDIODRIVER=dummy")
endfunction()
