// Export and calling-convention macros of the Tavrin library.
//
// TAVRIN_FUNC(type) declares an exported free function: C linkage comes from
// the surrounding TAVRIN_EXTERN_C block, the macro adds the export attribute
// and, on 32-bit Windows, the standard calling convention (the callee removes
// the arguments).  On 64-bit Windows and elsewhere the calling convention part
// is empty.  TAVRIN_CLASS exports a class whole.
#ifndef TAVRIN_EXPORT_H
#define TAVRIN_EXPORT_H

#if defined(_WIN32)
#  if defined(TAVRIN_BUILDING)
#    define TAVRIN_API __declspec(dllexport)
#  else
#    define TAVRIN_API __declspec(dllimport)
#  endif
#  if defined(_M_IX86) || defined(__i386__)
#    define TAVRIN_CALL __stdcall
#    if defined(TAVRIN_BUILDING)
/*     The module-definition file exports the lib_ functions under their plain
       names; an export attribute would add the decorated names as well. */
#      define TAVRIN_FUNC_API
#    endif
#  else
#    define TAVRIN_CALL
#  endif
#else
#  define TAVRIN_API __attribute__((visibility("default")))
#  define TAVRIN_CALL
#endif

#ifndef TAVRIN_FUNC_API
#  define TAVRIN_FUNC_API TAVRIN_API
#endif

#define TAVRIN_FUNC(type) TAVRIN_FUNC_API type TAVRIN_CALL
#define TAVRIN_CLASS TAVRIN_API

#ifdef __cplusplus
#  define TAVRIN_EXTERN_C_BEGIN extern "C" {
#  define TAVRIN_EXTERN_C_END }
#else
#  define TAVRIN_EXTERN_C_BEGIN
#  define TAVRIN_EXTERN_C_END
/* The C-linkage declarations use bool; C has it from <stdbool.h> (the same
   one byte as C++'s bool with the compilers the library is built with). */
#  include <stdbool.h>
#endif

#endif
