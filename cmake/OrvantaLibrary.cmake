# orvanta_library(name FOLDER folder [QT] SOURCES files... [USES libraries...])
#
# One folder's library. Its users see the folder's headers as "folder/File.h" and nothing more:
# every folder is published under an include root of its own, so a file that includes a folder its
# library does not link fails to compile. USES are the libraries below it that the folder's README
# allows; QT adds Qt Widgets (never for the plain folders).
#
# What only one system has lives in a file named for it beside the portable part
# (PlainFileLinux.cpp, PlainFileWindows.cpp): folders list it as File${ORVANTA_SYSTEM}.cpp.
if(WIN32)
  set(ORVANTA_SYSTEM Windows)
else()
  set(ORVANTA_SYSTEM Linux)
endif()

function(orvanta_library name)
  cmake_parse_arguments(PARSE_ARGV 1 LIB "QT" "FOLDER" "SOURCES;USES")
  add_library(${name} STATIC ${LIB_SOURCES})
  set(root ${CMAKE_BINARY_DIR}/orvanta-include/${LIB_FOLDER})
  if(NOT EXISTS ${root}/${LIB_FOLDER})
    file(MAKE_DIRECTORY ${root})
    file(CREATE_LINK ${CMAKE_CURRENT_SOURCE_DIR} ${root}/${LIB_FOLDER} SYMBOLIC)
  endif()
  target_include_directories(${name} PUBLIC ${root})
  target_link_libraries(${name} PUBLIC ${LIB_USES})
  if(LIB_QT)
    target_link_libraries(${name} PUBLIC Qt6::Widgets)
  else()
    set_target_properties(${name} PROPERTIES AUTOMOC OFF AUTOUIC OFF AUTORCC OFF)
  endif()
endfunction()
