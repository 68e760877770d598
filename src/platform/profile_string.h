// Profile strings: values of INI files, read as GetPrivateProfileStringA
// reads them (on Windows it is that call).
//
// The file (a Windows path, windows_path.h) is read anew on every call.
// Lines are "[section]" or "key=value"; a line whose first non-blank
// character is ';' is a comment, and lines of neither form are skipped.
// Section and key names match without regard to case (ASCII letters); blanks
// (spaces and tabs) around names and values are trimmed, and one pair of
// matching enclosing quotes (" or ') is removed from the value.  The first
// section of the name is searched, and in it the first key of the name wins.
// A missing file, section or key gives the default (null counts as empty,
// trailing blanks removed).  The result is cut to size - 1 characters and
// always terminated when size > 0; the number of characters copied is
// returned.  A null section or key gives the default (the enumerations that
// Windows offers there are not used by the library).
#ifndef TAVRIN_PLATFORM_PROFILE_STRING_H
#define TAVRIN_PLATFORM_PROFILE_STRING_H

#include <cstddef>

namespace tavrin::platform {

std::size_t ReadProfileString(const char* section, const char* key, const char* default_value, char* buffer,
                              std::size_t size, const char* file);

}  // namespace tavrin::platform

#endif
