# The tavrin command's manual page and bash completion, made at build time
# from its own help (`tavrin help-all`) by command_docs.awk, and installed.
# Included by the top-level CMakeLists.txt when the command is built and can
# run here (not in a cross build).
set(_tavrin_docs ${PROJECT_BINARY_DIR}/tools/tavrin-docs)
add_custom_command(
  OUTPUT ${_tavrin_docs}/tavrin.1 ${_tavrin_docs}/completions/tavrin
  COMMAND ${CMAKE_COMMAND} -E make_directory ${_tavrin_docs}/completions
  COMMAND tavrin_cli help-all > ${_tavrin_docs}/reference.md
  COMMAND awk -v mode=man -v version=${PROJECT_VERSION} -f ${CMAKE_CURRENT_LIST_DIR}/command_docs.awk
          ${_tavrin_docs}/reference.md > ${_tavrin_docs}/tavrin.1
  COMMAND awk -v mode=bash -f ${CMAKE_CURRENT_LIST_DIR}/command_docs.awk
          ${_tavrin_docs}/reference.md > ${_tavrin_docs}/completions/tavrin
  DEPENDS tavrin_cli ${CMAKE_CURRENT_LIST_DIR}/command_docs.awk
  COMMENT "Writing the tavrin manual page and bash completion")
add_custom_target(tavrin_command_docs ALL DEPENDS ${_tavrin_docs}/tavrin.1 ${_tavrin_docs}/completions/tavrin)
install(FILES ${_tavrin_docs}/tavrin.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${_tavrin_docs}/completions/tavrin DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions)

if(TAVRIN_BUILD_TESTS)
  add_test(NAME tavrin_command_docs
    COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/check_command_docs.sh ${_tavrin_docs})
endif()
