# Helpers shared by every folder's CMakeLists.txt.

set(QUORVEX_WARNINGS -Wall -Wextra -Wno-unused-parameter)

function(quorvex_compile_options target)
  target_compile_options(${target} PRIVATE ${QUORVEX_WARNINGS})
  if(QUORVEX_SANITIZE)
    target_compile_options(${target} PRIVATE -fsanitize=address,undefined -fno-omit-frame-pointer)
    target_link_options(${target} PRIVATE -fsanitize=address,undefined)
    get_target_property(type ${target} TYPE)
    if(type STREQUAL "EXECUTABLE")
      target_sources(${target} PRIVATE ${CMAKE_SOURCE_DIR}/cmake/lsan_suppressions.cpp)
    endif()
  endif()
endfunction()

# quorvex_test_code_options(<target>)
# The tests' own code (test programs, their helpers, the precompiled header they share) is compiled
# without optimising: it does little work when it runs, and compiling it optimised under the
# sanitizers was about half of the sanitized build. The code under test keeps the build's level.
function(quorvex_test_code_options target)
  quorvex_compile_options(${target})
  target_compile_options(${target} PRIVATE -O0)
endfunction()

# quorvex_test_program_link(<target>)
# A test program is started once for every test it holds. Linked position-dependent, its pointers
# are fixed at link time: as a position-independent executable the loader patched some 800,000
# of them at every start, a third of a sanitized program's start-up.
function(quorvex_test_program_link target)
  target_link_options(${target} PRIVATE -no-pie)
endfunction()

