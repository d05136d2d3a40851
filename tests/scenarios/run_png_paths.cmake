# How expect png paths resolve, run through the tool as a user runs it:
#   - a scenario file given with a folder, run from another folder: a relative
#     picture is taken from the scenario's folder, an absolute one as written;
#   - a scenario on standard input: a relative picture is taken from the
#     working directory, an absolute one as written.
#
#   -DREPLAY=path        the ktr7-replay executable
#   -DWORK=dir           created empty first
cmake_minimum_required(VERSION 3.25)

file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}/scenario/pictures" "${WORK}/absolute" "${WORK}/elsewhere")
set(picture "on\nwait 1\n")

function(replay name folder)
    cmake_parse_arguments(PARSE_ARGV 2 R "" "INPUT" "ARGS")
    set(input)
    if(R_INPUT)
        file(WRITE "${WORK}/${name}.in" "${R_INPUT}")
        set(input INPUT_FILE "${WORK}/${name}.in")
    endif()
    execute_process(COMMAND "${REPLAY}" ${R_ARGS} ${input} WORKING_DIRECTORY "${folder}"
        OUTPUT_VARIABLE out ERROR_VARIABLE err RESULT_VARIABLE status)
    if(NOT status STREQUAL "0")
        message(FATAL_ERROR "${name}: exit status ${status}\n${out}${err}")
    endif()
    message("${name}: ${out}")
endfunction()

# The same LCD drawn into three references, named by absolute paths.
replay(references "${WORK}" INPUT "${picture}png ${WORK}/absolute/ref.png\npng ${WORK}/scenario/pictures/ref.png 2\npng ${WORK}/elsewhere/ref.png\n")

file(WRITE "${WORK}/scenario/from_file.scn"
    "${picture}expect png pictures/ref.png\nexpect png ${WORK}/absolute/ref.png\n")
replay(scenario_file "${WORK}/elsewhere" ARGS ../scenario/from_file.scn)

replay(standard_input "${WORK}/elsewhere" INPUT "${picture}expect png ref.png\nexpect png ${WORK}/absolute/ref.png\n")
