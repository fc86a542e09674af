# SPDX-License-Identifier: GPL-3.0-or-later
# Fails when a Qt Test program has a case that none of the tests running it
# name, which would then never run.
#   cmake -DPROGRAM=<test program> -DCASES=<case;case;...> -P every_case_runs.cmake
cmake_minimum_required(VERSION 3.25)
execute_process(COMMAND ${PROGRAM} -functions OUTPUT_VARIABLE listed RESULT_VARIABLE status)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "${PROGRAM} -functions failed (${status})")
endif()
string(REGEX MATCHALL "[A-Za-z_0-9]+\\(\\)" cases "${listed}")
set(missing "")
foreach(case ${cases})
    string(REPLACE "()" "" case "${case}")
    if(NOT case IN_LIST CASES)
        list(APPEND missing ${case})
    endif()
endforeach()
if(missing)
    message(FATAL_ERROR "cases that no test runs: ${missing}")
endif()
list(LENGTH cases count)
message(STATUS "all ${count} cases run")
