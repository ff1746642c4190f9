# Runs the character generator twice into separate folders and fails unless every file it
# writes is byte-identical: the bundled characters must not depend on when or where they are
# built.
foreach(run a b)
    file(REMOVE_RECURSE ${WORK}/${run})
    execute_process(COMMAND ${GENERATOR} ${WORK}/${run} RESULT_VARIABLE failed)
    if(failed)
        message(FATAL_ERROR "makecharacters failed: ${failed}")
    endif()
endforeach()
file(GLOB written RELATIVE ${WORK}/a ${WORK}/a/*.acs)
list(LENGTH written count)
if(count LESS 2)
    message(FATAL_ERROR "expected at least two characters, got: ${written}")
endif()
foreach(name IN LISTS written)
    execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${WORK}/a/${name} ${WORK}/b/${name}
                    RESULT_VARIABLE differs)
    if(differs)
        message(FATAL_ERROR "${name} differs between two runs")
    endif()
endforeach()
