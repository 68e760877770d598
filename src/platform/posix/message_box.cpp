#include <stdio.h>

#include <string>

#include "platform/platform.h"

namespace tavrin::platform {

// Without a window system of its own the library writes the box as one block
// on standard error (one write, so lines from other threads do not interleave)
// and answers as if the operator had pressed OK.
int ShowSystemMessageBox(const char* text, const char* caption, unsigned int /*style*/) {
  std::string block;
  block += "[";
  block += caption != nullptr ? caption : "Error";
  block += "]\n";
  block += text != nullptr ? text : "";
  block += "\n";
  fwrite(block.data(), 1, block.size(), stderr);
  fflush(stderr);
  return 1;  // IDOK
}

}  // namespace tavrin::platform
