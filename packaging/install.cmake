# Installation rules and the Debian package (CPack). Included by the top-level
# CMakeLists.txt; paths are relative to the source tree.
#
#   cmake --install build --prefix /usr/local
#   bash scripts/package            (vesmar_<version>_<arch>.deb)
#
# Only the program and what a user needs of it is installed: never the script
# driver, the tests or the benchmark.
include(GNUInstallDirs)

install(TARGETS vesmar RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# Qt's CMake files hand every program the OpenGL libraries; the program paints
# with QPainter only and calls none of them, so the linker leaves out what is
# not used and the package does not depend on libglx0 and libopengl0.
if(CMAKE_SYSTEM_NAME STREQUAL "Linux")
  target_link_options(vesmar PRIVATE LINKER:--as-needed)
endif()

# The sound back-end, which the program opens on its first sound: in a folder
# of the program's own under the system's library folder, where the program
# looks for it (VESMAR_AUDIO_DIR, CMakeLists.txt). Linked as the program is.
if(TARGET vesmar-audio)
  install(TARGETS vesmar-audio LIBRARY DESTINATION ${VESMAR_AUDIO_DIR})
  if(CMAKE_SYSTEM_NAME STREQUAL "Linux")
    target_link_options(vesmar-audio PRIVATE LINKER:--as-needed)
  endif()
endif()

# The help document: the program looks for readme/index.htm in its working
# directory first, then in ../share/vesmar beside its own folder.
install(DIRECTORY ${CMAKE_SOURCE_DIR}/resources/readme DESTINATION ${CMAKE_INSTALL_DATADIR}/vesmar)
# lintian expects documentation under /usr/share/doc; the override says why
# this document lives beside the program's data instead.
install(FILES ${CMAKE_SOURCE_DIR}/packaging/lintian-overrides
        DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides RENAME vesmar)

set(VESMAR_APP_ID org.example.vesmar)
install(FILES ${CMAKE_SOURCE_DIR}/packaging/${VESMAR_APP_ID}.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${CMAKE_SOURCE_DIR}/packaging/${VESMAR_APP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
# Plot files (.vesmar) are a type of their own, so that the file manager
# opens them with the program.
install(FILES ${CMAKE_SOURCE_DIR}/packaging/${VESMAR_APP_ID}.mime.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages RENAME vesmar.xml)

# The icon: the scalable original and bitmaps rendered from it at build time
# for desktops that want fixed sizes.
install(FILES ${CMAKE_SOURCE_DIR}/resources/vesmar.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
find_program(VESMAR_RSVG_CONVERT rsvg-convert)
if(VESMAR_RSVG_CONVERT)
  set(VESMAR_ICON_PNGS)
  foreach(size 48 128 256)
    set(png ${CMAKE_BINARY_DIR}/icons/${size}x${size}/vesmar.png)
    add_custom_command(OUTPUT ${png}
      COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/icons/${size}x${size}
      COMMAND ${VESMAR_RSVG_CONVERT} -w ${size} -h ${size} -o ${png} ${CMAKE_SOURCE_DIR}/resources/vesmar.svg
      DEPENDS ${CMAKE_SOURCE_DIR}/resources/vesmar.svg
      COMMENT "Rendering the ${size}x${size} icon" VERBATIM)
    list(APPEND VESMAR_ICON_PNGS ${png})
    install(FILES ${png} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
  endforeach()
  add_custom_target(vesmar-icons ALL DEPENDS ${VESMAR_ICON_PNGS})
else()
  message(WARNING "rsvg-convert not found (Debian package librsvg2-bin): the installed icon is the SVG only")
endif()

# What every Debian package carries: its copyright and a change log.
install(FILES ${CMAKE_SOURCE_DIR}/packaging/copyright DESTINATION ${CMAKE_INSTALL_DOCDIR})
set(VESMAR_CHANGELOG ${CMAKE_BINARY_DIR}/packaging/changelog.gz)
add_custom_command(OUTPUT ${VESMAR_CHANGELOG}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/packaging
  COMMAND gzip -9 -n -c ${CMAKE_SOURCE_DIR}/packaging/changelog > ${VESMAR_CHANGELOG}
  DEPENDS ${CMAKE_SOURCE_DIR}/packaging/changelog
  COMMENT "Compressing the change log")
add_custom_target(vesmar-changelog ALL DEPENDS ${VESMAR_CHANGELOG})
install(FILES ${VESMAR_CHANGELOG} DESTINATION ${CMAKE_INSTALL_DOCDIR})

set(VESMAR_MANPAGE ${CMAKE_BINARY_DIR}/packaging/vesmar.1.gz)
add_custom_command(OUTPUT ${VESMAR_MANPAGE}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/packaging
  COMMAND gzip -9 -n -c ${CMAKE_SOURCE_DIR}/packaging/vesmar.1 > ${VESMAR_MANPAGE}
  DEPENDS ${CMAKE_SOURCE_DIR}/packaging/vesmar.1
  COMMENT "Compressing the manual page")
add_custom_target(vesmar-manpage ALL DEPENDS ${VESMAR_MANPAGE})
install(FILES ${VESMAR_MANPAGE} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

# ---------------------------------------------------------------- package
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vesmar)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The Vesmar developers")
set(CPACK_PACKAGE_CONTACT "The Vesmar developers <vesmar@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "graph plotter for school mathematics")
set(CPACK_PACKAGE_DESCRIPTION
"Vesmar plots the functions and curves of school mathematics in a Chinese
user interface: linear, quadratic, inverse proportion, power, exponential and
logarithmic functions, sine, cosine, tangent and cotangent, circle, ellipse,
parabola and hyperbola. Type or slide the parameters, look up values, ask for
vertices, periods, foci and asymptotes, overlay curves, annotate the picture
by hand, and save, copy, print or show it full screen.
.
Vesmar函数分析作图器：中学数学函数与曲线的作图和分析。")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION education)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://vesmar.example.org/")
# The Qt libraries come from the binaries (dpkg-shlibdeps: the program and
# the sound back-end); the fonts the
# captions need are named here: a Song and a Hei face for the Chinese texts
# and a serif with the metrics of Times New Roman for the formulas.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS
  "fonts-arphic-uming | fonts-noto-cjk, fonts-wqy-microhei | fonts-wqy-zenhei | fonts-noto-cjk, fonts-liberation | fonts-liberation2")
# Installed files belong to root whatever the user that builds the package.
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
