# Where the tools find their data and the simulated CNC (tools/common/data_files.h):
# beside the installed program, in the build tree, or in the install folders.
function(tavrin_tools_data target)
  target_compile_definitions(${target} PRIVATE
    TAVRIN_TOOLS_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
    TAVRIN_TOOLS_DATA_DIR="${CMAKE_INSTALL_FULL_DATADIR}/tavrin"
    TAVRIN_TOOLS_LIB_DIR_NAME="${CMAKE_INSTALL_LIBDIR}"
    TAVRIN_TOOLS_SIMCNC_NAME="$<TARGET_FILE_NAME:tavrin_simcnc>"
    TAVRIN_TOOLS_SIMCNC_BUILT="$<TARGET_FILE:tavrin_simcnc>"
    TAVRIN_TOOLS_SIMCNC_INSTALLED="${CMAKE_INSTALL_FULL_LIBDIR}/$<TARGET_FILE_NAME:tavrin_simcnc>")
  # The simulated CNC's control header only: it is loaded at run time, never linked.
  target_include_directories(${target} PRIVATE ${PROJECT_SOURCE_DIR}/simcnc/include)
  add_dependencies(${target} tavrin_simcnc)
endfunction()
