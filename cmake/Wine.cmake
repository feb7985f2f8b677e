# Cross-built for Windows on Linux: the programs run under Wine, for the tests (ctest runs them
# through CMAKE_CROSSCOMPILING_EMULATOR) and for the manual the build writes. <build>/wine-run
# sets Wine up for them; ORVANTA_DLL_DIRS are the folders of the DLLs they need, which the
# packaging collects too.
find_program(ORVANTA_WINE NAMES wine64 PATHS /usr/lib/wine NO_DEFAULT_PATH)
find_program(ORVANTA_WINE NAMES wine64 wine REQUIRED)

# The Windows libraries' bin folders and the compiler's own DLLs (libstdc++, libgcc, winpthread).
set(ORVANTA_DLL_DIRS)
foreach(prefix IN LISTS CMAKE_PREFIX_PATH)
  if(IS_DIRECTORY ${prefix}/bin)
    list(APPEND ORVANTA_DLL_DIRS ${prefix}/bin)
  endif()
endforeach()
foreach(dll libstdc++-6.dll libwinpthread-1.dll)
  execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${dll}
                  OUTPUT_VARIABLE found OUTPUT_STRIP_TRAILING_WHITESPACE)
  if(NOT IS_ABSOLUTE "${found}")
    message(FATAL_ERROR "${dll} not found beside ${CMAKE_CXX_COMPILER}")
  endif()
  get_filename_component(folder "${found}" DIRECTORY)
  list(APPEND ORVANTA_DLL_DIRS ${folder})
endforeach()
list(REMOVE_DUPLICATES ORVANTA_DLL_DIRS)

# Wine sees the Linux root as drive Z:.
function(orvanta_wine_path out path)
  string(REPLACE "/" "\\" windows "Z:${path}")
  set(${out} "${windows}" PARENT_SCOPE)
endfunction()

set(ORVANTA_WINEPATH)
foreach(folder IN LISTS ORVANTA_DLL_DIRS)
  orvanta_wine_path(windows ${folder})
  list(APPEND ORVANTA_WINEPATH "${windows}")
endforeach()
orvanta_wine_path(ORVANTA_FONTDIR /usr/share/fonts/truetype/dejavu)
set(ORVANTA_WINEPREFIX ${CMAKE_BINARY_DIR}/wine)
configure_file(${CMAKE_CURRENT_LIST_DIR}/wine-run.in ${CMAKE_BINARY_DIR}/wine-run @ONLY
               FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
                                WORLD_READ WORLD_EXECUTE)
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_BINARY_DIR}/wine-run)
