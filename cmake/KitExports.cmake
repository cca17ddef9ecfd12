# The library's export table: ordinal, name, bytes of arguments (for the
# stdcall decoration of 32-bit builds).
set(VANTREL_EXPORTS
  "1 InitialDll 8"
  "2 UninitialDll 4"
  "19 CustomDefineProperty_Get 12"
  "20 CustomDefineProperty_Set 12")

# The text of a .def for VantrelCtl.dll, with NONAME entries when asked.
# 32-bit names carry their stdcall decoration; --kill-at drops it from the
# exported and imported names while callers keep referring to it.
function(kit_def_text out_var)
  cmake_parse_arguments(arg "NONAME" "" "" ${ARGN})
  set(text "LIBRARY VantrelCtl.dll\nEXPORTS\n")
  foreach(entry IN LISTS VANTREL_EXPORTS)
    separate_arguments(fields UNIX_COMMAND "${entry}")
    list(GET fields 0 ordinal)
    list(GET fields 1 name)
    list(GET fields 2 bytes)
    if(CMAKE_SIZEOF_VOID_P EQUAL 4)
      string(APPEND name "@${bytes}")
    endif()
    string(APPEND text "    ${name} @${ordinal}")
    if(arg_NONAME)
      string(APPEND text " NONAME")
    endif()
    string(APPEND text "\n")
  endforeach()
  set(${out_var} "${text}" PARENT_SCOPE)
endfunction()

# Builds an import library for VantrelCtl.dll as an interface target. With
# NONAME, programs linked against it import by ordinal only; otherwise by
# plain name.
function(kit_import_library target)
  cmake_parse_arguments(arg "NONAME" "" "" ${ARGN})
  set(def_path "${CMAKE_CURRENT_BINARY_DIR}/${target}.def")
  set(lib_path "${CMAKE_CURRENT_BINARY_DIR}/lib${target}.a")
  if(arg_NONAME)
    kit_def_text(text NONAME)
  else()
    kit_def_text(text)
  endif()
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
