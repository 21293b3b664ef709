# The Debian package of the program (cpack -G DEB, or the "package" target):
# the program, its desktop entry, icon, AppStream metadata, manual page and
# Debian documents, with the Qt 6 runtime, the SVG plugin and a Japanese
# font as dependencies.
if(NOT TARGET hydrant-discharge)
  return()
endif()
include(GNUInstallDirs)

set(HYDRANT_APPSTREAM_ID example.c_seed_0009dffb.hydrant_discharge)
set(HYDRANT_MAINTAINER "Hydrant discharge maintainers <maintainers@users.noreply.c-seed-0009dffb.example>"
  CACHE STRING "Maintainer named in the Debian package")

install(FILES ${PROJECT_SOURCE_DIR}/data/${HYDRANT_APPSTREAM_ID}.metainfo.xml
  DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

# Manual page and changelog go in compressed, without a time stamp, so that
# the package is the same whenever it is built.
set(packaging_build_dir ${CMAKE_BINARY_DIR}/packaging)
file(MAKE_DIRECTORY ${packaging_build_dir})
foreach(document hydrant-discharge.1 changelog)
  set(source ${PROJECT_SOURCE_DIR}/packaging/${document})
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${source})
  execute_process(COMMAND gzip -9 -n -c ${source}
    OUTPUT_FILE ${packaging_build_dir}/${document}.gz COMMAND_ERROR_IS_FATAL ANY)
endforeach()
install(FILES ${packaging_build_dir}/hydrant-discharge.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/copyright ${packaging_build_dir}/changelog.gz
  DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/hydrant-discharge)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME hydrant-discharge)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "${HYDRANT_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "fire-hydrant nozzle discharge calculator (Japanese)")
set(CPACK_PACKAGE_DESCRIPTION
  "A small desktop calculator for fire-hydrant discharge tests, with a Japanese
interface. Pick the nozzle bore (8, 13 or 19 mm), type the pressure read at
the nozzle in kgf/cm2 and press the calculate button: the window shows the
water discharge in whole litres per minute and the pressure in MPa.
.
Every control has a Japanese accessible name for screen readers.")
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/package)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${HYDRANT_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The Qt 6 libraries (with the xcb platform plugin, which Debian ships in
# libqt6gui6) come from the program's own links; the SVG plugin that draws the
# icon and the Japanese font are loaded at run time and named here.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6svg6, fonts-ipafont-gothic | fonts-noto-cjk")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

include(CPack)
