// _splitpath_s-style splitting over arbitrary paths and buffer sizes.
//
// The first byte chooses a buffer size for all four parts (1 to 260); the
// rest, up to its first NUL, is the path.  Checked: on success the four parts
// put together give the path again, the drive is empty or two characters
// ending in ':', the folder is empty or ends in a separator, the extension is
// empty or starts with '.' and holds no separator; on failure every part is
// empty; nothing is written past any buffer.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "util/path_split.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  const size_t part_size = 1 + data[0] % 260;
  std::string path(reinterpret_cast<const char*>(data + 1), size - 1);
  path = path.c_str();  // up to the first NUL

  constexpr char kGuard = '\x7f';
  std::string parts[4];
  for (std::string& part : parts) part.assign(part_size + 8, kGuard);
  bool ok = tavrin::util::SplitPath(path.c_str(), &parts[0][0], part_size, &parts[1][0], part_size, &parts[2][0],
                                    part_size, &parts[3][0], part_size);
  for (std::string& part : parts) {
    for (size_t i = part_size; i < part.size(); ++i) {
      if (part[i] != kGuard) std::abort();
    }
    if (std::memchr(part.data(), '\0', part_size) == nullptr) std::abort();
    part = part.c_str();
  }
  if (!ok) {
    for (const std::string& part : parts) {
      if (!part.empty()) std::abort();
    }
    return 0;
  }
  if (parts[0] + parts[1] + parts[2] + parts[3] != path) std::abort();
  if (!parts[0].empty() && (parts[0].size() != 2 || parts[0][1] != ':')) std::abort();
  if (!parts[1].empty() && parts[1].back() != '\\' && parts[1].back() != '/') std::abort();
  if (!parts[3].empty() && (parts[3][0] != '.' || parts[3].find_first_of("\\/") != std::string::npos)) std::abort();
  if (parts[2].find_first_of("\\/") != std::string::npos) std::abort();

  // With buffers of 260 every path below 260 characters splits.
  if (path.size() < 260) {
    char drive[260], folder[260], base[260], extension[260];
    if (!tavrin::util::SplitPath(path.c_str(), drive, 260, folder, 260, base, 260, extension, 260)) std::abort();
  }
  return 0;
}
