// The drawing classes under the items: scaled colour-key copies, bitmaps in
// one device context at a time, text of any bytes.
#include <gtest/gtest.h>

#include "support/drawing_target.h"

namespace {

using tavrin::test::DrawingTarget;

constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kMagenta = RGB(255, 0, 255);

TEST(DrawingClasses, ScaledColourKeyCopyRepeatsPixelsAndSkipsTheKey) {
  DrawingTarget source(2, 2, kRed);
  source.dc.FillSolidRect(1, 1, 1, 1, kMagenta);
  DrawingTarget target(6, 6, kBlue);
  ASSERT_TRUE(target.dc.TransparentBlt(1, 1, 4, 4, &source.dc, 0, 0, 2, 2, kMagenta));
  EXPECT_EQ(target.dc.GetPixel(0, 0), kBlue);
  EXPECT_EQ(target.dc.GetPixel(1, 1), kRed);
  EXPECT_EQ(target.dc.GetPixel(4, 2), kRed);
  EXPECT_EQ(target.dc.GetPixel(3, 3), kBlue);  // the key pixel, doubled
  EXPECT_EQ(target.dc.GetPixel(4, 4), kBlue);
  EXPECT_EQ(target.dc.GetPixel(5, 5), kBlue);
}

TEST(DrawingClasses, ABitmapIsSelectedInOneDeviceContextAtATime) {
  DrawingTarget first(4, 3, kBlue);
  BITMAP description{};
  ASSERT_EQ(first.bitmap.GetBitmap(&description), static_cast<int>(sizeof description));
  EXPECT_EQ(description.bmWidth, 4);
  EXPECT_EQ(description.bmHeight, 3);
  CDC second;
  ASSERT_TRUE(second.CreateCompatibleDC(&first.dc));
  EXPECT_EQ(second.SelectObject(&first.bitmap), nullptr);
  EXPECT_EQ(CBitmap::FromHandle(first.bitmap), &first.bitmap);
}

TEST(DrawingClasses, TextOfAnyBytesIsDrawnOnOneLine) {
  DrawingTarget target(120, 40, kBlue);
  const std::string before = target.Pixels();
  target.dc.SetTextColor(kRed);
  EXPECT_TRUE(target.dc.TextOut(2, 2, "A\xFF\n\xC3", 4));
  EXPECT_NE(target.Pixels(), before);
  EXPECT_FALSE(target.dc.TextOut(2, 2, nullptr, 3));
}

}  // namespace
