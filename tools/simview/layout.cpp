#include "layout.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace tavrin::simview {

namespace {
// Far enough off the picture to stay invisible, small enough for int maths.
constexpr int kClampMargin = 1000;

int XOfZ(char side, double z) {
  double x = (side == 'L' ? kLeftOriginX : kRightOriginX) + z * kPixelsPerMm;
  x = std::clamp(x, static_cast<double>(-kClampMargin), static_cast<double>(kCanvasWidth + kClampMargin));
  return static_cast<int>(std::lround(x));
}

// A rectangle whose face nearer the middle is at Z, reaching `length` pixels
// towards the side's spindle, from `top` down `height` pixels.
Box BoxAt(char side, double z, int length, int top, int height) {
  int face = XOfZ(side, z);
  return Box{side == 'L' ? face - length : face, top, length, height};
}

std::string Label(const char* name, double z) {
  char text[48];
  std::snprintf(text, sizeof text, "%s %.1f", name, z);
  return text;
}

void LayOutSpindle(char side, const Spindle& spindle, std::vector<Piece>* pieces) {
  if (spindle.chuck.defined)
    pieces->push_back({side, "chuck", BoxAt(side, spindle.chuck.z, kChuckLength, kAxisY - kChuckHeight / 2, kChuckHeight),
                       kChuckColour, Label("chuck", spindle.chuck.z)});
  if (spindle.jaw.defined) {
    int upper = kAxisY - kJawGap - kJawHeight;
    pieces->push_back({side, "jaw", BoxAt(side, spindle.jaw.z, kJawLength, upper, kJawHeight), kJawColour,
                       Label("jaw", spindle.jaw.z)});
    pieces->push_back({side, "jaw", BoxAt(side, spindle.jaw.z, kJawLength, kAxisY + kJawGap, kJawHeight), kJawColour, ""});
  }
  if (spindle.work.defined)
    pieces->push_back({side, "work", BoxAt(side, spindle.work.z, kWorkLength, kAxisY - kWorkHeight / 2, kWorkHeight),
                       kWorkColour, Label("work", spindle.work.z)});
}
}  // namespace

std::vector<Piece> LayOut(const Scene& scene) {
  std::vector<Piece> pieces;
  LayOutSpindle('L', scene.left, &pieces);
  LayOutSpindle('R', scene.right, &pieces);
  return pieces;
}

}  // namespace tavrin::simview
