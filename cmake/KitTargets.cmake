# Warnings as errors for the kit's own code.
function(kit_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Werror)
endfunction()

# Windows binaries carry the C and C++ runtimes inside, so they need no MinGW DLL.
function(kit_static_runtime target)
  target_compile_options(${target} PRIVATE -ffunction-sections -fdata-sections)
  target_link_options(${target} PRIVATE -static -static-libgcc -static-libstdc++ -s -Wl,--gc-sections)
endfunction()

# A version resource for a shipped binary.
function(kit_version_resource target description filename)
  set(KIT_DESCRIPTION "${description}")
  set(KIT_FILENAME "${filename}")
  set(rc "${CMAKE_CURRENT_BINARY_DIR}/${target}_version.rc")
  configure_file("${PROJECT_SOURCE_DIR}/cmake/version.rc.in" "${rc}" @ONLY)
  target_sources(${target} PRIVATE "${rc}")
endfunction()

# The shipped code throws and catches nothing, so it carries no exception
# tables; with the runtime linked in, that keeps the binaries small.
function(kit_no_exceptions target)
  target_compile_options(${target} PRIVATE -fno-exceptions -fno-rtti)
endfunction()
