# The pictures of the navigation bar and the help window, and the program's
# icon, are drawn as SVG (resources/images, resources/vesmar.svg) and turned
# into PNG files here at build time, at the size each is shown and at two and
# three times that size, so that the program needs no SVG renderer of its own
# and a dense screen gets a sharp bitmap. The files go into the program as the
# resource set "images" (Q_INIT_RESOURCE(images)).
find_program(VESMAR_RSVG_CONVERT rsvg-convert)
if(NOT VESMAR_RSVG_CONVERT)
  message(FATAL_ERROR "rsvg-convert not found (Debian package librsvg2-bin): it renders the pictures")
endif()

# name width height, at 100 %.
set(VESMAR_PICTURES
  background 794 111
  help 33 33  help_hi 33 33  exit 33 33  exit_hi 33 33
  collapse 32 32  collapse_hi 32 32  expand 16 16  expand_hi 32 32
  decoration 26 26  mail 25 25  web 25 25  tutorial 25 25)

set(VESMAR_PICTURE_DIR ${CMAKE_BINARY_DIR}/pictures)
set(VESMAR_PICTURE_PNGS)
set(VESMAR_PICTURE_ENTRIES "")
function(vesmar_render svg alias w h)
  get_filename_component(dir ${alias} DIRECTORY)
  set(png ${VESMAR_PICTURE_DIR}/${alias})
  add_custom_command(OUTPUT ${png}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${VESMAR_PICTURE_DIR}/${dir}
    COMMAND ${VESMAR_RSVG_CONVERT} -w ${w} -h ${h} -o ${png} ${svg}
    DEPENDS ${svg} VERBATIM)
  set(VESMAR_PICTURE_PNGS ${VESMAR_PICTURE_PNGS} ${png} PARENT_SCOPE)
  set(VESMAR_PICTURE_ENTRIES "${VESMAR_PICTURE_ENTRIES}    <file alias=\"${alias}\">${png}</file>\n" PARENT_SCOPE)
endfunction()

list(LENGTH VESMAR_PICTURES n)
math(EXPR last "${n} - 1")
foreach(i RANGE 0 ${last} 3)
  math(EXPR iw "${i} + 1")
  math(EXPR ih "${i} + 2")
  list(GET VESMAR_PICTURES ${i} name)
  list(GET VESMAR_PICTURES ${iw} w)
  list(GET VESMAR_PICTURES ${ih} h)
  foreach(f 1 2 3)
    math(EXPR fw "${w} * ${f}")
    math(EXPR fh "${h} * ${f}")
    if(f EQUAL 1)
      set(alias images/${name}.png)
    else()
      set(alias images/${name}@${f}x.png)
    endif()
    vesmar_render(${CMAKE_SOURCE_DIR}/resources/images/${name}.svg ${alias} ${fw} ${fh})
  endforeach()
endforeach()
# The window icon at the sizes a window's frame, task bar and window switcher
# show (128 for a switcher on a 200 % screen). Larger views of the program
# (a dock, a menu) take the desktop entry's icon, installed as SVG; every
# size here is decoded at start and handed to each window, so 256 (a
# quarter of a megabyte) is left out.
foreach(size 16 24 32 48 64 128)
  vesmar_render(${CMAKE_SOURCE_DIR}/resources/vesmar.svg icons/vesmar-${size}.png ${size} ${size})
endforeach()

set(VESMAR_PICTURE_QRC ${VESMAR_PICTURE_DIR}/images.qrc)
file(WRITE ${VESMAR_PICTURE_QRC}.in "<!DOCTYPE RCC>\n<RCC version=\"1.0\">\n  <qresource prefix=\"/\">\n${VESMAR_PICTURE_ENTRIES}  </qresource>\n</RCC>\n")
configure_file(${VESMAR_PICTURE_QRC}.in ${VESMAR_PICTURE_QRC} COPYONLY)
set(VESMAR_PICTURE_CPP ${VESMAR_PICTURE_DIR}/qrc_images.cpp)
add_custom_command(OUTPUT ${VESMAR_PICTURE_CPP}
  COMMAND Qt6::rcc --name images --output ${VESMAR_PICTURE_CPP} ${VESMAR_PICTURE_QRC}
  DEPENDS ${VESMAR_PICTURE_QRC} ${VESMAR_PICTURE_PNGS}
  COMMENT "Packing the rendered pictures" VERBATIM)
set_source_files_properties(${VESMAR_PICTURE_CPP} PROPERTIES GENERATED ON SKIP_AUTOGEN ON)
