# Runs a test program whole and shows only what failed, under each failing
# test's name. A program that dies of a signal or hangs reports nothing, so
# it runs once more with every test's name shown: the output then ends at the
# test that died. cmake -DPROGRAM=<path> -P runsuite.cmake
execute_process(COMMAND ${PROGRAM} --gtest_brief=1 RESULT_VARIABLE result TIMEOUT 240)
if(result STREQUAL "0")
  return()
endif()
if(NOT result STREQUAL "1")
  message("${PROGRAM}: ${result}; again, with each test's name:")
  execute_process(COMMAND ${PROGRAM} TIMEOUT 240)
endif()
message(FATAL_ERROR "${PROGRAM} failed (${result})")
