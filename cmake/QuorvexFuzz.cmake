# libFuzzer targets: built with clang, AddressSanitizer and UndefinedBehaviorSanitizer straight
# from the sources they exercise, and run by CTest for a short fixed time over a small seed
# corpus. Any crash, sanitizer report or broken invariant fails the test.
#
# quorvex_fuzz(<name> LABEL <label> SOURCES <files>... [SEEDS <folder>] [DEFINES <defs>...]
#              [DEPENDS <headers>...] [OPTIONS <compiler flags>...] [LIBS <linker flags>...])
# The label ends in "_fuzz", so `ctest -LE fuzz` leaves every fuzz target out.

set(QUORVEX_FUZZ_SECONDS 15 CACHE STRING "Seconds each fuzz target runs under CTest")

if(NOT DEFINED QUORVEX_FUZZ_OK)
  find_program(QUORVEX_CLANGXX NAMES clang++ clang++-14)
  set(QUORVEX_FUZZ_OK OFF)
  if(QUORVEX_CLANGXX)
    # clang must also bring its libFuzzer and sanitizer runtimes (libclang-rt-*-dev).
    set(probe ${CMAKE_BINARY_DIR}/fuzz_probe.cpp)
    file(WRITE ${probe} "#include <cstdint>\n#include <cstddef>\nextern \"C\" int LLVMFuzzerTestOneInput(const std::uint8_t*, std::size_t) { return 0; }\n")
    execute_process(
      COMMAND ${QUORVEX_CLANGXX} -fsanitize=fuzzer,address,undefined ${probe} -o ${CMAKE_BINARY_DIR}/fuzz_probe
      RESULT_VARIABLE probe_result OUTPUT_QUIET ERROR_QUIET)
    if(probe_result EQUAL 0)
      set(QUORVEX_FUZZ_OK ON)
    endif()
  endif()
  set(QUORVEX_FUZZ_OK ${QUORVEX_FUZZ_OK} CACHE INTERNAL "clang++ builds libFuzzer targets")
  if(NOT QUORVEX_FUZZ_OK)
    message(STATUS "clang++ with libFuzzer not found: the fuzz targets are not built")
  endif()
endif()

# Fuzz targets that write temporary files (and sync them) run on a memory file system.
set(QUORVEX_FUZZ_TMPDIR "")
if(IS_DIRECTORY /dev/shm)
  set(QUORVEX_FUZZ_TMPDIR "TMPDIR=/dev/shm")
endif()

function(quorvex_fuzz name)
  cmake_parse_arguments(Q "" "LABEL;SEEDS" "SOURCES;DEFINES;DEPENDS;OPTIONS;LIBS" ${ARGN})
  if(NOT QUORVEX_FUZZ_OK)
    return()
  endif()
  set(binary ${CMAKE_CURRENT_BINARY_DIR}/fuzz_${name})
  set(defs "")
  foreach(d ${Q_DEFINES})
    list(APPEND defs -D${d})
  endforeach()
  add_custom_command(
    OUTPUT ${binary}
    COMMAND ${QUORVEX_CLANGXX} -std=c++20 -O1 -g -fno-omit-frame-pointer
            -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all
            ${defs} ${Q_OPTIONS} -I${CMAKE_SOURCE_DIR}
            ${CMAKE_CURRENT_SOURCE_DIR}/fuzz_${name}.cpp ${Q_SOURCES} ${Q_LIBS} -o ${binary}
    DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/fuzz_${name}.cpp ${Q_SOURCES} ${Q_DEPENDS}
    COMMENT "Building fuzz target fuzz_${name}"
    VERBATIM)
  add_custom_target(${Q_LABEL}_${name}_target ALL DEPENDS ${binary})

  # New inputs go to a corpus folder of the build; the checked-in seeds are only read.
  set(corpus ${CMAKE_CURRENT_BINARY_DIR}/corpus_${name})
  file(MAKE_DIRECTORY ${corpus})
  set(seeds "")
  if(Q_SEEDS)
    set(seeds ${Q_SEEDS})
  endif()
  add_test(NAME ${Q_LABEL}_${name}
           COMMAND ${binary} -max_total_time=${QUORVEX_FUZZ_SECONDS} -timeout=10
                   -rss_limit_mb=2048 -max_len=4096 -print_final_stats=1
                   -artifact_prefix=${CMAKE_CURRENT_BINARY_DIR}/
                   ${corpus} ${seeds})
  set_tests_properties(${Q_LABEL}_${name} PROPERTIES
    TIMEOUT 120 LABELS ${Q_LABEL}
    ENVIRONMENT "ASAN_OPTIONS=detect_leaks=1;UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1;${QUORVEX_FUZZ_TMPDIR}")
endfunction()
