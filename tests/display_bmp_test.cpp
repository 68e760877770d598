// The bitmap item: placement, hit-testing, text fields, drawing, ownership.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "support/drawing_target.h"
#include "support/environment.h"
#include "support/sim_folder.h"
#include "tavrin/display/bmp.h"

namespace {

using tavrin::test::DrawingTarget;
using tavrin::test::ExpectPixels;
using tavrin::test::GdiCounts;

constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr COLORREF kGreen = RGB(0, 160, 0);
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kYellow = RGB(255, 255, 0);

// A new colour bitmap, filled with fill and with a white (transparent)
// hole of 4 x 4 at (hole_x, hole_y), handed over as a bare handle.
HBITMAP MakeButton(int width, int height, COLORREF fill, int hole_x = -10, int hole_y = -10) {
  CBitmap bitmap;
  tavrin::test::MakeColourBitmap(&bitmap, width, height);
  CDC dc;
  dc.CreateCompatibleDC(nullptr);
  CBitmap* previous = dc.SelectObject(&bitmap);
  dc.FillSolidRect(0, 0, width, height, fill);
  dc.FillSolidRect(hole_x, hole_y, 4, 4, kWhite);
  dc.SelectObject(previous);
  return static_cast<HBITMAP>(bitmap.Detach());
}

TEST(BmpItem, AlignmentCodesPlacementRectangleAndHitTest) {
  CLibBmp item;
  const short codes[][2] = {{0, 0}, {1, 2}, {2, 6}, {7, 0}};  // code, Windows flags
  for (const auto& code : codes) {
    item.SetTxtAlign(code[0]);
    EXPECT_EQ(code[1], item.GetTxtAlign()) << code[0];
  }
  item.SetBmp(MakeButton(40, 30, kGreen));
  item.SetBmpPos(10, 20);
  CRect rect;
  item.GetBmpRect(&rect);
  EXPECT_EQ(rect.left, 10);
  EXPECT_EQ(rect.top, 20);
  EXPECT_EQ(rect.right, 50);
  EXPECT_EQ(rect.bottom, 50);
  EXPECT_TRUE(item.IsOnCursor(CPoint(10, 20)));
  EXPECT_TRUE(item.IsOnCursor(CPoint(49, 49)));
  EXPECT_FALSE(item.IsOnCursor(CPoint(50, 20)));
  EXPECT_FALSE(item.IsOnCursor(CPoint(10, 50)));
}

TEST(BmpItem, WithoutABitmapTheSizeIsZeroAndNothingIsDrawn) {
  CLibBmp item;
  EXPECT_FALSE(item.SetBmp(60001u));
  item.SetBmpPos(5, 6);
  EXPECT_EQ(item.GetBmpWidth(), 0);
  EXPECT_EQ(item.GetBmpBottomPos(), 6);
  EXPECT_FALSE(item.IsOnCursor(CPoint(5, 6)));
  DrawingTarget target(20, 20, kBlue);
  const std::string before = target.Pixels();
  item.DrawBmp(&target.dc);
  item.DrawTxt(&target.dc);
  EXPECT_EQ(target.Pixels(), before);
}

TEST(BmpItem, TextAndLabelAreBoundedCopies) {
  CLibBmp item;
  std::string text(127, 'T'), label(32, 'L');
  char out[128];
  std::string longer = text + "overflow";
  item.SetTxt(longer.data());
  item.GetTxt(out);
  EXPECT_EQ(std::string(out), text);

  char name[33];
  std::string long_label = label + "xyz";
  item.SetBmpName(long_label.data());
  item.GetBmpName(name);
  EXPECT_EQ(std::string(name), label);

  if (tavrin::test::NarrowTextIsUtf8()) {
    std::string split = std::string(126, 'a') + "\xC3\xA9";  // the last character would be cut in half
    item.SetTxt(split.data());
    item.GetTxt(out);
    EXPECT_EQ(std::string(out), std::string(126, 'a'));
  }
}

TEST(BmpItem, DrawBmpShowsTheTargetThroughTransparentPixelsOrFillsTheBackground) {
  DrawingTarget target(60, 60, kBlue);
  CLibBmp item;
  item.SetBmp(MakeButton(40, 30, kGreen, 10, 10));
  item.SetBmpPos(10, 20);
  item.DrawBmp(&target.dc);  // background mode off: the target shows through the hole
  ExpectPixels(target.dc, {{10, 20, kGreen}, {21, 31, kBlue}, {9, 19, kBlue}});

  item.SetBackClrMode(true);  // the background rectangle (9, 19, 51, 51)
  item.DrawBmp(&target.dc);
  ExpectPixels(target.dc, {{9, 19, kYellow}, {50, 50, kYellow}, {8, 18, kBlue}, {21, 31, kYellow}, {49, 49, kGreen}});

  // Grown to (7, 16, 53, 54); a new placement drops the widening.
  DrawingTarget grown(60, 60, kBlue), placed(60, 60, kBlue);
  item.InflateBackClrRect(2, 3);
  item.DrawBmp(&grown.dc);
  ExpectPixels(grown.dc, {{7, 16, kYellow}, {52, 53, kYellow}, {6, 16, kBlue}, {53, 54, kBlue}});
  item.SetBmpPos(10, 20);
  item.DrawBmp(&placed.dc);
  ExpectPixels(placed.dc, {{9, 19, kYellow}, {8, 19, kBlue}});
}

// The reference: the same texts written with TextOut onto the same bitmap.
std::string Reference(const char* first, const char* second, CFont* font, UINT align) {
  DrawingTarget reference(80, 30, kGreen);
  CFont* previous = font != nullptr ? reference.dc.SelectObject(font) : nullptr;
  reference.dc.SetTextColor(kWhite);
  reference.dc.SetBkMode(TRANSPARENT);
  reference.dc.SetTextAlign(align | TA_BASELINE);
  for (const char* text : {first, second}) {
    if (text != nullptr) reference.dc.TextOut(40, 22, text, static_cast<int>(std::strlen(text)));
  }
  if (previous != nullptr) reference.dc.SelectObject(previous);
  return reference.Pixels();
}

TEST(BmpItem, DrawTxtWritesIntoTheBitmapAndKeepsEarlierText) {
  LOGFONT lf{};
  lf.lfHeight = 140;
  lf.lfWeight = FW_BOLD;
  std::strcpy(lf.lfFaceName, "DejaVu Sans");
  CFont font;
  ASSERT_TRUE(font.CreatePointFontIndirect(&lf));

  for (CFont* chosen : {static_cast<CFont*>(nullptr), &font}) {
    CLibBmp item;
    item.SetBmp(MakeButton(80, 30, kGreen));
    item.SetBmpPos(0, 0);
    item.SetBmpTransparent(RGB(255, 0, 255));
    item.SetTxtPos(40, 22);
    item.SetTxtClr(kWhite);
    item.SetTxtAlign(2);
    if (chosen != nullptr) item.SetFont(chosen);
    DrawingTarget target(80, 30, kBlue);
    item.SetTxt(const_cast<char*>("Ab"));
    item.DrawTxt(&target.dc);
    item.SetTxt(const_cast<char*>("-+-"));
    item.DrawTxt(&target.dc);
    const std::string both = Reference("Ab", "-+-", chosen, TA_CENTER);
    EXPECT_EQ(target.Pixels(), both);
    EXPECT_NE(both, Reference(nullptr, "-+-", chosen, TA_CENTER));
  }
  EXPECT_NE(Reference("Ab", nullptr, nullptr, TA_CENTER), Reference("Ab", nullptr, &font, TA_CENTER));
}

TEST(BmpItem, EachHandedInBitmapIsDeletedOnceAndCopiesOwnTheirOwn) {
  const tavrin_gdi_counts before = GdiCounts();
  {
    CLibBmp item;
    item.SetBmp(MakeButton(8, 8, kGreen));
    HBITMAP second = MakeButton(8, 8, kYellow);
    item.SetBmp(second);
    item.SetBmp(second);
    item.SetBmpPos(1, 1);
    CLibBmp copy(item);
    CLibBmp assigned;
    assigned = item;
    item.SetBmp(MakeButton(8, 8, kBlue));  // the copies keep their pictures
    DrawingTarget target(10, 10, kWhite);
    assigned.DrawBmp(&target.dc);
    EXPECT_EQ(target.dc.GetPixel(1, 1), kYellow);
    EXPECT_EQ(copy.GetBmpWidth(), 8);
  }
  const tavrin_gdi_counts after = GdiCounts();
  EXPECT_EQ(after.bitmaps, before.bitmaps);
  EXPECT_EQ(after.device_contexts, before.device_contexts);
  EXPECT_EQ(after.refused_deletions, before.refused_deletions);
}

struct Invalidation {
  int calls = 0;
  HWND window = nullptr;
  RECT rect{};
};

void Record(HWND window, const RECT* rect, void* context) {
  auto* seen = static_cast<Invalidation*>(context);
  ++seen->calls;
  seen->window = window;
  seen->rect = *rect;
}

TEST(BmpItem, BackgroundModeRepaintsTheBackgroundRectangleOfItsWindowOnly) {
  Invalidation seen;
  tavrin_set_invalidate_handler(&Record, &seen);
  CLibBmp no_window;
  no_window.SetBackClrMode(true);
  EXPECT_EQ(seen.calls, 0);

  HWND window = reinterpret_cast<HWND>(0x1234);
  CLibBmp item(window);
  item.SetBmp(MakeButton(40, 30, kGreen));
  item.SetBmpPos(10, 20);
  item.SetBackClrMode(false);
  tavrin_set_invalidate_handler(nullptr, nullptr);
  EXPECT_EQ(seen.calls, 1);
  EXPECT_EQ(seen.window, window);
  EXPECT_EQ(seen.rect.left, 9);
  EXPECT_EQ(seen.rect.bottom, 51);
}

// A 24-bit bottom-up BMP file of one colour.
std::string BmpFile(int width, int height, COLORREF colour) {
  const int stride = (width * 3 + 3) & ~3;
  std::string file(54 + stride * height, '\0');
  auto put = [&](std::size_t at, unsigned value, int bytes) {
    for (int i = 0; i < bytes; ++i) file[at + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
  };
  put(0, 'B' | ('M' << 8), 2);
  put(2, static_cast<unsigned>(file.size()), 4);
  put(10, 54, 4);
  put(14, 40, 4);
  put(18, width, 4);
  put(22, height, 4);
  put(26, 1, 2);
  put(28, 24, 2);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      put(54 + y * stride + x * 3, GetBValue(colour) | (GetGValue(colour) << 8) | (GetRValue(colour) << 16), 3);
    }
  }
  return file;
}

