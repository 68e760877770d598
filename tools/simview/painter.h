// Drawing tavrin-simview's picture with cairo, on the X window's surface or
// on an image surface written to a PNG file.
#ifndef TAVRIN_TOOLS_SIMVIEW_PAINTER_H
#define TAVRIN_TOOLS_SIMVIEW_PAINTER_H

#include <string>
#include <vector>

#include "scene.h"

typedef struct _cairo cairo_t;

namespace tavrin::simview {

// Paints the picture on the kCanvasWidth x kCanvasHeight area at the origin
// of `cr` (layout.h): white ground, `lines` at the top left, the Z axis with
// each spindle's Z = 0 marked, the pieces of LayOut(scene) and, below, each
// side's legend with the parts' Z values.
void Paint(cairo_t* cr, const Scene& scene, const std::vector<std::string>& lines);

// Paints one frame into a new PNG file at `path` (kCanvasWidth x
// kCanvasHeight, no display needed).  False when cairo cannot make the image
// or write the file, with cairo's reason in *error.
bool WritePng(const std::string& path, const Scene& scene, const std::vector<std::string>& lines,
              std::string* error);

}  // namespace tavrin::simview

#endif