# quorvex_library(<name> [SHARED] [DEPS <targets>...])
# Builds every .cpp/.c below the calling folder (not below a subfolder that has its own
# CMakeLists.txt) into one library. The repository root is the include root.
function(quorvex_library name)
  cmake_parse_arguments(Q "SHARED" "" "DEPS;PRIVATE_DEPS" ${ARGN})
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS
       ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.c)
  # Subfolders with their own CMakeLists.txt are libraries of their own.
  file(GLOB_RECURSE sublists ${CMAKE_CURRENT_SOURCE_DIR}/*/CMakeLists.txt)
  foreach(l ${sublists})
    get_filename_component(subdir ${l} DIRECTORY)
    list(FILTER sources EXCLUDE REGEX "^${subdir}/")
  endforeach()
  if(NOT sources)
    # A folder whose first sources are still being written: keep the target so dependants
    # configure, but with nothing to build yet.
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE ${CMAKE_SOURCE_DIR})
    target_link_libraries(${name} INTERFACE ${Q_DEPS})
    return()
  endif()
  if(Q_SHARED)
    add_library(${name} SHARED ${sources})
  else()
    add_library(${name} STATIC ${sources})
  endif()
  target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR})
  target_link_libraries(${name} PUBLIC ${Q_DEPS} PRIVATE ${Q_PRIVATE_DEPS})
  quorvex_compile_options(${name})
endfunction()

# quorvex_tests(DEPS <targets>...)
# The test_*.cpp files of the calling folder and its helpers (*.cpp not named test_*) become one
# GoogleTest program, <folder>_tests (the folder path below tests/ with "_" for "/", e.g.
# measurement_screen_tests); the helpers are compiled once. A new test_*.cpp joins it by itself.
# CTest runs every TEST as a process of its own (--gtest_filter), so a test starts on fresh
# process state; with QUORVEX_TESTS_BY_SUITE (CI) it runs each suite in one process instead (see
# quorvex_add_gtests). The files share one program: a file's own helpers go in an anonymous
# namespace and TEST/TEST_F suite names are unique across tests/. Sets QUORVEX_TEST_TARGET in the
# caller for folder-specific additions.
function(quorvex_tests)
  cmake_parse_arguments(Q "" "" "DEPS" ${ARGN})
  file(GLOB tests CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/test_*.cpp)
  file(GLOB all CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  file(RELATIVE_PATH rel ${CMAKE_SOURCE_DIR}/tests ${CMAKE_CURRENT_SOURCE_DIR})
  string(REPLACE "/" "_" prefix ${rel})
  set(target ${prefix}_tests)
  set(QUORVEX_TEST_TARGET ${target} PARENT_SCOPE)
  if(NOT tests)
    return()
  endif()
  add_executable(${target} ${all})
  target_link_libraries(${target} PRIVATE ${Q_DEPS} GTest::gtest GTest::gmock GTest::gtest_main Threads::Threads)
  target_include_directories(${target} PRIVATE ${CMAKE_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR})
  target_compile_definitions(${target} PRIVATE
    QUORVEX_SOURCE_DIR="${CMAKE_SOURCE_DIR}" QUORVEX_PROGRAM_DIR="${QUORVEX_PROGRAM_DIR}"
    QUORVEX_TEST_DATA_DIR="${CMAKE_CURRENT_SOURCE_DIR}/data")
  set_target_properties(${target} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests/${rel})
  quorvex_test_code_options(${target})
  quorvex_test_program_link(${target})
  target_compile_options(${target} PRIVATE -pthread)
  quorvex_test_pch(${target})
  quorvex_add_gtests(${target} LABEL ${prefix} TIMEOUT 300)
endfunction()

option(QUORVEX_TESTS_BY_SUITE "Run each GoogleTest suite in one process instead of each test" OFF)

# quorvex_add_gtests(<target> LABEL <label> TIMEOUT <seconds per test>)
# Registers a GoogleTest program's tests with CTest, found by listing the built program when CTest
# runs. By default every TEST is a CTest test and a process of its own. With QUORVEX_TESTS_BY_SUITE
# every suite is one CTest test running its TESTs one after another in one process: a sanitized
# program spends most of a second starting and ending (loading, registering its globals, the leak
# check at exit), which for every one of some two thousand tests was most of CI's test run.
function(quorvex_add_gtests target)
  cmake_parse_arguments(Q "" "LABEL;TIMEOUT" "" ${ARGN})
  if(NOT QUORVEX_TESTS_BY_SUITE)
    gtest_discover_tests(${target} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60
                         PROPERTIES TIMEOUT ${Q_TIMEOUT} LABELS ${Q_LABEL})
    return()
  endif()
  set(include_file ${CMAKE_CURRENT_BINARY_DIR}/${target}_suites_include.cmake)
  set(list_file ${CMAKE_CURRENT_BINARY_DIR}/${target}_suites.cmake)
  file(GENERATE OUTPUT ${include_file} CONTENT
"if(NOT EXISTS \"${list_file}\" OR \"$<TARGET_FILE:${target}>\" IS_NEWER_THAN \"${list_file}\"
   OR \"${include_file}\" IS_NEWER_THAN \"${list_file}\")
  execute_process(COMMAND \"${CMAKE_COMMAND}\" -D \"EXE=$<TARGET_FILE:${target}>\" -D \"OUT=${list_file}\"
                  -D \"WORKDIR=${CMAKE_CURRENT_BINARY_DIR}\" -D \"LABEL=${Q_LABEL}\" -D \"TIMEOUT=${Q_TIMEOUT}\"
                  -P \"${CMAKE_SOURCE_DIR}/cmake/QuorvexSuiteTests.cmake\")
endif()
if(EXISTS \"${list_file}\")
  include(\"${list_file}\")
else()
  add_test(${target}_NOT_BUILT ${target}_NOT_BUILT)
endif()
")
  set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES ${include_file})
endfunction()

# quorvex_test_pch(<target>)
# The test framework and the standard headers every suite includes, parsed once for all test
# programs (tests/CMakeLists.txt builds the precompiled header in quorvex_test_pch).
function(quorvex_test_pch target)
  if(TARGET quorvex_test_pch)
    target_precompile_headers(${target} REUSE_FROM quorvex_test_pch)
    # Loading the header costs seconds; the leak suppressions every sanitized program carries
    # include nothing.
    set_source_files_properties(${CMAKE_SOURCE_DIR}/cmake/lsan_suppressions.cpp PROPERTIES
                                SKIP_PRECOMPILE_HEADERS ON)
  endif()
endfunction()
