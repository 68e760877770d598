#include "support/drawing_target.h"

namespace tavrin::test {

// Every bitmap is 32-bit colour here.
bool MakeColourBitmap(CBitmap* bitmap, int width, int height) {
  CDC screen;
  return screen.CreateCompatibleDC(nullptr) && bitmap->CreateCompatibleBitmap(&screen, width, height);
}

bool NarrowTextIsUtf8() { return true; }

}  // namespace tavrin::test
