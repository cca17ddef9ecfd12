# The library's export table: ordinal, name, bytes of arguments (for the
# stdcall decoration of 32-bit builds).
set(VANTREL_EXPORTS
  "1 InitialDll 8"
  "2 UninitialDll 4"
  "19 CustomDefineProperty_Get 12"
  "20 CustomDefineProperty_Set 12")

if(CMAKE_SIZEOF_VOID_P EQUAL 4)
  set(KIT_STDCALL_DECORATION ON)
else()
  set(KIT_STDCALL_DECORATION OFF)
endif()

# Writes the .def that exports each function by ordinal; the library is linked
# with --kill-at, so 32-bit stdcall names are exported without their @N while
# its import library keeps the decorated symbols callers refer to.
function(kit_write_export_def path)
  set(text "LIBRARY VantrelCtl.dll\nEXPORTS\n")
  foreach(entry IN LISTS VANTREL_EXPORTS)
    separate_arguments(fields UNIX_COMMAND "${entry}")
    list(GET fields 0 ordinal)
    list(GET fields 1 name)
    list(GET fields 2 bytes)
    if(KIT_STDCALL_DECORATION)
      string(APPEND text "    ${name}@${bytes} @${ordinal}\n")
    else()
      string(APPEND text "    ${name} @${ordinal}\n")
    endif()
  endforeach()
  file(WRITE "${path}" "${text}")
endfunction()

# Builds an import library for VantrelCtl.dll as an interface target. With
# NONAME, programs linked against it import by ordinal only; otherwise by
# plain name. Either way 32-bit callers refer to the decorated stdcall names.
function(kit_import_library target)
  cmake_parse_arguments(arg "NONAME" "" "" ${ARGN})
  set(def_path "${CMAKE_CURRENT_BINARY_DIR}/${target}.def")
  set(lib_path "${CMAKE_CURRENT_BINARY_DIR}/lib${target}.a")
  set(text "LIBRARY VantrelCtl.dll\nEXPORTS\n")
  foreach(entry IN LISTS VANTREL_EXPORTS)
    separate_arguments(fields UNIX_COMMAND "${entry}")
    list(GET fields 0 ordinal)
    list(GET fields 1 name)
    list(GET fields 2 bytes)
    if(KIT_STDCALL_DECORATION)
      string(APPEND name "@${bytes}")
    endif()
    string(APPEND text "    ${name} @${ordinal}")
    if(arg_NONAME)
      string(APPEND text " NONAME")
    endif()
    string(APPEND text "\n")
  endforeach()
  file(WRITE "${def_path}" "${text}")
  add_custom_command(OUTPUT "${lib_path}"
    COMMAND ${CMAKE_DLLTOOL} --kill-at --input-def "${def_path}" --output-lib "${lib_path}"
    DEPENDS "${def_path}" VERBATIM)
  add_custom_target(${target}_file DEPENDS "${lib_path}")
  add_library(${target} INTERFACE)
  target_link_libraries(${target} INTERFACE "${lib_path}")
  target_include_directories(${target} INTERFACE "${PROJECT_SOURCE_DIR}/lib")
  add_dependencies(${target} ${target}_file VantrelCtl)
endfunction()
