# Run at install time (res/windows/Packaging.cmake): copies every DLL that the programs and the
# installed Qt plugins load, and what those load in turn, from ORVANTA_DLL_DIRS into the install
# folder, stripped. DLLs found in none of those folders are Windows' own and stay out.
#
# file(GET_RUNTIME_DEPENDENCIES) reads the names each file imports, but lower-cases them, and on
# Linux looks them up case by case (Qt6Core.dll is not found as qt6core.dll); so every name comes
# back unresolved and is matched here without case.
set(CMAKE_GET_RUNTIME_DEPENDENCIES_PLATFORM windows+pe)
set(CMAKE_GET_RUNTIME_DEPENDENCIES_TOOL objdump)
set(CMAKE_GET_RUNTIME_DEPENDENCIES_COMMAND ${ORVANTA_OBJDUMP})
set(destination "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}")

# Every DLL on offer, by its lower-case name; the first folder that has one wins.
set(offered)
foreach(folder IN LISTS ORVANTA_DLL_DIRS)
  file(GLOB dlls "${folder}/*.dll")
  foreach(dll IN LISTS dlls)
    get_filename_component(name "${dll}" NAME)
    string(TOLOWER "${name}" key)
    if(NOT DEFINED offered_${key})
      set(offered_${key} "${dll}")
    endif()
  endforeach()
endforeach()

file(GLOB_RECURSE plugins "${destination}/platforms/*.dll" "${destination}/styles/*.dll")
set(pending ${ORVANTA_PROGRAMS} ${plugins})
set(taken)
while(pending)
  list(POP_FRONT pending file)
  file(GET_RUNTIME_DEPENDENCIES LIBRARIES "${file}"
       RESOLVED_DEPENDENCIES_VAR resolved UNRESOLVED_DEPENDENCIES_VAR unresolved)
  foreach(needed IN LISTS resolved unresolved)
    get_filename_component(name "${needed}" NAME)
    string(TOLOWER "${name}" key)
    list(FIND taken "${key}" seen)
    if(DEFINED offered_${key} AND seen EQUAL -1)
      list(APPEND taken ${key})
      list(APPEND pending "${offered_${key}}")
      file(INSTALL "${offered_${key}}" DESTINATION "${CMAKE_INSTALL_PREFIX}")
      get_filename_component(installed_name "${offered_${key}}" NAME)
      execute_process(COMMAND ${ORVANTA_STRIP} --strip-unneeded "${destination}/${installed_name}"
                      COMMAND_ERROR_IS_FATAL ANY)
    endif()
  endforeach()
endwhile()

# The plugins are stripped too: they come from Qt's build with their symbols.
foreach(plugin IN LISTS plugins)
  execute_process(COMMAND ${ORVANTA_STRIP} --strip-unneeded "${plugin}" COMMAND_ERROR_IS_FATAL ANY)
endforeach()
