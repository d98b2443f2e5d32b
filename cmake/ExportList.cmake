# qs_export_list(<target> <list-file>)
# The list file holds one exported name a line. On ELF a version script built from it hides
# every other symbol; on Windows the .def file beside it names the exports, undecorated. A
# test compares the library's dynamic symbols (or its export table) with the same list.
function(qs_export_list target list_file)
  file(STRINGS ${list_file} names REGEX "^[A-Za-z_]")
  set(script "{\n  global:\n")
  foreach(n IN LISTS names)
    string(APPEND script "    ${n};\n")
  endforeach()
  string(APPEND script "  local:\n    *;\n};\n")
  set(map ${CMAKE_CURRENT_BINARY_DIR}/${target}.map)
  file(WRITE ${map} "${script}")
  set_target_properties(${target} PROPERTIES
    C_VISIBILITY_PRESET hidden CXX_VISIBILITY_PRESET hidden VISIBILITY_INLINES_HIDDEN ON
    LINK_DEPENDS ${list_file})
  if(NOT WIN32 AND NOT APPLE)
    target_link_options(${target} PRIVATE "LINKER:--version-script=${map}")
    # clang leaves the sanitizer runtimes to the executable, so only plain builds can insist
    # that a library resolves every symbol itself.
    if(NOT QS_SANITIZE AND NOT QS_FUZZ)
      target_link_options(${target} PRIVATE "LINKER:--no-undefined")
    endif()
  endif()
  if(WIN32)
    get_filename_component(dir ${list_file} DIRECTORY)
    file(GLOB def ${dir}/*.def)
    target_sources(${target} PRIVATE ${def})
    # No "lib" prefix, and stdcall names without their @n: callers look them up by plain name.
    set_target_properties(${target} PROPERTIES PREFIX "" IMPORT_PREFIX "")
    if(MINGW)
      # -static: the C++ runtime, libgcc and winpthread go inside even in a tree whose
      # programs share them as DLLs (the Qt programs do), so the library alone is enough.
      target_link_options(${target} PRIVATE "LINKER:--kill-at" -static)
    endif()
  endif()
  if(QS_BUILD_TESTS)
    if(WIN32)
      set(dump ${CMAKE_OBJDUMP})
    else()
      set(dump "")
    endif()
    add_test(NAME ${target}.exports_match_list
      COMMAND ${CMAKE_COMMAND} -DLIB=$<TARGET_FILE:${target}> -DLIST=${list_file}
              -DOBJDUMP=${dump} -P ${PROJECT_SOURCE_DIR}/cmake/CheckExports.cmake)
  endif()
endfunction()
