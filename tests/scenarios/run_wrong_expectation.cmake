# Runs a copy of a ready scenario in which its first "expect NAME NUMBER" line
# asks for NUMBER + 1, and checks that the replay tool reports that one line
# and still checks every expectation after it:
#   - exit status 1;
#   - standard error exactly "ktr7-replay: line N: expected NAME=NUMBER+1, got NUMBER";
#   - the last line of standard output "P passed, 1 failed", P being the
#     number of the scenario's other expectations.
#
#   -DREPLAY=path        the ktr7-replay executable
#   -DSCENARIO=file      the ready scenario; the copy runs in a copy of its
#                        folder, where the pictures its expectations name are found
#   -DWORK=dir           where the copy is written, created empty first
cmake_minimum_required(VERSION 3.25)

file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}")
file(READ "${SCENARIO}" text)
# A copy of the ready folder under the build tree, so nothing the run writes
# lands in the source tree.
get_filename_component(source_folder "${SCENARIO}" DIRECTORY)
set(folder "${WORK}/ready")
file(COPY "${source_folder}/" DESTINATION "${folder}")
get_filename_component(name "${SCENARIO}" NAME_WLE)

# Every expectation is one line beginning with the word expect.
string(REGEX MATCHALL "(^|\n)[ \t]*expect[ \t]" expectations "${text}")
list(LENGTH expectations total)

string(REGEX MATCH "\nexpect ([a-z_]+) ([0-9]+)[ \t]*(#[^\n]*)?\n" first "${text}")
if(NOT first)
    message(FATAL_ERROR "${SCENARIO} has no expect line with a plain number to make wrong")
endif()
set(field "${CMAKE_MATCH_1}")
set(value "${CMAKE_MATCH_2}")
math(EXPR wrong "${value} + 1")
string(FIND "${text}" "${first}" at)
string(SUBSTRING "${text}" 0 ${at} before)
string(REGEX MATCHALL "\n" newlines "${before}")
list(LENGTH newlines line)
math(EXPR line "${line} + 2")  # the match starts with the newline ending the line before
string(LENGTH "${first}" length)
math(EXPR after_at "${at} + ${length}")
string(SUBSTRING "${text}" ${after_at} -1 after)
set(copy "${WORK}/${name}_wrong.scn")
file(WRITE "${copy}" "${before}\nexpect ${field} ${wrong}\n${after}")

# From standard input, so that its pictures are taken from the working
# directory, the ready scenario's folder, and not from beside the copy.
execute_process(
    COMMAND "${REPLAY}"
    INPUT_FILE "${copy}"
    WORKING_DIRECTORY "${folder}"
    OUTPUT_VARIABLE out
    ERROR_VARIABLE err
    RESULT_VARIABLE status)
file(WRITE "${WORK}/stdout.actual" "${out}")
file(WRITE "${WORK}/stderr.actual" "${err}")

set(failures)
if(NOT status STREQUAL "1")
    list(APPEND failures "exit status ${status}, expected 1")
endif()
set(expected_err "ktr7-replay: line ${line}: expected ${field}=${wrong}, got ${value}\n")
if(NOT err STREQUAL expected_err)
    list(APPEND failures "standard error \"${err}\", expected \"${expected_err}\"")
endif()
math(EXPR passed "${total} - 1")
string(REGEX MATCH "[^\n]*\n$" last "${out}")
if(NOT last STREQUAL "${passed} passed, 1 failed\n")
    list(APPEND failures "last line \"${last}\", expected \"${passed} passed, 1 failed\"")
endif()

if(failures)
    list(JOIN failures "; " report)
    message(FATAL_ERROR "${copy}: ${report}")
endif()
