// Drawing targets for the screen-drawing tests: a memory device context with
// a 32-bit colour bitmap, as a window's device context would be, on GDI or
// on cairo.
#ifndef TAVRIN_TESTS_SUPPORT_DRAWING_TARGET_H
#define TAVRIN_TESTS_SUPPORT_DRAWING_TARGET_H

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>

#include "tavrin/display/gdi.h"
#include "tavrin/display/resources.h"

namespace tavrin::test {

// Makes a colour bitmap of width x height and attaches it to bitmap (a
// 32-bit DIB section on Windows, so that colours stay exact).
bool MakeColourBitmap(CBitmap* bitmap, int width, int height);

// Whether narrow text is UTF-8 on this system (false: an ANSI code page).
bool NarrowTextIsUtf8();

class DrawingTarget {
 public:
  DrawingTarget(int width, int height, COLORREF fill);
  ~DrawingTarget();
  DrawingTarget(const DrawingTarget&) = delete;
  DrawingTarget& operator=(const DrawingTarget&) = delete;
  // The pixels as "RRGGBB" per pixel, rows one after another, for
  // whole-picture comparisons.
  std::string Pixels() const;

  CBitmap bitmap;
  CDC dc;
  int width, height;

 private:
  CBitmap* previous_ = nullptr;
};

// A pixel a test expects: where, and its colour.
struct Pixel {
  int x, y;
  COLORREF colour;
};
// Checks each pixel of dc, naming those that differ.
inline void ExpectPixels(const CDC& dc, std::initializer_list<Pixel> pixels) {
  for (const Pixel& p : pixels) EXPECT_EQ(dc.GetPixel(p.x, p.y), p.colour) << "pixel (" << p.x << ", " << p.y << ")";
}

inline tavrin_gdi_counts GdiCounts() {
  tavrin_gdi_counts counts{};
  tavrin_get_gdi_counts(&counts);
  return counts;
}

}  // namespace tavrin::test

#endif
