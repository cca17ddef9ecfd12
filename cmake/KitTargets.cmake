# Warnings as errors for the kit's own code.
function(kit_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Werror)
endfunction()

# Windows binaries carry the C and C++ runtimes inside, so they need no MinGW DLL.
function(kit_static_runtime target)
  target_link_options(${target} PRIVATE -static -static-libgcc -static-libstdc++ -s)
endfunction()

# A version resource for a shipped binary.
function(kit_version_resource target description filename)
  set(KIT_DESCRIPTION "${description}")
  set(KIT_FILENAME "${filename}")
  set(rc "${CMAKE_CURRENT_BINARY_DIR}/${target}_version.rc")
  configure_file("${PROJECT_SOURCE_DIR}/cmake/version.rc.in" "${rc}" @ONLY)
  target_sources(${target} PRIVATE "${rc}")
endfunction()
