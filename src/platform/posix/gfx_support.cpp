// The parts of the Linux drawing layer that need no drawing library, in
// every build: the resource folder of the installed library, window
// invalidation and narrow-text cutting.
#include "platform/graphics.h"

#ifndef TAVRIN_INSTALLED_RESOURCES
#define TAVRIN_INSTALLED_RESOURCES ""
#endif

namespace tavrin::platform {

const char* InstalledResourceFolder() { return TAVRIN_INSTALLED_RESOURCES; }

char PathListSeparator() { return ':'; }

// Windows are the toolkit's: without an invalidation handler nothing is done.
void InvalidateWindowRect(HWND, const RECT*, bool) {}

std::size_t NarrowTextCut(const char* text, std::size_t max_bytes) {
  if (text == nullptr) return 0;
  std::size_t length = 0;
  while (length < max_bytes && text[length] != '\0') ++length;
  if (length < max_bytes || text[length] == '\0') return length;
  // Cut at max_bytes: step back over continuation bytes to the start of the
  // character that would be split, unless it ends exactly there.
  std::size_t start = length;
  while (start > 0 && (static_cast<unsigned char>(text[start]) & 0xC0) == 0x80) --start;
  return start;
}

}  // namespace tavrin::platform
