# Helpers shared by every folder's CMakeLists.txt.

# Adds a folder when it exists, so folders can land one at a time.
macro(kvel_add_dir dir)
  if(EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/${dir}/CMakeLists.txt)
    add_subdirectory(${dir})
  endif()
endmacro()

# kvel_library(<target> [DEPS <targets>...])
# One static library per folder, made of every .cpp file directly in it.
function(kvel_library target)
  cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
  file(GLOB _sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  file(GLOB _headers CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
  if(NOT _sources)
    # A folder that offers headers only so far.
    add_library(${target} INTERFACE)
    target_include_directories(${target} INTERFACE ${PROJECT_SOURCE_DIR})
    if(ARG_DEPS)
      target_link_libraries(${target} INTERFACE ${ARG_DEPS})
    endif()
    return()
  endif()
  add_library(${target} STATIC ${_sources} ${_headers})
  target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR})
  if(ARG_DEPS)
    target_link_libraries(${target} PUBLIC ${ARG_DEPS})
  endif()
endfunction()

# kvel_test(<target> [QT] [DEPS <targets>...] [SOURCES <files>...])
# One GoogleTest binary per test folder, made of every *_test.cpp in it
# (or the SOURCES given). With QT the binary gets a main that starts a
# QApplication on the offscreen platform. KVEL_SOURCE_DIR names the
# repository root for test data.
function(kvel_test target)
  cmake_parse_arguments(ARG "QT" "" "DEPS;SOURCES" ${ARGN})
  if(ARG_SOURCES)
    set(_sources ${ARG_SOURCES})
  else()
    file(GLOB _sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*_test.cpp)
  endif()
  add_executable(${target} ${_sources})
  if(ARG_QT)
    target_link_libraries(${target} PRIVATE kvel_qt_test_main)
  else()
    target_link_libraries(${target} PRIVATE GTest::gtest_main)
  endif()
  target_link_libraries(${target} PRIVATE ${ARG_DEPS} GTest::gtest GTest::gmock)
  target_include_directories(${target} PRIVATE ${PROJECT_SOURCE_DIR} ${PROJECT_SOURCE_DIR}/tests)
  target_compile_definitions(${target} PRIVATE KVEL_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
  include(GoogleTest)
  gtest_discover_tests(${target}
    DISCOVERY_MODE PRE_TEST
    DISCOVERY_TIMEOUT 60
    PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen" LABELS unit)
endfunction()

# kvel_benchmark(<target> SOURCES <files>... [DEPS <targets>...])
# A Google Benchmark binary. ./test runs each one once, briefly, so they
# keep building and running; real measurements use tools/bench.
function(kvel_benchmark target)
  cmake_parse_arguments(ARG "" "" "DEPS;SOURCES" ${ARGN})
  find_package(benchmark REQUIRED)
  add_executable(${target} ${ARG_SOURCES})
  target_link_libraries(${target} PRIVATE ${ARG_DEPS} benchmark::benchmark)
  target_include_directories(${target} PRIVATE ${PROJECT_SOURCE_DIR})
  if(KVEL_TESTS)
    add_test(NAME ${target}_smoke
             COMMAND ${target} --benchmark_min_time=0.001 --benchmark_filter=.)
    set_tests_properties(${target}_smoke PROPERTIES
      LABELS bench ENVIRONMENT "QT_QPA_PLATFORM=offscreen;KVEL_BENCH_SMOKE=1")
  endif()
endfunction()

# kvel_test_groups(<prefix> <library>)
# One test binary per group of *_test.cpp files sharing a name prefix (the
# text before the first '_'), named <prefix>_<group> and linked with the
# folder's library, so each concern links and runs on its own.
function(kvel_test_groups prefix library)
  file(GLOB _tests CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*_test.cpp)
  set(_groups)
  foreach(_file ${_tests})
    get_filename_component(_name ${_file} NAME_WE)
    string(REGEX REPLACE "_.*" "" _group ${_name})
    list(APPEND _groups ${_group})
  endforeach()
  list(REMOVE_DUPLICATES _groups)
  foreach(_group ${_groups})
    file(GLOB _sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${_group}_*test.cpp)
    kvel_test(${prefix}_${_group} QT DEPS ${library} SOURCES ${_sources})
  endforeach()
endfunction()
