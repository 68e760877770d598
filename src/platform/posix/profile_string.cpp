#include <stdio.h>

#include <string>

#include "platform/profile_string.h"
#include "platform/profile_text.h"
#include "platform/text_file.h"

namespace tavrin::platform {

// The file is opened through OpenTextFile, so that its name is mapped as
// every other Windows path and a test can make the open fail.
std::size_t ReadProfileString(const char* section, const char* key, const char* default_value, char* buffer,
                              std::size_t size, const char* file) {
  if (buffer == nullptr || size == 0) return 0;
  std::string contents;
  std::FILE* stream = (section != nullptr && key != nullptr) ? OpenTextFile(file, TextFileMode::kRead) : nullptr;
  bool opened = stream != nullptr;
  if (opened) {
    char block[8192];
    std::size_t got;
    while ((got = fread(block, 1, sizeof block, stream)) > 0) contents.append(block, got);
    fclose(stream);
  }
  std::size_t copied = 0;
  if (opened && FindProfileValue(contents.data(), contents.size(), section, key, buffer, size, &copied)) {
    return copied;
  }
  return CopyProfileDefault(default_value, buffer, size);
}

}  // namespace tavrin::platform
