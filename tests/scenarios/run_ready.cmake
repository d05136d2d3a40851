# Runs a ready scenario in a copy of its folder under the build tree, so that
# a picture that differs leaves its .actual.png and .diff.png there and not in
# the source tree; passes when every expectation holds.
#
#   -DREPLAY=path        the ktr7-replay executable
#   -DFOLDER=dir         the ready scenarios' folder
#   -DNAME=name          the scenario, without .scn
#   -DWORK=dir           where the copy is made, created empty first
cmake_minimum_required(VERSION 3.25)

file(REMOVE_RECURSE "${WORK}")
file(COPY "${FOLDER}/" DESTINATION "${WORK}")
execute_process(
    COMMAND "${REPLAY}" "${NAME}.scn"
    WORKING_DIRECTORY "${WORK}"
    OUTPUT_VARIABLE out
    ERROR_VARIABLE err
    RESULT_VARIABLE status)
message("${out}${err}")
if(NOT status STREQUAL "0")
    message(FATAL_ERROR "${NAME}.scn: exit status ${status}; what differs is in ${WORK}")
endif()
