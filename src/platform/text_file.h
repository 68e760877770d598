// Text files as standard streams.
//
// OpenTextFile opens a file named by a Windows path (windows_path.h) in the
// platform's text mode: on Windows a carriage return and line feed on disk
// are a line feed in memory; elsewhere the bytes are read and written as they
// are.  Writing creates the file or empties it; kCreateFresh removes any
// file or link of that name first and creates a new file in its place
// exclusively, so that a link planted at the name is never followed.  The
// stream is closed with fclose.  Null when the file cannot be opened or its
// name cannot be mapped.
#ifndef TAVRIN_PLATFORM_TEXT_FILE_H
#define TAVRIN_PLATFORM_TEXT_FILE_H

#include <cstdio>

namespace tavrin::platform {

enum class TextFileMode { kRead, kWrite, kCreateFresh };

std::FILE* OpenTextFile(const char* path, TextFileMode mode);

}  // namespace tavrin::platform

#endif
