// tavrin-simview's --png frame (Linux, like the viewer): the left chuck is
// drawn where its Z position puts it, and moves by the expected number of
// pixels after CLibChuckModel::SetPosZ, while the right one stays.
#include <cairo.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "support/run_command.h"
#include "tavrin/configuration.h"
#include "tavrin/simulation/chuck_model.h"
#include "tools/simview/layout.h"

namespace fs = std::filesystem;
namespace view = tavrin::simview;

namespace tavrin::test {
namespace {

struct Span {
  int first = -1, last = -1;  // columns of the first and last matching pixel; -1 when none
};

// The span of pixels of `colour` (0xRRGGBB) on row `y` of the PNG file,
// between columns `begin` and `end` (excluded).
Span FindColour(const fs::path& png, int y, std::uint32_t colour, int begin, int end) {
  Span span;
  cairo_surface_t* image = cairo_image_surface_create_from_png(png.c_str());
  if (cairo_surface_status(image) == CAIRO_STATUS_SUCCESS && y < cairo_image_surface_get_height(image)) {
    const unsigned char* row = cairo_image_surface_get_data(image) + y * cairo_image_surface_get_stride(image);
    end = std::min(end, cairo_image_surface_get_width(image));
    for (int x = begin; x < end; ++x) {
      std::uint32_t pixel = reinterpret_cast<const std::uint32_t*>(row)[x] & 0xFFFFFF;
      if (pixel != colour) continue;
      if (span.first < 0) span.first = x;
      span.last = x;
    }
  }
  cairo_surface_destroy(image);
  return span;
}

class SimviewPngTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = fs::temp_directory_path() /
              ("tavrin-simview-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()));
    fs::remove_all(folder_);
    fs::create_directories(folder_);
    fs::copy(fs::path(TAVRIN_TEST_SOURCE_DIR) / "examples" / "sim", folder_ / "c", fs::copy_options::recursive);
    lib_SetDriveFolder('C', (folder_ / "c").c_str());
  }
  void TearDown() override {
    lib_SetDriveFolder('C', nullptr);
    fs::remove_all(folder_);
  }
  // Draws a frame into `png` without a display.
  CommandResult Draw(const fs::path& png) const {
    return RunCommand(TAVRIN_SIMVIEW, {"--png", png.string()},
                      {"DISPLAY=", "XDG_STATE_HOME=" + (folder_ / "xdg").string(),
                       "TAVRIN_DRIVE_C=" + (folder_ / "c").string()});
  }

  fs::path folder_;
};

TEST_F(SimviewPngTest, ChuckIsDrawnAtItsZAndFollowsSetPosZ) {
  constexpr int kRow = view::kAxisY - view::kChuckHeight / 2 + 10;  // through the chucks only
  CLibChuckModel left('L');
  ASSERT_TRUE(left.IsDefine());
  double z = left.GetPosZ();

  CommandResult before = Draw(folder_ / "before.png");
  ASSERT_EQ(before.exit_code, 0) << before.err;
  Span left_before = FindColour(folder_ / "before.png", kRow, view::kChuckColour, 0, view::kCanvasWidth / 2);
  Span right_before =
      FindColour(folder_ / "before.png", kRow, view::kChuckColour, view::kCanvasWidth / 2, view::kCanvasWidth);
  int face = static_cast<int>(std::lround(view::kLeftOriginX + z * view::kPixelsPerMm));
  EXPECT_EQ(left_before.first, face - view::kChuckLength);
  EXPECT_EQ(left_before.last, face - 1);
  ASSERT_GE(right_before.first, 0);

  constexpr double kMoveMm = -30.0;
  ASSERT_EQ(left.SetPosZ(z + kMoveMm), 0);
  CommandResult after = Draw(folder_ / "after.png");
  ASSERT_EQ(after.exit_code, 0) << after.err;
  Span left_after = FindColour(folder_ / "after.png", kRow, view::kChuckColour, 0, view::kCanvasWidth / 2);
  Span right_after =
      FindColour(folder_ / "after.png", kRow, view::kChuckColour, view::kCanvasWidth / 2, view::kCanvasWidth);
  int shift = static_cast<int>(std::lround(kMoveMm * view::kPixelsPerMm));
  EXPECT_EQ(left_after.first, left_before.first + shift);
  EXPECT_EQ(left_after.last, left_before.last + shift);
  EXPECT_EQ(right_after.first, right_before.first);
  EXPECT_EQ(right_after.last, right_before.last);

  // A file that cannot be written is refused with a reason.
  CommandResult refused = Draw(folder_ / "no-such-folder" / "out.png");
  EXPECT_EQ(refused.exit_code, 1);
  EXPECT_NE(refused.err.find("cannot write"), std::string::npos);
  // A mistyped option is named with the nearest one.
  CommandResult mistyped = RunCommand(TAVRIN_SIMVIEW, {"--pgn", "x.png"}, {"DISPLAY="});
  EXPECT_EQ(mistyped.exit_code, 2);
  EXPECT_NE(mistyped.err.find("unknown option \"--pgn\"; did you mean \"--png\"?"), std::string::npos);
}

}  // namespace
}  // namespace tavrin::test
