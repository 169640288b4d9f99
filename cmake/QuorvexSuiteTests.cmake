# Run by CTest (cmake -P) before it runs the tests, whenever the test program is newer than the
# list this writes: adds one CTest test per GoogleTest suite of the program, which runs the whole
# suite in one process (--gtest_filter=<Suite>.*). Used when QUORVEX_TESTS_BY_SUITE is on.
#
# -D EXE=<test program> -D OUT=<file of CTest commands to write> -D WORKDIR=<directory>
# -D LABEL=<label> -D TIMEOUT=<seconds allowed for each test of a suite>

execute_process(COMMAND "${EXE}" --gtest_list_tests
                WORKING_DIRECTORY "${WORKDIR}"
                OUTPUT_VARIABLE listing ERROR_VARIABLE errors RESULT_VARIABLE result TIMEOUT 120)
get_filename_component(program "${EXE}" NAME)
if(NOT result EQUAL 0)
  # A program that cannot list its tests fails as a test of its own instead of vanishing.
  string(REPLACE "\n" " " errors "${errors}")
  file(WRITE "${OUT}"
       "add_test([==[${program}_LIST]==] \"${EXE}\" --gtest_list_tests)\n"
       "set_tests_properties([==[${program}_LIST]==] PROPERTIES LABELS [==[${LABEL}]==])\n")
  return()
endif()

# The listing: a line "Suite." (a typed or parameterized suite may carry "  # TypeParam = ..."),
# then one line per test indented by two spaces. Anything else (gtest_main's greeting) is skipped.
string(REPLACE ";" "," listing "${listing}")
string(REPLACE "\n" ";" lines "${listing}")
set(suites "")
set(suite "")
foreach(line IN LISTS lines)
  if(line MATCHES "^([^ #][^ ]*)\\.( +#.*)?$")
    set(suite "${CMAKE_MATCH_1}")
    list(APPEND suites "${suite}")
    set(count_${suite} 0)
  elseif(suite AND line MATCHES "^  [^ ]")
    math(EXPR count_${suite} "${count_${suite}} + 1")
  endif()
endforeach()

set(content "")
foreach(suite IN LISTS suites)
  set(n ${count_${suite}})
  if(n EQUAL 0)
    continue()
  endif()
  math(EXPR seconds "${TIMEOUT} * ${n}")
  # COST: larger suites start first, so that no long suite is left running alone at the end.
  string(APPEND content
    "add_test([==[${suite}]==] \"${EXE}\" [==[--gtest_filter=${suite}.*]==])\n"
    "set_tests_properties([==[${suite}]==] PROPERTIES WORKING_DIRECTORY \"${WORKDIR}\""
    " LABELS [==[${LABEL}]==] TIMEOUT ${seconds} COST ${n})\n")
endforeach()
file(WRITE "${OUT}" "${content}")
