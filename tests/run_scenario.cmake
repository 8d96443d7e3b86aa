# Runs one scenario script through the driver in a fresh working folder and
# compares its output with the expected transcript.
file(REMOVE_RECURSE ${WORKDIR})
file(MAKE_DIRECTORY ${WORKDIR})
execute_process(COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen LC_ALL=C.UTF-8
                        ${DRIVER} ${SCRIPT}
                WORKING_DIRECTORY ${WORKDIR}
                OUTPUT_VARIABLE out ERROR_VARIABLE err RESULT_VARIABLE rc)
file(WRITE ${WORKDIR}/actual.txt "${out}")
file(READ ${EXPECTED} expected)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "driver exited with ${rc}\n${err}")
endif()
if(NOT out STREQUAL expected)
  execute_process(COMMAND diff -u ${EXPECTED} ${WORKDIR}/actual.txt OUTPUT_VARIABLE d)
  message(FATAL_ERROR "transcript differs from ${EXPECTED}:\n${d}")
endif()
