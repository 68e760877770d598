// The drawing classes under the items (scaled colour-key copies, bitmaps in
// one device context at a time, text of any bytes) and the back buffer on
// them: fill, colour-key copy from (0, 0), and no objects left.
#include <gtest/gtest.h>

#include "support/drawing_target.h"
#include "tavrin/display/back_draw.h"

namespace {

using tavrin::test::DrawingTarget;
using tavrin::test::ExpectPixels;
using tavrin::test::GdiCounts;

constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kGreen = RGB(0, 200, 0);
constexpr COLORREF kMagenta = RGB(255, 0, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);

TEST(DrawingClasses, ScaledColourKeyCopyRepeatsPixelsAndSkipsTheKey) {
  DrawingTarget source(2, 2, kRed);
  source.dc.FillSolidRect(1, 1, 1, 1, kMagenta);
  DrawingTarget target(6, 6, kBlue);
  ASSERT_TRUE(target.dc.TransparentBlt(1, 1, 4, 4, &source.dc, 0, 0, 2, 2, kMagenta));
  // The key pixel, doubled, leaves (3, 3) to (4, 4) as they were.
  ExpectPixels(target.dc, {{0, 0, kBlue}, {1, 1, kRed}, {4, 2, kRed}, {3, 3, kBlue}, {4, 4, kBlue}, {5, 5, kBlue}});
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

TEST(BackDraw, BackgroundPaintsWidthByHeightAndTransparentPixelsAreSkipped) {
  DrawingTarget target(60, 40, kBlue);
  const std::string before = target.Pixels();
  CDC memory;
  RECT rect{0, 0, 30, 20};
  lib_BackDrawStart(&target.dc, &memory, &rect, nullptr, kMagenta);  // the transparent colour: nothing shows
  lib_BackDrawEnd(&target.dc, &memory, &rect, nullptr, kMagenta);
  EXPECT_EQ(target.Pixels(), before);

  lib_BackDrawStart(&target.dc, &memory, &rect, nullptr, kRed);
  memory.FillSolidRect(5, 5, 4, 3, kMagenta);
  memory.FillSolidRect(20, 10, 2, 2, kGreen);
  lib_BackDrawEnd(&target.dc, &memory, &rect, nullptr, kMagenta);
  // Where the memory was transparent (5, 5 to 8, 7) the target shows.
  ExpectPixels(target.dc, {{0, 0, kRed}, {29, 19, kRed}, {30, 0, kBlue}, {0, 20, kBlue}, {5, 5, kBlue},
               {8, 7, kBlue}, {9, 7, kRed}, {21, 11, kGreen}});
}

TEST(BackDraw, OffsetRectangleFillsItsOwnCoordinatesAndCopiesFromTheOrigin) {
  DrawingTarget target(60, 40, kBlue);
  CDC memory;
  RECT rect{10, 5, 40, 25};  // a 30 x 20 bitmap, filled from (10, 5) on
  lib_BackDrawStart(&target.dc, &memory, &rect, nullptr, kRed);
  lib_BackDrawEnd(&target.dc, &memory, &rect, nullptr, kMagenta);
  // Up to (9, 19) the unfilled part of the new bitmap; only width x height is copied.
  ExpectPixels(target.dc, {{0, 0, kBlack}, {9, 19, kBlack}, {10, 5, kRed}, {29, 19, kRed}, {30, 5, kBlue},
               {10, 20, kBlue}});
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
