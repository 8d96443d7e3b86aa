# Runs one checked scenario script through the driver in a fresh working
# folder; the driver compares each command's output with its expectations.
# EMULATOR (a list, possibly empty) runs a cross-built driver, e.g. wine.
file(REMOVE_RECURSE ${WORKDIR})
file(MAKE_DIRECTORY ${WORKDIR})
# The plot files a script opens are copies in its working folder; a script
# NAME.script may come with NAME.cmake, which prepares that folder further.
if(PLOTFILES)
  file(COPY ${PLOTFILES}/ DESTINATION ${WORKDIR}/plotfiles)
endif()
string(REGEX REPLACE "\\.script$" ".cmake" prepare ${SCRIPT})
if(EXISTS ${prepare})
  include(${prepare})
endif()
execute_process(COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen LC_ALL=C.UTF-8
                        ${EMULATOR} ${DRIVER} --check ${SCRIPT}
                WORKING_DIRECTORY ${WORKDIR}
                OUTPUT_VARIABLE out ERROR_VARIABLE err RESULT_VARIABLE rc)
file(WRITE ${WORKDIR}/actual.txt "${out}")
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "${SCRIPT} failed (driver exit ${rc}):\n${err}")
endif()
