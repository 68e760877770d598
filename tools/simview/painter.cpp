#include "painter.h"

#include <cairo.h>

#include "layout.h"

namespace tavrin::simview {

namespace {
constexpr double kFontSize = 13.0;
constexpr int kLineHeight = 18;
constexpr int kLegendTop = kCanvasHeight - 60;

void SetColour(cairo_t* cr, std::uint32_t rgb) {
  cairo_set_source_rgb(cr, ((rgb >> 16) & 0xFF) / 255.0, ((rgb >> 8) & 0xFF) / 255.0, (rgb & 0xFF) / 255.0);
}

void Text(cairo_t* cr, double x, double y, const std::string& text) {
  cairo_move_to(cr, x, y);
  cairo_show_text(cr, text.c_str());
}

void PaintAxis(cairo_t* cr) {
  cairo_set_source_rgb(cr, 0.3, 0.3, 0.3);
  cairo_set_line_width(cr, 1.0);
  const double dashes[] = {8.0, 4.0};
  cairo_set_dash(cr, dashes, 2, 0.0);
  cairo_move_to(cr, 0, kAxisY + 0.5);
  cairo_line_to(cr, kCanvasWidth, kAxisY + 0.5);
  cairo_stroke(cr);
  cairo_set_dash(cr, nullptr, 0, 0.0);
  for (int x : {kLeftOriginX, kRightOriginX}) {
    cairo_move_to(cr, x + 0.5, kAxisY - 100);
    cairo_line_to(cr, x + 0.5, kAxisY - 94);
    cairo_stroke(cr);
    Text(cr, x - 20, kAxisY - 104, x == kLeftOriginX ? "L Z=0" : "R Z=0");
  }
}
}  // namespace

void Paint(cairo_t* cr, const Scene& scene, const std::vector<std::string>& lines) {
  cairo_save(cr);
  cairo_set_source_rgb(cr, 1, 1, 1);
  cairo_rectangle(cr, 0, 0, kCanvasWidth, kCanvasHeight);
  cairo_fill(cr);
  cairo_select_font_face(cr, "sans-serif", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
  cairo_set_font_size(cr, kFontSize);
  cairo_set_source_rgb(cr, 0, 0, 0);
  for (std::size_t i = 0; i < lines.size(); ++i) Text(cr, 10, kLineHeight * (static_cast<int>(i) + 1), lines[i]);
  PaintAxis(cr);

  int legend_rows[2] = {0, 0};
  for (const Piece& piece : LayOut(scene)) {
    SetColour(cr, piece.colour);
    cairo_rectangle(cr, piece.box.x, piece.box.y, piece.box.width, piece.box.height);
    cairo_fill(cr);
    if (piece.label.empty()) continue;
    // The legend: a swatch of the piece's colour and its Z value.
    int column = piece.side == 'L' ? 0 : 1;
    int x = 20 + column * kCanvasWidth / 2;
    int y = kLegendTop + kLineHeight * legend_rows[column]++;
    cairo_rectangle(cr, x, y - 10, 12, 12);
    cairo_fill(cr);
    cairo_set_source_rgb(cr, 0, 0, 0);
    Text(cr, x + 18, y, std::string(1, piece.side) + " " + piece.label);
  }
  cairo_restore(cr);
}

bool WritePng(const std::string& path, const Scene& scene, const std::vector<std::string>& lines,
              std::string* error) {
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, kCanvasWidth, kCanvasHeight);
  cairo_t* cr = cairo_create(surface);
  Paint(cr, scene, lines);
  cairo_status_t status = cairo_status(cr);
  cairo_destroy(cr);
  if (status == CAIRO_STATUS_SUCCESS) {
    cairo_surface_flush(surface);
    status = cairo_surface_write_to_png(surface, path.c_str());
  }
  cairo_surface_destroy(surface);
  if (status != CAIRO_STATUS_SUCCESS) *error = cairo_status_to_string(status);
  return status == CAIRO_STATUS_SUCCESS;
}

}  // namespace tavrin::simview
