// tavrin-simview's window on the X display named by DISPLAY: the picture of
// painter.h (the two spindles' chucks, jaws and workpieces at their Z
// positions, and the scene's text), drawn with cairo on the window.  It
// closes when the window manager (or a WM_DELETE_WINDOW client message from
// another program) asks it to.
#ifndef TAVRIN_TOOLS_SIMVIEW_X_VIEW_H
#define TAVRIN_TOOLS_SIMVIEW_X_VIEW_H

#include <string>
#include <vector>

#include "scene.h"

struct _XDisplay;  // Xlib's Display

namespace tavrin::simview {

class XView {
 public:
  // Opens the window titled `title` (_NET_WM_NAME and WM_NAME); open() is
  // false when there is no display.
  explicit XView(const std::string& title);
  ~XView();
  XView(const XView&) = delete;
  XView& operator=(const XView&) = delete;

  bool open() const { return display_ != nullptr; }
  // Waits at most `milliseconds` for events to arrive.
  void WaitForEvents(int milliseconds) const;
  // Handles the pending events; false once the window has been asked to close.
  bool HandleEvents();
  // Shows the scene (kept for redrawing on exposure).
  void Show(const Scene& scene, const std::vector<std::string>& lines);

 private:
  void Draw();

  ::_XDisplay* display_ = nullptr;
  unsigned long window_ = 0;
  unsigned long delete_window_ = 0;
  Scene scene_;
  std::vector<std::string> lines_;
};

}  // namespace tavrin::simview

#endif
