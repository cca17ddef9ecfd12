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

# Writes the .def that exports each function by ordinal under its plain name.
function(kit_write_export_def path)
  set(text "LIBRARY VantrelCtl.dll\nEXPORTS\n")
  foreach(entry IN LISTS VANTREL_EXPORTS)
    separate_arguments(fields UNIX_COMMAND "${entry}")
    list(GET fields 0 ordinal)
    list(GET fields 1 name)
    list(GET fields 2 bytes)
    if(KIT_STDCALL_DECORATION)
      string(APPEND text "    ${name} = ${name}@${bytes} @${ordinal}\n")
    else()
      string(APPEND text "    ${name} @${ordinal}\n")
    endif()
  endforeach()
  file(WRITE "${path}" "${text}")
endfunction()

# Writes a .def whose entries are NONAME and builds from it an import library,
# so that a program linked against it imports the library by ordinal only.
function(kit_ordinal_import_library target def_path lib_path)
  set(text "LIBRARY VantrelCtl.dll\nEXPORTS\n")
  foreach(entry IN LISTS VANTREL_EXPORTS)
    separate_arguments(fields UNIX_COMMAND "${entry}")
    list(GET fields 0 ordinal)
    list(GET fields 1 name)
    list(GET fields 2 bytes)
    if(KIT_STDCALL_DECORATION)
      string(APPEND text "    ${name}@${bytes} @${ordinal} NONAME\n")
    else()
      string(APPEND text "    ${name} @${ordinal} NONAME\n")
    endif()
  endforeach()
  file(WRITE "${def_path}" "${text}")
  add_custom_command(OUTPUT "${lib_path}"
    COMMAND ${CMAKE_DLLTOOL} --input-def "${def_path}" --output-lib "${lib_path}"
    DEPENDS "${def_path}" VERBATIM)
  add_custom_target(${target}_implib DEPENDS "${lib_path}")
  add_library(${target} STATIC IMPORTED GLOBAL)
  set_target_properties(${target} PROPERTIES IMPORTED_LOCATION "${lib_path}")
  add_dependencies(${target} ${target}_implib)
endfunction()
