# Installing the tool like a Linux program, and its Debian package: `cpack -G DEB` (or the
# `package` target) in the build folder writes orvanta_<version>_<arch>.deb.

install(TARGETS orvanta orvanta-ofw RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# Relocations resolved at start and then made read-only, as Debian builds its programs.
foreach(program orvanta orvanta-ofw)
  target_link_options(${program} PRIVATE -Wl,-z,relro,-z,now)
endforeach()

set(ORVANTA_ID com.tarvelcorp.orvanta)
set(ORVANTA_LINUX_DIR ${CMAKE_CURRENT_LIST_DIR})
set(ORVANTA_RES_DIR ${CMAKE_CURRENT_LIST_DIR}/..)

install(FILES ${ORVANTA_RES_DIR}/help/Orvanta_Help.chm "${CMAKE_BINARY_DIR}/Orvanta Manual.pdf"
        DESTINATION ${CMAKE_INSTALL_DATADIR}/orvanta)
install(FILES ${ORVANTA_RES_DIR}/firmware/orvanta-2.20.ofw ${ORVANTA_RES_DIR}/firmware/orvanta-2.05.ofw
        DESTINATION ${CMAKE_INSTALL_DATADIR}/orvanta/firmware)
install(FILES ${ORVANTA_LINUX_DIR}/${ORVANTA_ID}.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${ORVANTA_LINUX_DIR}/${ORVANTA_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
foreach(size 16 32 48 64 128)
  install(FILES ${ORVANTA_RES_DIR}/images/orvanta-icon-${size}.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
          RENAME ${ORVANTA_ID}.png)
endforeach()
install(FILES ${ORVANTA_LINUX_DIR}/orvanta.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps RENAME ${ORVANTA_ID}.svg)
install(FILES ${ORVANTA_LINUX_DIR}/copyright DESTINATION ${CMAKE_INSTALL_DOCDIR})
# The USB programming cable (FT232R) for the user at the desktop, without a group to join.
install(FILES ${ORVANTA_LINUX_DIR}/70-orvanta-usb-cable.rules
        DESTINATION lib/udev/rules.d)

# Man pages and the changelog go compressed, without a time stamp, as Debian wants them.
set(ORVANTA_GZIPPED)
foreach(source orvanta.1 orvanta-ofw.1 changelog)
  set(zipped ${CMAKE_BINARY_DIR}/linux/${source}.gz)
  add_custom_command(
    OUTPUT ${zipped}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/linux
    COMMAND sh -c "gzip -9n < \"$1\" > \"$2\"" gzip ${ORVANTA_LINUX_DIR}/${source} ${zipped}
    DEPENDS ${ORVANTA_LINUX_DIR}/${source}
    VERBATIM)
  list(APPEND ORVANTA_GZIPPED ${zipped})
endforeach()
add_custom_target(orvanta_linux_files ALL DEPENDS ${ORVANTA_GZIPPED})
install(FILES ${CMAKE_BINARY_DIR}/linux/orvanta.1.gz ${CMAKE_BINARY_DIR}/linux/orvanta-ofw.1.gz
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${CMAKE_BINARY_DIR}/linux/changelog.gz DESTINATION ${CMAKE_INSTALL_DOCDIR})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME orvanta)
set(CPACK_PACKAGE_VENDOR Tarvelcorp)
set(CPACK_PACKAGE_CONTACT "Orvanta maintainers <orvanta@example.com>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "configure and program Orvanta paintball-marker control boards")
string(CONCAT CPACK_PACKAGE_DESCRIPTION
  "A desktop tool for the Orvanta family of paintball-marker control boards.\n"
  "Over a programming cable on the parallel port, or a USB cable built on an\n"
  "FT232R, it reads the board's settings,\n"
  "lets you change them and writes them back, keeps them in settings files,\n"
  "tests a cable pin by pin and puts new firmware on the board. A simulated\n"
  "board lets you try every command without a board; orvanta-ofw makes and\n"
  "checks firmware files and flashes and reads boards from the command line.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://www.example.com/orvanta/")
# The dependencies come from the programs' own libraries (dpkg-shlibdeps), not from a hand list.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_PACKAGING_INSTALL_PREFIX ${CMAKE_INSTALL_PREFIX})
include(CPack)
