# Plays one gallery scenario and checks that every picture it writes equals
# the committed one in docs/screens/, so the gallery always shows what the
# instrument draws today.
#
#   -DREPLAY=path  -DSCENARIO=file  -DWORK=dir  -DPICTURES=dir
cmake_minimum_required(VERSION 3.25)
file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}")
execute_process(COMMAND "${REPLAY}" "${SCENARIO}" WORKING_DIRECTORY "${WORK}"
    RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "ktr7-replay ${SCENARIO} ended with ${status}:\n${err}")
endif()
file(GLOB pictures RELATIVE "${WORK}" "${WORK}/*.png")
if(NOT pictures)
    message(FATAL_ERROR "${SCENARIO} wrote no pictures")
endif()
set(stale)
foreach(picture ${pictures})
    execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files "${WORK}/${picture}" "${PICTURES}/${picture}"
        RESULT_VARIABLE different)
    if(different)
        list(APPEND stale ${picture})
    endif()
endforeach()
if(stale)
    string(REPLACE ";" " " stale "${stale}")
    message(FATAL_ERROR "pictures differ from docs/screens/: ${stale}\n"
        "(new ones are in ${WORK}; scripts/gallery.sh regenerates the gallery)")
endif()
