// The INI rules of the profile-string reader over arbitrary contents.
//
// The input is "section\nkey\nfile contents".  Checked for several buffer
// sizes: the result is terminated inside the buffer, no longer than size - 1,
// and the count returned is its length up to any NUL byte of the value.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/profile_text.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string input(reinterpret_cast<const char*>(data), size);
  size_t first = input.find('\n');
  if (first == std::string::npos) return 0;
  size_t second = input.find('\n', first + 1);
  if (second == std::string::npos) return 0;
  std::string section = input.substr(0, first);
  std::string key = input.substr(first + 1, second - first - 1);
  std::string contents = input.substr(second + 1);

  for (size_t buffer_size : {size_t{1}, size_t{2}, size_t{8}, size_t{260}}) {
    std::string buffer(buffer_size + 16, '\x7f');
    size_t copied = 0;
    bool found = tavrin::platform::FindProfileValue(contents.data(), contents.size(), section.c_str(), key.c_str(),
                                                    &buffer[0], buffer_size, &copied);
    if (found) {
      if (copied > buffer_size - 1 || buffer[copied] != '\0') std::abort();
      for (size_t i = buffer_size; i < buffer.size(); ++i) {
        if (buffer[i] != '\x7f') std::abort();
      }
    } else if (buffer[0] != '\x7f') {
      std::abort();  // a miss leaves the buffer alone
    }
    size_t defaulted = tavrin::platform::CopyProfileDefault(key.c_str(), &buffer[0], buffer_size);
    if (defaulted > buffer_size - 1 || buffer[defaulted] != '\0') std::abort();
  }
  return 0;
}
