# The Windows tool in one folder, as the installer puts it under Program Files and the zip holds
# it: the programs, the DLLs and Qt plugins they need, the help file, the manual and the demo
# firmware beside them, where the tool looks for its documents. In the build folder,
# `cpack -G NSIS64` writes the installer and `cpack -G ZIP` the zip.

set(ORVANTA_WINDOWS_DIR ${CMAKE_CURRENT_LIST_DIR})
configure_file(${ORVANTA_WINDOWS_DIR}/orvanta.rc.in ${CMAKE_BINARY_DIR}/orvanta.rc @ONLY)
# A window program: Windows opens no console beside it.
set_target_properties(orvanta PROPERTIES WIN32_EXECUTABLE ON)
foreach(program orvanta orvanta-ofw)
  target_sources(${program} PRIVATE ${CMAKE_BINARY_DIR}/orvanta.rc)
endforeach()

install(TARGETS orvanta orvanta-ofw RUNTIME DESTINATION .)
install(FILES ${ORVANTA_WINDOWS_DIR}/../help/Orvanta_Help.chm "${CMAKE_BINARY_DIR}/Orvanta Manual.pdf"
        DESTINATION .)
install(FILES ${ORVANTA_WINDOWS_DIR}/../firmware/orvanta-2.20.ofw
              ${ORVANTA_WINDOWS_DIR}/../firmware/orvanta-2.05.ofw
        DESTINATION firmware)
install(FILES ${ORVANTA_WINDOWS_DIR}/../linux/copyright DESTINATION . RENAME copyright.txt)

# The DLLs the programs and the plugins load, found in the Windows libraries' folders, and Qt's
# plugins for the screen and the Windows look.
get_target_property(ORVANTA_QT_CORE Qt6::Core IMPORTED_LOCATION_RELEASE)
get_filename_component(ORVANTA_QT_PLUGINS "${ORVANTA_QT_CORE}/../../plugins" ABSOLUTE)
install(FILES ${ORVANTA_QT_PLUGINS}/platforms/qwindows.dll DESTINATION platforms)
install(FILES ${ORVANTA_QT_PLUGINS}/styles/qwindowsvistastyle.dll DESTINATION styles)
find_program(ORVANTA_STRIP NAMES ${CMAKE_STRIP} x86_64-w64-mingw32-strip REQUIRED)
install(CODE "
  set(ORVANTA_PROGRAMS \"$<TARGET_FILE:orvanta>;$<TARGET_FILE:orvanta-ofw>\")
  set(ORVANTA_DLL_DIRS \"${ORVANTA_DLL_DIRS}\")
  set(ORVANTA_OBJDUMP \"${CMAKE_OBJDUMP}\")
  set(ORVANTA_STRIP \"${ORVANTA_STRIP}\")
  include(\"${ORVANTA_WINDOWS_DIR}/CollectDlls.cmake\")
")

set(CPACK_GENERATOR "NSIS64;ZIP")
set(CPACK_PACKAGE_NAME Orvanta)
set(CPACK_PACKAGE_VENDOR Tarvelcorp)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "configure and program Orvanta paintball-marker control boards")
set(CPACK_PACKAGE_INSTALL_DIRECTORY Orvanta)
set(CPACK_STRIP_FILES ON)
# The values below reach the installer script as they are written here.
set(CPACK_VERBATIM_VARIABLES ON)

set(CPACK_NSIS_PACKAGE_NAME "Orvanta ${PROJECT_VERSION}")
set(CPACK_NSIS_DISPLAY_NAME "Orvanta")
set(CPACK_NSIS_MUI_ICON ${ORVANTA_WINDOWS_DIR}/orvanta.ico)
set(CPACK_NSIS_MUI_UNIICON ${ORVANTA_WINDOWS_DIR}/orvanta.ico)
set(CPACK_NSIS_INSTALLED_ICON_NAME orvanta.exe)
set(CPACK_NSIS_ENABLE_UNINSTALL_BEFORE_INSTALL ON)
set(CPACK_NSIS_URL_INFO_ABOUT "https://www.example.com/orvanta/")
# Start-menu entries: the tool, and the tool on the simulated board; both keep their files in
# %APPDATA%\Orvanta ("datafolder"). CPack adds the uninstaller's own entry.
set(CPACK_NSIS_CREATE_ICONS_EXTRA [=[
  CreateShortCut "$SMPROGRAMS\$STARTMENU_FOLDER\Orvanta.lnk" "$INSTDIR\orvanta.exe" "datafolder"
  CreateShortCut "$SMPROGRAMS\$STARTMENU_FOLDER\Orvanta (Simulated Board).lnk" "$INSTDIR\orvanta.exe" "datafolder simulate"
]=])
set(CPACK_NSIS_DELETE_ICONS_EXTRA [=[
  Delete "$SMPROGRAMS\$MUI_TEMP\Orvanta.lnk"
  Delete "$SMPROGRAMS\$MUI_TEMP\Orvanta (Simulated Board).lnk"
]=])
include(CPack)
