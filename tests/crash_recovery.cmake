# The driver run twice with the same private data folder: run 1 works, waits
# until the recovery file is written and ends with `crash`; run 2 starts and
# answers the recovery question. Also: No keeps the work as a backup, and a
# normal end leaves nothing to recover.
# DRIVER, SCRIPTS (tests/recovery), WORKDIR; EMULATOR (a list, possibly empty).
file(REMOVE_RECURSE ${WORKDIR})
file(MAKE_DIRECTORY ${WORKDIR})
# The program's folders are moved by its one switch, VESMAR_HOME. On Linux,
# HOME and the XDG folders point at a stand-in for the user's own home, where
# the program's files would land without the switch: no plot file may appear
# there. (A Windows program finds the user's folders through the system, not
# the environment: there the recovery unit test watches the real folder.)
set(home ${WORKDIR}/home)
set(data ${home}/data)
set(user ${WORKDIR}/user)
file(MAKE_DIRECTORY ${user})
set(user_env)
if(NOT EMULATOR)
  set(user_env HOME=${user} XDG_DATA_HOME=${user}/.local/share XDG_CONFIG_HOME=${user}/.config
               XDG_CACHE_HOME=${user}/.cache)
endif()

# run(SCRIPT CHECK EXPECT_RC): one run in WORKDIR with the private folders.
function(run script check expect_rc)
  set(mode)
  if(check)
    set(mode --check)
  endif()
  execute_process(COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen LC_ALL=C.UTF-8
                          VESMAR_HOME=${home} ${user_env}
                          ${EMULATOR} ${DRIVER} ${mode} ${SCRIPTS}/${script}
                  WORKING_DIRECTORY ${WORKDIR}
                  OUTPUT_VARIABLE out ERROR_VARIABLE err RESULT_VARIABLE rc)
  file(WRITE ${WORKDIR}/${script}.out "${out}")
  if(NOT rc EQUAL expect_rc)
    message(FATAL_ERROR "${script}: driver exit ${rc}, expected ${expect_rc}\n${out}\n${err}")
  endif()
  if(out MATCHES "\"error\"")
    message(FATAL_ERROR "${script} reported an error:\n${out}")
  endif()
  file(GLOB_RECURSE touched ${user}/*.vesmar)
  if(touched)
    message(FATAL_ERROR "${script} wrote into the user's own folders: ${touched}")
  endif()
  set(run_output "${out}" PARENT_SCOPE)
endfunction()

# expect_file(NAME SHOULD): whether a file of that name is in the program's
# data folder, or in WORKDIR.
function(expect_file name should)
  file(GLOB found ${data}/${name} ${WORKDIR}/${name})
  if(should AND NOT found)
    message(FATAL_ERROR "${name} is missing")
  elseif(NOT should AND found)
    message(FATAL_ERROR "${found} should not be there")
  endif()
endfunction()

# A crash keeps the recovery file, and the lines printed before it.
run(crash.script FALSE 3)
if(NOT run_output MATCHES "\"text\":\"-0.5\"")
  message(FATAL_ERROR "the output before the crash was lost:\n${run_output}")
endif()
if(run_output MATCHES "\"get\":\"Text1\\(0\\)\".*\"get\":\"Text1\\(0\\)\"")
  message(FATAL_ERROR "the script went on after crash:\n${run_output}")
endif()
expect_file(recovery.vesmar TRUE)
expect_file(before.png TRUE)

# Yes restores the canvas exactly; that run's normal end removes the file.
run(restore_yes.script TRUE 0)
expect_file(recovery.vesmar FALSE)

# No starts afresh and keeps the work as the one backup.
run(crash.script FALSE 3)
run(restore_no.script TRUE 0)
expect_file(recovery.vesmar FALSE)
expect_file(recovery-backup.vesmar TRUE)

# A normal end leaves nothing to recover: the next start asks nothing.
run(clean_end.script FALSE 0)
expect_file(recovery.vesmar FALSE)
run(nothing_to_restore.script TRUE 0)
