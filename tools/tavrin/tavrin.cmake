# The tavrin command (included by tools/CMakeLists.txt when CLI11 and
# nlohmann-json are found): linked like any application, against the library
# only; the simulated CNC is loaded as its FOCAS2 library at run time.  Paths
# are relative to tools/.

# The parts that the tests drive as well, built once: the connection to the
# CNC, output, argument parsing and failed-read reporting.
add_library(tavrin_cli_support STATIC
  ${CMAKE_CURRENT_LIST_DIR}/connection.cpp
  ${CMAKE_CURRENT_LIST_DIR}/output.cpp
  ${CMAKE_CURRENT_LIST_DIR}/parse.cpp
  ${CMAKE_CURRENT_LIST_DIR}/read_watch.cpp)
target_include_directories(tavrin_cli_support PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(tavrin_cli_support PUBLIC tavrin tavrin_tools_common CLI11::CLI11 nlohmann_json::nlohmann_json)

add_executable(tavrin_cli
  ${CMAKE_CURRENT_LIST_DIR}/main.cpp
  ${CMAKE_CURRENT_LIST_DIR}/commands_nc.cpp
  ${CMAKE_CURRENT_LIST_DIR}/commands_machine.cpp
  ${CMAKE_CURRENT_LIST_DIR}/commands_sim.cpp
  ${CMAKE_CURRENT_LIST_DIR}/commands_simu.cpp
  ${CMAKE_CURRENT_LIST_DIR}/commands_util.cpp
  ${CMAKE_CURRENT_LIST_DIR}/commands_serial.cpp
  ${CMAKE_CURRENT_LIST_DIR}/demo.cpp
  ${CMAKE_CURRENT_LIST_DIR}/journal_view.cpp
  ${CMAKE_CURRENT_LIST_DIR}/reference.cpp)
set_target_properties(tavrin_cli PROPERTIES OUTPUT_NAME tavrin)
target_link_libraries(tavrin_cli PRIVATE tavrin_cli_support)
target_compile_definitions(tavrin_cli PRIVATE TAVRIN_TOOLS_VERSION="${PROJECT_VERSION}")
# Find libtavrin beside the installed command too.
set_target_properties(tavrin_cli PROPERTIES INSTALL_RPATH "$ORIGIN/../${CMAKE_INSTALL_LIBDIR}")

# The command reference, made at build time from the same definitions (not
# in a cross build, whose command cannot run here).
if(NOT CMAKE_CROSSCOMPILING)
  add_custom_command(OUTPUT ${CMAKE_CURRENT_BINARY_DIR}/tavrin-reference.md
    COMMAND tavrin_cli help-all > ${CMAKE_CURRENT_BINARY_DIR}/tavrin-reference.md
    DEPENDS tavrin_cli
    COMMENT "Writing the tavrin command reference")
  add_custom_target(tavrin_reference ALL DEPENDS ${CMAKE_CURRENT_BINARY_DIR}/tavrin-reference.md)
  install(FILES ${CMAKE_CURRENT_BINARY_DIR}/tavrin-reference.md DESTINATION ${CMAKE_INSTALL_DOCDIR})
endif()

install(TARGETS tavrin_cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${CMAKE_CURRENT_LIST_DIR}/json-schema.json DESTINATION ${CMAKE_INSTALL_DOCDIR} RENAME tavrin-json-schema.json)
install(FILES ${PROJECT_SOURCE_DIR}/examples/lathe.toml DESTINATION ${CMAKE_INSTALL_DATADIR}/tavrin)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/examples/sim/ DESTINATION ${CMAKE_INSTALL_DATADIR}/tavrin/sim)
