# Tavrin.dll: no "lib" prefix, C and C++ runtimes linked in so that the DLL
# needs nothing beside it.  On 32-bit Windows the module-definition file
# gives every lib_ function its plain name (and the two plural macro
# functions their decorated standard-call names); on 64-bit Windows there is
# no decoration and the export attributes name them.
set_target_properties(tavrin PROPERTIES PREFIX "" OUTPUT_NAME Tavrin)

if(CMAKE_SIZEOF_VOID_P EQUAL 4)
  target_sources(tavrin PRIVATE ${PROJECT_SOURCE_DIR}/cmake/Tavrin.def)

  # Applications that link Tavrin.dll at build time call name@bytes; the
  # linker's import library only knows the plain export names.  A second
  # import library, made from the same list, maps each decorated call onto
  # its export name.
  file(STRINGS ${PROJECT_SOURCE_DIR}/cmake/Tavrin.def def_lines REGEX "^ +[_A-Za-z].* = ")
  set(import_def "LIBRARY Tavrin.dll\nEXPORTS\n")
  foreach(line IN LISTS def_lines)
    string(REGEX MATCH "^ +([^ ]+) = ([^ ]+)" _ "${line}")
    set(export_name "${CMAKE_MATCH_1}")
    set(symbol "${CMAKE_MATCH_2}")
    if(export_name MATCHES "@")
      string(APPEND import_def "  ${symbol} == ${export_name}\n")
    else()
      string(APPEND import_def "  ${symbol}\n")
    endif()
  endforeach()
  file(WRITE ${PROJECT_BINARY_DIR}/Tavrin-stdcall.def "${import_def}")
  set(stdcall_import ${PROJECT_BINARY_DIR}/libTavrin-stdcall.a)
  add_custom_command(OUTPUT ${stdcall_import}
    COMMAND ${TAVRIN_DLLTOOL} -k -d ${PROJECT_BINARY_DIR}/Tavrin-stdcall.def -l ${stdcall_import}
    DEPENDS ${PROJECT_SOURCE_DIR}/cmake/Tavrin.def ${PROJECT_BINARY_DIR}/Tavrin-stdcall.def
    COMMENT "Import library for the standard-call names of Tavrin.dll")
  add_custom_target(tavrin_stdcall_import DEPENDS ${stdcall_import})
  add_dependencies(tavrin tavrin_stdcall_import)
  target_link_libraries(tavrin INTERFACE $<BUILD_INTERFACE:${stdcall_import}>)
  # Installed beside the DLL's own import library; the installed CMake package
  # (TavrinConfig.cmake) and tavrin.pc link both.
  install(FILES ${stdcall_import} DESTINATION ${CMAKE_INSTALL_LIBDIR})
endif()
