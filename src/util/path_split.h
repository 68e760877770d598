// Splitting a Windows path into drive, folder, base name and extension, as
// the C runtime's _splitpath_s does it, on every platform.
//
//   drive      the first two characters when the second is ':' ("C:"), else empty
//   folder     what follows, up to and including the last '\' or '/'
//   base name  the rest of the name up to its last '.'
//   extension  from that last '.' on (empty when the name has none)
// "C:\Sim\M1.ovp" gives "C:", "\Sim\", "M1", ".ovp"; "a.b.c" gives "", "",
// "a.b", ".c".  Bytes are taken one by one (no multibyte code pages).
//
// Each part goes into its own buffer of the given size; a null buffer with
// size 0 skips that part.  When a wanted part does not fit its buffer (or the
// path is null), every buffer is made empty and false is returned, as
// _splitpath_s does; nothing is ever written beyond a buffer.
#ifndef TAVRIN_UTIL_PATH_SPLIT_H
#define TAVRIN_UTIL_PATH_SPLIT_H

#include <cstddef>

namespace tavrin::util {

bool SplitPath(const char* path, char* drive, std::size_t drive_size, char* folder, std::size_t folder_size,
               char* base_name, std::size_t base_name_size, char* extension, std::size_t extension_size);

}  // namespace tavrin::util

#endif
