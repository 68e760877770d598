#include "support/drawing_target.h"

#include <cstdio>

namespace tavrin::test {

DrawingTarget::DrawingTarget(int w, int h, COLORREF fill) : width(w), height(h) {
  dc.CreateCompatibleDC(nullptr);
  MakeColourBitmap(&bitmap, w, h);
  previous_ = dc.SelectObject(&bitmap);
  dc.FillSolidRect(0, 0, w, h, fill);
}

DrawingTarget::~DrawingTarget() {
  if (previous_ != nullptr) dc.SelectObject(previous_);
}

std::string DrawingTarget::Pixels() const {
  std::string pixels;
  char text[8];
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      std::snprintf(text, sizeof text, "%06X", static_cast<unsigned>(dc.GetPixel(x, y)));
      pixels += text;
    }
  }
  return pixels;
}

}  // namespace tavrin::test
