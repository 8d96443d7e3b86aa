# Tests of the real desktop paths: a real X server (Xvfb, through xvfb-run)
# and the toolkit's own platform layer instead of the scripted one. Built
# where the X client library is there, run where xvfb-run is.
find_package(PkgConfig QUIET)
if(PkgConfig_FOUND)
  pkg_check_modules(VESMAR_XCB QUIET IMPORTED_TARGET xcb)
endif()
find_program(VESMAR_XVFB_RUN xvfb-run)
if(NOT VESMAR_XCB_FOUND OR NOT VESMAR_XVFB_RUN)
  message(STATUS "Desktop tests left out: they need libxcb1-dev and xvfb (bash scripts/setup)")
  return()
endif()

set(VESMAR_XVFB ${VESMAR_XVFB_RUN} -a -s "-screen 0 1366x768x24")
foreach(name desktop_test print_test window_manager_test)
  add_executable(${name} ${CMAKE_SOURCE_DIR}/tests/desktop/${name}.cpp ${CMAKE_SOURCE_DIR}/tests/desktop/desktop_common.h)
  target_link_libraries(${name} PRIVATE vesmarcore Qt6::Test PkgConfig::VESMAR_XCB)
endforeach()

add_test(NAME desktop_paths COMMAND ${VESMAR_XVFB} $<TARGET_FILE:desktop_test>)
add_test(NAME desktop_print
  COMMAND bash ${CMAKE_SOURCE_DIR}/tests/desktop/with-cups ${VESMAR_XVFB} $<TARGET_FILE:print_test>)
# The real platform layer, not the offscreen one the other tests use.
# Each test has a home of its own: what one leaves behind (a recovery file)
# must never become another's recovery question.
set_tests_properties(desktop_paths desktop_print PROPERTIES
  ENVIRONMENT "QT_QPA_PLATFORM=xcb;LC_ALL=C.UTF-8" LABELS desktop TIMEOUT 600 RUN_SERIAL TRUE)
set_property(TEST desktop_paths APPEND PROPERTY ENVIRONMENT "VESMAR_HOME=${CMAKE_BINARY_DIR}/test-home/desktop_paths")
set_property(TEST desktop_print APPEND PROPERTY ENVIRONMENT "VESMAR_HOME=${CMAKE_BINARY_DIR}/test-home/desktop_print")
set_tests_properties(desktop_print PROPERTIES SKIP_RETURN_CODE 77)
# The save dialog under a Chinese locale.
add_test(NAME desktop_chinese COMMAND ${VESMAR_XVFB} $<TARGET_FILE:desktop_test> saveDialogSpeaksChinese)
set_tests_properties(desktop_chinese PROPERTIES
  ENVIRONMENT "QT_QPA_PLATFORM=xcb;LC_ALL=zh_CN.UTF-8;LANG=zh_CN.UTF-8;VESMAR_HOME=${CMAKE_BINARY_DIR}/test-home/desktop_chinese" LABELS desktop TIMEOUT 300 RUN_SERIAL TRUE)

# The sound of a curve: played to a private sound server and recorded back,
# and, with no server to reach, the message that there is no sound.
add_executable(speaker_test ${CMAKE_SOURCE_DIR}/tests/desktop/speaker_test.cpp)
target_link_libraries(speaker_test PRIVATE vesmarcore Qt6::Test)
add_test(NAME desktop_sound
  COMMAND bash ${CMAKE_SOURCE_DIR}/tests/desktop/with-pulse ${VESMAR_XVFB} $<TARGET_FILE:speaker_test> theCurveReachesTheSpeakers)
add_test(NAME desktop_no_sound COMMAND ${VESMAR_XVFB} $<TARGET_FILE:speaker_test> withoutSoundItSaysSoOnce)
set_tests_properties(desktop_sound desktop_no_sound PROPERTIES
  ENVIRONMENT "QT_QPA_PLATFORM=xcb;LC_ALL=C.UTF-8"
  LABELS desktop TIMEOUT 120 RUN_SERIAL TRUE SKIP_RETURN_CODE 77)
