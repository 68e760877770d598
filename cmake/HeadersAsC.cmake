# The public interface as a C program sees it.  Every public header with
# C-linkage declarations is compiled on its own as C99, warnings as errors,
# from a generated one-line C file: a C++-only construct outside
# `#ifdef __cplusplus` breaks the build.  tests/c_api/c_api_check.c then calls
# the library from C.  Headers are found by their content, so a new one is
# checked without being listed here.
file(GLOB_RECURSE _tavrin_headers CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/include/tavrin/*.h)
list(APPEND _tavrin_headers ${PROJECT_BINARY_DIR}/include/tavrin/version.h)
set(_tavrin_c_files)
foreach(_header IN LISTS _tavrin_headers)
  file(READ ${_header} _text)
  if(NOT _text MATCHES "TAVRIN_EXTERN_C_BEGIN|extern \"C\"")
    continue()
  endif()
  string(REGEX REPLACE "^.*/include/" "" _name ${_header})
  string(MAKE_C_IDENTIFIER ${_name} _id)
  set(_c_file ${PROJECT_BINARY_DIR}/headers_as_c/${_id}.c)
  # The typedef keeps a header that is empty on this platform from making an
  # empty translation unit, which ISO C forbids.
  file(CONFIGURE OUTPUT ${_c_file}
    CONTENT "#include <${_name}>\ntypedef int tavrin_${_id}_compiles_as_c;\n" @ONLY)
  list(APPEND _tavrin_c_files ${_c_file})
endforeach()

add_library(tavrin_headers_as_c OBJECT ${_tavrin_c_files})
set_target_properties(tavrin_headers_as_c PROPERTIES C_STANDARD 99 C_STANDARD_REQUIRED ON C_EXTENSIONS OFF)
target_include_directories(tavrin_headers_as_c PRIVATE
  ${PROJECT_BINARY_DIR}/include ${PROJECT_SOURCE_DIR}/include)
if(CMAKE_C_COMPILER_ID MATCHES "GNU|Clang")
  target_compile_options(tavrin_headers_as_c PRIVATE -pedantic-errors -Werror -Wstrict-prototypes)
endif()

add_executable(tavrin_c_api_check ${PROJECT_SOURCE_DIR}/tests/c_api/c_api_check.c)
set_target_properties(tavrin_c_api_check PROPERTIES C_STANDARD 99 C_STANDARD_REQUIRED ON C_EXTENSIONS OFF)
target_link_libraries(tavrin_c_api_check PRIVATE tavrin)
if(NOT CMAKE_CROSSCOMPILING)
  add_test(NAME tavrin_c_api_check COMMAND tavrin_c_api_check)
endif()
