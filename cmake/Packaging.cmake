# The Debian package: `cmake --build build --target package` writes
# sector-studio_VERSION_amd64.deb into the build folder. The install rules
# only copy what the ordinary build makes, plus the man pages, which are
# written from each program's --help at build time.
include(GNUInstallDirs)
set(SECTOR_PACKAGE sector-studio)
set(SECTOR_DOCDIR ${CMAKE_INSTALL_DATADIR}/doc/${SECTOR_PACKAGE})
# Folders made by the install are rwxr-xr-x whatever the umask of the build.
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

install(TARGETS sector-studio sector-cli sector-sim RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

set(SECTOR_PACKAGE_MAINTAINER "Sector Studio developers <sector-studio@example.org>"
    CACHE STRING "Maintainer field of the Debian package")

# Both manuals where the Manual action looks beside bin/, the copyright and
# the package's changelog (its version is the project's).
configure_file(${PROJECT_SOURCE_DIR}/packaging/changelog.in ${CMAKE_BINARY_DIR}/packaging/changelog
               @ONLY)
set(SECTOR_CHANGELOG ${CMAKE_BINARY_DIR}/packaging/changelog.gz)
if(NOT EXISTS ${SECTOR_CHANGELOG} OR ${CMAKE_BINARY_DIR}/packaging/changelog IS_NEWER_THAN
   ${SECTOR_CHANGELOG})
  execute_process(COMMAND gzip -9n -c ${CMAKE_BINARY_DIR}/packaging/changelog
                  OUTPUT_FILE ${SECTOR_CHANGELOG})
endif()
install(FILES ${CMAKE_BINARY_DIR}/manual/manual_cn.pdf ${CMAKE_BINARY_DIR}/manual/manual_en.pdf
              ${PROJECT_SOURCE_DIR}/packaging/copyright ${SECTOR_CHANGELOG}
        DESTINATION ${SECTOR_DOCDIR})

# The menu entry, the project files' type (a double-click opens the design)
# and the logo as the application's and the type's icon.
install(FILES ${PROJECT_SOURCE_DIR}/packaging/sector-studio.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/sector-studio.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages)
set(SECTOR_ICONS ${CMAKE_INSTALL_DATADIR}/icons/hicolor)
install(FILES ${PROJECT_SOURCE_DIR}/resources/svg/radar.svg
        DESTINATION ${SECTOR_ICONS}/scalable/apps RENAME sector-studio.svg)
install(FILES ${PROJECT_SOURCE_DIR}/resources/svg/radar.svg
        DESTINATION ${SECTOR_ICONS}/scalable/mimetypes
        RENAME application-x-sector-studio-project.svg)
# The logo's bitmap (160 x 160, no size of the icon theme) for desktops that
# look up icons by name among the pixmaps only.
install(FILES ${PROJECT_SOURCE_DIR}/resources/images/radar.png
        DESTINATION ${CMAKE_INSTALL_DATADIR}/pixmaps RENAME sector-studio.png)

# Man pages from --help. A sanitized build runs the programs with leak
# reports off: Qt's own allocations at exit are not this page's business.
set(SECTOR_MAN_INTRO_sector-studio
    "Sector Studio designs the zones of the 64 areas of a two-dimensional laser area scanner \
graphically and in coordinate tables, saves them as project files (.ZQ05 ... .ZQ50, one suffix \
per sensor model) and reads, writes and watches the sensor over a serial port, TCP or UDP. \
The user interface is in Simplified Chinese and English.")
set(SECTOR_MAN_SUMMARY_sector-studio "configure a two-dimensional laser area scanner")
set(SECTOR_MAN_SUMMARY_sector-cli "command-line companion of Sector Studio")
set(SECTOR_MAN_SUMMARY_sector-sim "sensor emulator of Sector Studio")
set(SECTOR_MAN_DIR ${CMAKE_BINARY_DIR}/man)
set(SECTOR_MAN_PAGES)
foreach(program sector-studio sector-cli sector-sim)
  set(page ${SECTOR_MAN_DIR}/${program}.1.gz)
  add_custom_command(
    OUTPUT ${page}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${SECTOR_MAN_DIR}
    COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=0
            ${CMAKE_COMMAND} -DPROGRAM=$<TARGET_FILE:${program}> -DNAME=${program}
            "-DSUMMARY=${SECTOR_MAN_SUMMARY_${program}}" "-DINTRO=${SECTOR_MAN_INTRO_${program}}"
            -DVERSION=${PROJECT_VERSION} -DSEE_ALSO=sector-studio,sector-cli,sector-sim
            -DOUT=${page} -P ${PROJECT_SOURCE_DIR}/cmake/ManPage.cmake
    DEPENDS ${program} ${PROJECT_SOURCE_DIR}/cmake/ManPage.cmake
    COMMENT "Man page ${program}.1"
    VERBATIM)
  list(APPEND SECTOR_MAN_PAGES ${page})
endforeach()
add_custom_target(manpages ALL DEPENDS ${SECTOR_MAN_PAGES})
install(FILES ${SECTOR_MAN_PAGES} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME ${SECTOR_PACKAGE})
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Sector Studio developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "configuration tool for 2D laser area scanners")
set(CPACK_PACKAGE_DESCRIPTION
    "Sector Studio designs the protective zones of the 64 areas of a two-dimensional
laser area scanner (Laser05 ... Laser50) graphically and in coordinate tables,
saves them as project files, and reads, writes, compares and watches the
sensor over a serial port, TCP or UDP. It writes a commissioning report as a
PDF. The interface is in Simplified Chinese and English.
.
The package also holds sector-cli, which converts, checks and renders project
files and reads and writes sensors from scripts, and sector-sim, an emulator
of the sensor for training and testing without hardware.")
set(CPACK_PACKAGE_CONTACT "${SECTOR_PACKAGE_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${SECTOR_PACKAGE_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# The libraries the programs link, as dpkg-shlibdeps finds them, plus the
# CJK font every Chinese text and the PDFs are set in.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-wqy-microhei")
# Qt's own dialog buttons in Chinese; the Manual action hands the PDF to the
# desktop's document opener.
# Qt's own Chinese texts (the file dialogs' "Look in"), of the Qt built against.
if(SECTOR_QT STREQUAL "6")
  set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n, xdg-utils")
else()
  set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qttranslations5-l10n, xdg-utils")
endif()
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_SOURCE_IGNORE_FILES "/\\\\.git/" "/build[^/]*/")
include(CPack)

# The package's checks. A sanitized or fuzzing build would package programs
# that need the sanitizer runtimes; it has no package to check.
if(BUILD_TESTING AND NOT SANITIZE AND NOT ENABLE_FUZZING)
  add_subdirectory(tests/package)
endif()
