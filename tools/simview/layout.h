// Where tavrin-simview draws each part: the scene's Z positions turned into
// rectangles in pixels, apart from any drawing so that it can be checked.
//
// The picture is a side view of the two spindles along a horizontal Z axis,
// 1 pixel per mm.  Each spindle has its own origin on the axis (its Z = 0):
// the left one at x = 250, the right one at x = 550, and on both sides Z
// grows to the right, as in the assembly file (where the example's right
// chuck is at +120 and its workpiece at -100, so that both sides' parts face
// each other).  Each part's Z is the face of its rectangle nearer the middle
// of the picture; the rectangle reaches from there towards its own spindle.
// Rectangles are rounded to whole pixels; parts not defined in the machine
// file get none.  Positions far off the picture are clamped a little beyond
// its edges.
#ifndef TAVRIN_TOOLS_SIMVIEW_LAYOUT_H
#define TAVRIN_TOOLS_SIMVIEW_LAYOUT_H

#include <cstdint>
#include <string>
#include <vector>

#include "scene.h"

namespace tavrin::simview {

constexpr int kCanvasWidth = 800;
constexpr int kCanvasHeight = 400;
constexpr int kAxisY = 220;              // the spindles' axis
constexpr double kPixelsPerMm = 1.0;
constexpr int kLeftOriginX = 250;        // left spindle's Z = 0
constexpr int kRightOriginX = 550;       // right spindle's Z = 0

// Sizes in pixels (along Z, then across it).
constexpr int kChuckLength = 60, kChuckHeight = 180;
constexpr int kJawLength = 24, kJawHeight = 30, kJawGap = 30;  // gap: axis to jaw
constexpr int kWorkLength = 120, kWorkHeight = 60;

// Fill colours, 0xRRGGBB.
constexpr std::uint32_t kChuckColour = 0x4070B0;
constexpr std::uint32_t kJawColour = 0xE09020;
constexpr std::uint32_t kWorkColour = 0x90C060;

struct Box {
  int x, y, width, height;  // top left corner and size, in pixels
};

struct Piece {
  char side;            // 'L' or 'R'
  const char* name;     // "chuck", "jaw" (upper and lower), "work"
  Box box;
  std::uint32_t colour;
  std::string label;    // e.g. "chuck -120.0"; empty on the lower jaw
};

// The pieces in drawing order (chuck, then jaws, then workpiece, left side
// first).
std::vector<Piece> LayOut(const Scene& scene);

}  // namespace tavrin::simview

#endif
