# Runs one QtTest program that writes its log to a file (a Windows test program
# under wine reaches no standard output) and prints that log, so a failure
# shows what failed. EMULATOR (a list, possibly empty) runs the program. The
# platform comes from the environment of the Windows side (scripts/windows
# sets QT_QPA_PLATFORM=offscreen in the test prefix's registry).
set(log ${LOG})
get_filename_component(dir ${log} DIRECTORY)
file(MAKE_DIRECTORY ${dir})
file(REMOVE ${log})
execute_process(COMMAND ${EMULATOR} ${PROGRAM} -o ${log},txt
                RESULT_VARIABLE rc)
if(EXISTS ${log})
  file(READ ${log} text)
  message("${text}")
else()
  message("no log written")
endif()
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "${PROGRAM} failed (exit ${rc})")
endif()
