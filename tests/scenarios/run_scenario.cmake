# Runs ktr7-replay once and compares what it did with what was expected.
#
#   -DREPLAY=path        the ktr7-replay executable
#   -DARGS=a;b           its arguments (a CMake list)
#   -DINPUT=file         standard input (optional)
#   -DWORK=dir           working directory, created empty first
#   -DEXPECTED=file      expected standard output, compared exactly (optional)
#   -DSTATUS=n           expected exit status (default 0)
#   -DSTDERR=file        expected standard error, compared exactly (optional;
#                        without it standard error must be empty when STATUS is 0)
#   -DOUT_PREFIX=text    instead of EXPECTED: standard output must begin so
#
# With KTR7_SCENARIO_UPDATE set in the environment, the expected output (and
# standard error, when STDERR is given) files are rewritten from this run and
# the test passes; review the difference before committing.
cmake_minimum_required(VERSION 3.25)

if(NOT DEFINED STATUS)
    set(STATUS 0)
endif()
file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}")

set(input_option)
if(DEFINED INPUT)
    set(input_option INPUT_FILE "${INPUT}")
endif()
execute_process(
    COMMAND "${REPLAY}" ${ARGS}
    WORKING_DIRECTORY "${WORK}"
    ${input_option}
    OUTPUT_VARIABLE out
    ERROR_VARIABLE err
    RESULT_VARIABLE status)

file(WRITE "${WORK}/stdout.actual" "${out}")
file(WRITE "${WORK}/stderr.actual" "${err}")

if(DEFINED ENV{KTR7_SCENARIO_UPDATE})
    if(DEFINED EXPECTED)
        file(WRITE "${EXPECTED}" "${out}")
    endif()
    if(DEFINED STDERR)
        file(WRITE "${STDERR}" "${err}")
    endif()
    message(STATUS "updated expectations (exit status ${status})")
    return()
endif()

set(failures)

function(show_difference expected_file actual_file)
    find_program(DIFF diff)
    if(DIFF)
        execute_process(COMMAND "${DIFF}" -u "${expected_file}" "${actual_file}" OUTPUT_VARIABLE d)
        message("${d}")
    else()
        file(READ "${expected_file}" e)
        file(READ "${actual_file}" a)
        message("--- expected\n${e}\n--- actual\n${a}")
    endif()
endfunction()

if(NOT "${status}" STREQUAL "${STATUS}")
    list(APPEND failures "exit status ${status}, expected ${STATUS}")
endif()

if(DEFINED EXPECTED)
    file(READ "${EXPECTED}" expected_out)
    if(NOT out STREQUAL expected_out)
        list(APPEND failures "standard output differs from ${EXPECTED}")
        show_difference("${EXPECTED}" "${WORK}/stdout.actual")
    endif()
elseif(DEFINED OUT_PREFIX)
    string(FIND "${out}" "${OUT_PREFIX}" at)
    if(NOT at EQUAL 0)
        list(APPEND failures "standard output does not begin with \"${OUT_PREFIX}\"")
        message("--- standard output\n${out}")
    endif()
endif()

if(DEFINED STDERR)
    file(READ "${STDERR}" expected_err)
    if(NOT err STREQUAL expected_err)
        list(APPEND failures "standard error differs from ${STDERR}")
        show_difference("${STDERR}" "${WORK}/stderr.actual")
    endif()
elseif(STATUS EQUAL 0 AND NOT err STREQUAL "")
    list(APPEND failures "unexpected standard error")
    message("--- standard error\n${err}")
endif()

if(failures)
    list(JOIN failures "; " text)
    message(FATAL_ERROR "${text}")
endif()
