# The Windows program: windowed (no console window of its own; --version and
# --help write to the console it was started from, see src/platform/console.*),
# with the icon and the version in its resources. Included from the top-level
# CMakeLists.txt when building for Windows.
set_target_properties(vesmar PROPERTIES WIN32_EXECUTABLE TRUE)

find_program(VESMAR_RSVG_CONVERT rsvg-convert REQUIRED)
find_program(VESMAR_ICOTOOL icotool REQUIRED)
set(VESMAR_ICO ${CMAKE_BINARY_DIR}/windows/vesmar.ico)
set(VESMAR_ICO_PNGS)
foreach(size 16 24 32 48 64 128 256)
  set(png ${CMAKE_BINARY_DIR}/windows/icon-${size}.png)
  add_custom_command(OUTPUT ${png}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/windows
    COMMAND ${VESMAR_RSVG_CONVERT} -w ${size} -h ${size} -o ${png} ${CMAKE_SOURCE_DIR}/resources/vesmar.svg
    DEPENDS ${CMAKE_SOURCE_DIR}/resources/vesmar.svg VERBATIM)
  list(APPEND VESMAR_ICO_PNGS ${png})
endforeach()
add_custom_command(OUTPUT ${VESMAR_ICO}
  COMMAND ${VESMAR_ICOTOOL} -c -o ${VESMAR_ICO} ${VESMAR_ICO_PNGS}
  DEPENDS ${VESMAR_ICO_PNGS}
  COMMENT "Making the Windows icon" VERBATIM)

string(REPLACE "." "," VESMAR_VERSION_COMMAS "${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}.0.0")
configure_file(${CMAKE_CURRENT_LIST_DIR}/vesmar.rc.in ${CMAKE_BINARY_DIR}/windows/vesmar.rc @ONLY)
set_source_files_properties(${CMAKE_BINARY_DIR}/windows/vesmar.rc PROPERTIES OBJECT_DEPENDS ${VESMAR_ICO})
target_sources(vesmar PRIVATE ${CMAKE_BINARY_DIR}/windows/vesmar.rc)
