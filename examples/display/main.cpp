// Draws a row of operator-panel buttons with text over a back buffer and
// writes the picture to a PNG file (the first argument, or
// "display_example.png").
//
// The pictures are bitmap resources found in a resource folder: the program
// writes them there as BMP files first (a panel background and a rounded
// button whose corners are white, the transparent colour), the way an
// application ships its bitmaps beside itself.
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "png_file.h"
#include "tavrin/tavrin.h"

namespace {

constexpr int kWidth = 520, kHeight = 120;
constexpr int kButtonWidth = 110, kButtonHeight = 44;
constexpr COLORREF kKey = RGB(255, 0, 255);  // the back buffer's transparent colour

// Writes a 24-bit BMP whose pixels come from colour(x, y).
void WriteBmp(const std::filesystem::path& path, int width, int height,
              const std::function<COLORREF(int, int)>& colour) {
  const int stride = (width * 3 + 3) & ~3;
  std::vector<unsigned char> file(54 + static_cast<std::size_t>(stride) * height, 0);
  auto put = [&](std::size_t at, unsigned value, int bytes) {
    for (int i = 0; i < bytes; ++i) file[at + i] = static_cast<unsigned char>(value >> (8 * i));
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
      COLORREF c = colour(x, height - 1 - y);
      put(54 + static_cast<std::size_t>(y) * stride + x * 3, GetBValue(c) | (GetGValue(c) << 8) | (GetRValue(c) << 16), 3);
    }
  }
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(file.data()), file.size());
}

// A rounded button in a vertical steel-blue gradient; white outside.
COLORREF ButtonPixel(int x, int y) {
  const double r = 9;
  double cx = std::min(std::max(x + 0.5, r), kButtonWidth - r);
  double cy = std::min(std::max(y + 0.5, r), kButtonHeight - r);
  double d = std::hypot(x + 0.5 - cx, y + 0.5 - cy);
  if (d > r) return RGB(255, 255, 255);
  if (d > r - 1.5 || y == 0 || y == kButtonHeight - 1) return RGB(20, 40, 70);
  int shade = 150 - y * 80 / kButtonHeight;
  return RGB(shade / 3, shade / 2 + 20, shade + 60);
}

void WriteResources(const std::filesystem::path& folder) {
  WriteBmp(folder / "panel.bmp", kWidth, kHeight, [](int x, int y) {
    return (x / 8 + y / 8) % 2 ? RGB(52, 56, 62) : RGB(58, 62, 68);
  });
  WriteBmp(folder / "button.bmp", kButtonWidth, kButtonHeight, ButtonPixel);
}

}  // namespace

int main(int argc, char** argv) {
  const std::string output = argc > 1 ? argv[1] : "display_example.png";
  const std::filesystem::path folder = std::filesystem::temp_directory_path() / "tavrin-display-example";
  std::filesystem::create_directories(folder);
  WriteResources(folder);
  tavrin_add_resource_folder(folder.string().c_str());

  // The "screen": a memory device context holding the panel's picture.
  CDC screen;
  CBitmap panel;
  if (!screen.CreateCompatibleDC(nullptr) || !panel.LoadBitmap("panel")) {
    std::fprintf(stderr, "cannot load the panel bitmap from %s\n", folder.string().c_str());
    return 1;
  }
  CBitmap* original = screen.SelectObject(&panel);

  // The font set: index 1 (Japanese panel) would pick the first font.
  LOGFONT japanese{}, western{};
  japanese.lfHeight = western.lfHeight = 110;
  western.lfWeight = FW_BOLD;
  std::snprintf(western.lfFaceName, sizeof western.lfFaceName, "%s", "DejaVu Sans");
  CLibFont fonts(&japanese, &western);

  // Draw off-screen, then copy in one step; the panel shows wherever the
  // back buffer keeps the transparent colour.
  RECT client{0, 0, kWidth, kHeight};
  CDC back;
  lib_BackDrawStart(&screen, &back, &client, nullptr, kKey);
  back.FillSolidRect(0, 0, kWidth, 26, RGB(24, 28, 34));
  back.SetTextColor(RGB(230, 230, 230));
  back.SetBkMode(TRANSPARENT);
  CFont* previous_font = fonts.SelectObject(&back, 0);
  back.TextOut(12, 5, "MODE SELECT", 11);
  if (previous_font != nullptr) back.SelectObject(previous_font);

  const char* labels[] = {"AUTO", "MDI", "JOG", "EDIT"};
  for (int i = 0; i < 4; ++i) {
    CLibBmp button;
    button.SetBmp(const_cast<char*>("button"));
    button.SetBmpPos(static_cast<short>(16 + i * 125), 50);
    button.SetTxt(const_cast<char*>(labels[i]));
    button.SetTxtAlign(2);
    button.SetTxtPos(kButtonWidth / 2, 28);
    button.SetTxtClr(RGB(250, 250, 250));  // pure white is the transparent colour
    button.SetFont(fonts.GetCFontPtr(0));
    if (i == 1) {  // the selected mode carries a yellow frame
      button.SetBackClrMode(true);
      button.InflateBackClrRect(2, 2);
      button.DrawBmp(&back);
    }
    button.DrawTxt(&back);
  }
  lib_BackDrawEnd(&screen, &back, &client, nullptr, kKey);

  std::vector<std::uint8_t> rgb;
  rgb.reserve(static_cast<std::size_t>(kWidth) * kHeight * 3);
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) {
      COLORREF c = screen.GetPixel(x, y);
      rgb.insert(rgb.end(), {GetRValue(c), GetGValue(c), GetBValue(c)});
    }
  }
  screen.SelectObject(original);
  if (!WritePng(output, kWidth, kHeight, rgb)) {
    std::fprintf(stderr, "cannot write %s\n", output.c_str());
    return 1;
  }
  std::printf("%s\n", output.c_str());
  return 0;
}
