// The font set: the index rule, the shared current-font object, selection
// and ownership.
#include <gtest/gtest.h>

#include <cstring>

#include "support/drawing_target.h"
#include "tavrin/display/font.h"

namespace {

using tavrin::test::GdiCounts;

LOGFONT Description(long tenths_of_a_point) {
  LOGFONT lf{};
  lf.lfHeight = tenths_of_a_point;
  std::strcpy(lf.lfFaceName, "DejaVu Sans");
  return lf;
}

// The pixel height of the font an object shows (0 without a font).
long PixelHeight(CFont* font) {
  LOGFONT lf{};
  return font != nullptr && font->GetLogFont(&lf) != 0 ? lf.lfHeight : 0;
}

TEST(FontSet, IndexOneFifteenAndEverythingElse) {
  LOGFONT small = Description(90), medium = Description(120), large = Description(150);
  CLibFont three(&small, &medium, &large);
  // Tenths of a point at 96 pixels per inch: 9 pt = 12 px, 12 pt = 16 px, 15 pt = 20 px.
  CFont* current = three.GetCFontPtr(1);
  EXPECT_EQ(PixelHeight(current), -12);
  EXPECT_EQ(three.GetCFontPtr(15), current);
  EXPECT_EQ(PixelHeight(current), -20);
  for (short index : {0, 2, 4, -1}) {
    EXPECT_EQ(three.GetCFontPtr(index), current);
    EXPECT_EQ(PixelHeight(current), -16) << index;
  }

  CLibFont two(&small, &medium);
  EXPECT_EQ(PixelHeight(two.GetCFontPtr(15)), -16);  // no third font: the second
  EXPECT_EQ(PixelHeight(two.GetCFontPtr(1)), -12);
}

TEST(FontSet, SelectObjectGivesBackThePreviousFont) {
  LOGFONT small = Description(90), medium = Description(120);
  CLibFont set(&small, &medium);
  CFont own;
  LOGFONT lf = Description(200);
  ASSERT_TRUE(own.CreatePointFontIndirect(&lf));
  CDC dc;
  ASSERT_TRUE(dc.CreateCompatibleDC(nullptr));
  CFont* original = dc.SelectObject(&own);
  ASSERT_NE(original, nullptr);

  EXPECT_EQ(set.SelectObject(&dc, 1), &own);
  HGDIOBJ first = set.GetCFontPtr(1)->GetSafeHandle();
  CFont* previous = set.SelectObject(&dc, 2);
  ASSERT_NE(previous, nullptr);
  EXPECT_EQ(previous->GetSafeHandle(), first);
  EXPECT_EQ(PixelHeight(previous), -12);
  dc.SelectObject(original);  // deselect before the set goes
}

TEST(FontSet, OwnershipEmptySetsAndCopies) {
  const tavrin_gdi_counts before = GdiCounts();
  {
    CLibFont empty;
    EXPECT_EQ(empty.GetCFontPtr(1), nullptr);
    CDC dc;
    ASSERT_TRUE(dc.CreateCompatibleDC(nullptr));
    EXPECT_EQ(empty.SelectObject(&dc, 1), nullptr);
  }
  EXPECT_EQ(GdiCounts().fonts, before.fonts);
  {
    LOGFONT a = Description(90), b = Description(120), c = Description(150);
    auto* original = new CLibFont(&a, &b, &c);
    EXPECT_EQ(GdiCounts().fonts, before.fonts + 3);
    CLibFont copy(*original);
    CLibFont assigned;
    assigned = *original;
    EXPECT_EQ(GdiCounts().fonts, before.fonts + 9);
    delete original;
    EXPECT_EQ(PixelHeight(copy.GetCFontPtr(15)), -20);
    EXPECT_EQ(PixelHeight(assigned.GetCFontPtr(1)), -12);
  }
  const tavrin_gdi_counts after = GdiCounts();
  EXPECT_EQ(after.fonts, before.fonts);
  EXPECT_EQ(after.refused_deletions, before.refused_deletions);
}

}  // namespace
