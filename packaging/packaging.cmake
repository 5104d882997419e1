# Installing (cmake --install) and the Debian package (make package).
#
# Everything lands under the prefix in the usual places; the desktop program
# finds its help pages at <program folder>/../share/tq740-sw/help, so the
# programs and the help pages must keep the bin/ and share/ layout.
include(GNUInstallDirs)

install(TARGETS tq740-sw tq740-cli tq740-sim RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(DIRECTORY ${PROJECT_SOURCE_DIR}/help/ DESTINATION ${CMAKE_INSTALL_DATADIR}/tq740-sw/help)

# The desktop menu entry, its icon and what software centres show.
install(FILES ${CMAKE_CURRENT_LIST_DIR}/tq740-sw.desktop
  DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/tq740-sw.svg
  DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/org.tq740sw.tq740sw.metainfo.xml
  DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

# The README and the simulator's option list, which the simulator's --help
# points to.
install(FILES ${PROJECT_SOURCE_DIR}/README.md DESTINATION ${CMAKE_INSTALL_DOCDIR})
install(FILES ${PROJECT_SOURCE_DIR}/sim/README.md DESTINATION ${CMAKE_INSTALL_DOCDIR}/sim)

# Man pages of the two command-line programs, written from their --help by
# help2man at build time, so that they follow every new command or option.
find_program(HELP2MAN help2man)
if(HELP2MAN)
  set(man_pages)
  foreach(program IN ITEMS tq740-cli tq740-sim)
    set(page ${CMAKE_BINARY_DIR}/man/${program}.1.gz)
    set(include_file ${CMAKE_CURRENT_LIST_DIR}/${program}.h2m)
    add_custom_command(OUTPUT ${page}
      COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/man
      COMMAND ${CMAKE_COMMAND} -DHELP2MAN=${HELP2MAN} -DPROGRAM=$<TARGET_FILE:${program}>
              -DVERSION=${PROJECT_VERSION} -DINCLUDE=${include_file} -DOUTPUT=${page}
              -P ${CMAKE_CURRENT_LIST_DIR}/make_man_page.cmake
      DEPENDS ${program} ${include_file} ${CMAKE_CURRENT_LIST_DIR}/make_man_page.cmake
      COMMENT "Writing the man page of ${program}"
      VERBATIM)
    list(APPEND man_pages ${page})
  endforeach()
  add_custom_target(man_pages ALL DEPENDS ${man_pages})
  install(FILES ${man_pages} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
else()
  message(WARNING "help2man not found (Debian package help2man): "
                  "the man pages of tq740-cli and tq740-sim are not built")
endif()

# The Debian package: make package, or cpack -G DEB in the build folder.
# Installing and packaging take what is built and build nothing first: make
# package builds everything before it packages, and the package check of make
# test runs cpack after the build, beside tests that run the programs, so it
# must not relink them.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tq740-sw)
set(CPACK_PACKAGE_VENDOR "TQ740-SW developers")
set(CPACK_PACKAGE_CONTACT "TQ740-SW developers <tq740-sw@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "companion of the TQ740 documenting process calibrator")
set(CPACK_PACKAGE_DESCRIPTION
  "Uploads the calibrator's tag list and calibration reports (text or CSV),
saves, reopens and prints them; erases tags, checks the calibrator's identity
and clock; creates tag configurations and groups and downloads them into the
calibrator. Comes with tq740-cli, the same operations from a shell, and
tq740-sim, a simulated calibrator on a pseudo-terminal.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
# dpkg-shlibdeps adds the Qt 6 libraries the programs link; the platform
# plugins, the SQLite and PostgreSQL drivers of the records and the printing
# font are loaded at run time, so they are named.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, fonts-liberation, libqt6sql6-sqlite, libqt6sql6-psql")
# After installing, say how to join the group dialout that serial devices belong to.
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${CMAKE_CURRENT_LIST_DIR}/postinst)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_STRIP_FILES ON)
include(CPack)