foreach(name desktop_sound desktop_no_sound)
  set_property(TEST ${name} APPEND PROPERTY ENVIRONMENT "VESMAR_HOME=${CMAKE_BINARY_DIR}/test-home/${name}")
endforeach()
# A socket that is not there: no sound server can be reached, whatever the
# machine runs.
set_property(TEST desktop_no_sound APPEND PROPERTY ENVIRONMENT "PULSE_SERVER=unix:${CMAKE_BINARY_DIR}/no-sound-server")
# No sound back-end: a copy of the test in a folder without the module that
# the program opens on its first sound (a build without the audio module, or
# an installation that lost it) says the same.
set(VESMAR_NO_MODULE_DIR ${CMAKE_BINARY_DIR}/without-sound-module)
add_test(NAME desktop_no_sound_module
  COMMAND sh -c "rm -rf \"$1\" && mkdir -p \"$1\" && cp \"$2\" \"$1/\" && shift 2 && exec \"$@\""
          sh ${VESMAR_NO_MODULE_DIR} $<TARGET_FILE:speaker_test>
          ${VESMAR_XVFB} ${VESMAR_NO_MODULE_DIR}/$<TARGET_FILE_NAME:speaker_test> withoutSoundItSaysSoOnce)
# The sound libraries are loaded with the first sound, not at start: the
# program's windows without sound, then one sound (played or not: no server
# is needed to load them).
add_test(NAME desktop_sound_on_first_play
  COMMAND ${VESMAR_XVFB} $<TARGET_FILE:speaker_test> soundLibrariesComeWithTheFirstSound)
set_tests_properties(desktop_no_sound_module desktop_sound_on_first_play PROPERTIES
  ENVIRONMENT "QT_QPA_PLATFORM=xcb;LC_ALL=C.UTF-8;PULSE_SERVER=unix:${CMAKE_BINARY_DIR}/no-sound-server"
  LABELS desktop TIMEOUT 120 RUN_SERIAL TRUE)
foreach(name desktop_no_sound_module desktop_sound_on_first_play)
  set_property(TEST ${name} APPEND PROPERTY ENVIRONMENT "VESMAR_HOME=${CMAKE_BINARY_DIR}/test-home/${name}")
endforeach()

# Under a window manager: the test starts openbox on its private X server.
find_program(VESMAR_OPENBOX openbox)
if(VESMAR_OPENBOX)
  add_test(NAME desktop_window_manager COMMAND ${VESMAR_XVFB} $<TARGET_FILE:window_manager_test>)
  set_tests_properties(desktop_window_manager PROPERTIES
    ENVIRONMENT "QT_QPA_PLATFORM=xcb;LC_ALL=C.UTF-8;VESMAR_HOME=${CMAKE_BINARY_DIR}/test-home/window_manager" LABELS desktop TIMEOUT 300 RUN_SERIAL TRUE)
else()
  message(STATUS "The window manager test is left out: it needs openbox (bash scripts/setup)")
endif()

# A screen reader's walk through the real program on the accessibility bus
# (a private session bus inside the private X server); skipped, with the
# reason, where the bus cannot be started.
add_test(NAME desktop_atspi COMMAND bash ${CMAKE_SOURCE_DIR}/tests/desktop/atspi-walk $<TARGET_FILE:vesmar>)
set_tests_properties(desktop_atspi PROPERTIES
  ENVIRONMENT "LC_ALL=C.UTF-8;VESMAR_HOME=${CMAKE_BINARY_DIR}/test-home/atspi" LABELS desktop TIMEOUT 180 RUN_SERIAL TRUE SKIP_RETURN_CODE 77)

# What the screen reader Orca really speaks while the real program is driven
# with keys (its debug log is the evidence); skipped, with the reason, where
# Orca or the buses cannot be started.
add_test(NAME desktop_orca COMMAND bash ${CMAKE_SOURCE_DIR}/tests/desktop/orca-speech $<TARGET_FILE:vesmar>)
set_tests_properties(desktop_orca PROPERTIES
  ENVIRONMENT "LC_ALL=C.UTF-8;VESMAR_HOME=${CMAKE_BINARY_DIR}/test-home/orca" LABELS desktop TIMEOUT 180 RUN_SERIAL TRUE SKIP_RETURN_CODE 77)
