// The INI rules of profile_string.h applied to a file's contents in memory.
//
// Used by the backends that read INI files themselves.  `data` holds `length`
// bytes (NUL bytes are ordinary characters; lines end at LF, a CR before it is
// dropped; a UTF-8 byte order mark at the start is skipped).  On a match the
// value is copied into `buffer` as profile_string.h says and true is
// returned; false when the section or key is missing (the buffer is then not
// touched).
#ifndef TAVRIN_PLATFORM_PROFILE_TEXT_H
#define TAVRIN_PLATFORM_PROFILE_TEXT_H

#include <cstddef>

namespace tavrin::platform {

bool FindProfileValue(const char* data, std::size_t length, const char* section, const char* key, char* buffer,
                      std::size_t size, std::size_t* copied);

// Copies `text` into `buffer` as a default value: null counts as empty,
// trailing blanks are removed, the copy is cut to size - 1 characters.
// Returns the number of characters copied.
std::size_t CopyProfileDefault(const char* text, char* buffer, std::size_t size);

}  // namespace tavrin::platform

#endif
