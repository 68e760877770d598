// The inner loop of the colour-key copy, kept apart so that it is built with
// the optimiser's vectorisation on whatever the build type.
#include "platform/posix/gfx_objects.h"

namespace tavrin::platform::gfx {

void ColourKeyCopyRow(std::uint32_t* __restrict dest, const std::uint32_t* __restrict src, int count,
                      std::uint32_t key) {
  // Written as a select with an unconditional store so that the compiler
  // turns it into vector compares and blends.
  for (int i = 0; i < count; ++i) {
    std::uint32_t pixel = src[i];
    dest[i] = (pixel & 0x00FFFFFFu) != key ? pixel : dest[i];
  }
}

}  // namespace tavrin::platform::gfx
