// The back buffer: fill, colour-key copy from (0, 0), and no objects left.
#include <gtest/gtest.h>

#include "support/drawing_target.h"
#include "tavrin/display/back_draw.h"

namespace {

using tavrin::test::DrawingTarget;
using tavrin::test::GdiCounts;

constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kGreen = RGB(0, 200, 0);
constexpr COLORREF kMagenta = RGB(255, 0, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);

TEST(BackDraw, BackgroundEqualToTransparentColourLeavesTargetUnchanged) {
  DrawingTarget target(60, 40, kBlue);
  const std::string before = target.Pixels();
  CDC memory;
  RECT rect{0, 0, 30, 20};
  lib_BackDrawStart(&target.dc, &memory, &rect, nullptr, kMagenta);
  lib_BackDrawEnd(&target.dc, &memory, &rect, nullptr, kMagenta);
  EXPECT_EQ(target.Pixels(), before);
}

TEST(BackDraw, OtherBackgroundPaintsWidthByHeightAndTransparentPixelsAreSkipped) {
  DrawingTarget target(60, 40, kBlue);
  CDC memory;
  RECT rect{0, 0, 30, 20};
  lib_BackDrawStart(&target.dc, &memory, &rect, nullptr, kRed);
  memory.FillSolidRect(5, 5, 4, 3, kMagenta);
  memory.FillSolidRect(20, 10, 2, 2, kGreen);
  lib_BackDrawEnd(&target.dc, &memory, &rect, nullptr, kMagenta);
  EXPECT_EQ(target.dc.GetPixel(0, 0), kRed);
  EXPECT_EQ(target.dc.GetPixel(29, 19), kRed);
  EXPECT_EQ(target.dc.GetPixel(30, 0), kBlue);
  EXPECT_EQ(target.dc.GetPixel(0, 20), kBlue);
  EXPECT_EQ(target.dc.GetPixel(5, 5), kBlue);   // transparent: the target shows
  EXPECT_EQ(target.dc.GetPixel(8, 7), kBlue);
  EXPECT_EQ(target.dc.GetPixel(9, 7), kRed);
  EXPECT_EQ(target.dc.GetPixel(21, 11), kGreen);
}

TEST(BackDraw, OffsetRectangleFillsItsOwnCoordinatesAndCopiesFromTheOrigin) {
  DrawingTarget target(60, 40, kBlue);
  CDC memory;
  RECT rect{10, 5, 40, 25};  // a 30 x 20 bitmap, filled from (10, 5) on
  lib_BackDrawStart(&target.dc, &memory, &rect, nullptr, kRed);
  lib_BackDrawEnd(&target.dc, &memory, &rect, nullptr, kMagenta);
  EXPECT_EQ(target.dc.GetPixel(0, 0), kBlack);  // the unfilled part of the new bitmap
  EXPECT_EQ(target.dc.GetPixel(9, 19), kBlack);
  EXPECT_EQ(target.dc.GetPixel(10, 5), kRed);
  EXPECT_EQ(target.dc.GetPixel(29, 19), kRed);
  EXPECT_EQ(target.dc.GetPixel(30, 5), kBlue);  // only width x height is copied
  EXPECT_EQ(target.dc.GetPixel(10, 20), kBlue);
}

TEST(BackDraw, StartEndPairsLeaveNothingBehindAndCanStartAgain) {
  DrawingTarget target(20, 20, kBlue);
  const tavrin_gdi_counts before = GdiCounts();
  CDC memory;
  RECT rect{0, 0, 20, 20};
  for (COLORREF background : {kRed, kGreen}) {
    lib_BackDrawStart(&target.dc, &memory, &rect, nullptr, background);
    EXPECT_NE(memory.GetSafeHdc(), nullptr);
    lib_BackDrawEnd(&target.dc, &memory, &rect, nullptr, kMagenta);
    EXPECT_EQ(memory.GetSafeHdc(), nullptr);
    EXPECT_EQ(target.dc.GetPixel(19, 19), background);
  }

  // The caller's own memory device context, with its bitmap selected back.
  CBitmap own;
  ASSERT_TRUE(tavrin::test::MakeColourBitmap(&own, 4, 4));
  ASSERT_TRUE(memory.CreateCompatibleDC(&target.dc));
  memory.SelectObject(&own);
  lib_BackDrawStart2(&target.dc, &memory, &rect, nullptr, kBlack);
  lib_BackDrawEnd(&target.dc, &memory, &rect, &own, kMagenta);
  EXPECT_EQ(memory.GetSafeHdc(), nullptr);
  EXPECT_EQ(target.dc.GetPixel(10, 10), kBlack);
  own.DeleteObject();

  const tavrin_gdi_counts after = GdiCounts();
  EXPECT_EQ(after.device_contexts, before.device_contexts);
  EXPECT_EQ(after.bitmaps, before.bitmaps);
  EXPECT_EQ(after.refused_deletions, before.refused_deletions);
}

}  // namespace