TEST(BmpItem, BitmapsComeFromTheResourceFoldersInOrder) {
  tavrin::test::TemporaryFolder added, listed;
  tavrin::test::WriteFile(added.path() / "7.bmp", BmpFile(4, 3, kGreen));
  tavrin::test::WriteFile(listed.path() / "7.bmp", BmpFile(5, 5, kBlue));
  tavrin::test::WriteFile(listed.path() / "button.bmp", BmpFile(6, 2, kYellow));
  tavrin::test::ScopedEnv env("TAVRIN_RESOURCES", listed.path().string().c_str());

  CLibBmp item;
  EXPECT_TRUE(item.SetBmp(7u));
  item.SetBmpPos(0, 0);
  EXPECT_EQ(item.GetBmpWidth(), 5);
  ASSERT_EQ(tavrin_add_resource_folder(added.path().string().c_str()), 1);
  EXPECT_TRUE(item.SetBmp(7u));
  item.SetBmpPos(0, 0);
  EXPECT_EQ(item.GetBmpWidth(), 4);
  DrawingTarget target(8, 8, kWhite);
  item.DrawBmp(&target.dc);
  ExpectPixels(target.dc, {{3, 2, kGreen}, {4, 2, kWhite}});

  item.SetBmp(const_cast<char*>("button"));
  item.SetBmpPos(0, 0);
  EXPECT_EQ(item.GetBmpWidth(), 6);
  EXPECT_FALSE(item.SetBmp(8u));
  item.SetBmpPos(0, 0);
  EXPECT_EQ(item.GetBmpWidth(), 0);
  tavrin_clear_resource_folders();
}

}  // namespace
