# Runs a generator and fails when its output differs from the committed file.
execute_process(COMMAND ${GENERATOR} ${OUTPUT} RESULT_VARIABLE result)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "${GENERATOR} failed (${result})")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${OUTPUT} ${COMMITTED} RESULT_VARIABLE differs)
if(differs)
    message(FATAL_ERROR "${COMMITTED} is not what ${GENERATOR} makes: run it and commit the result")
endif()
