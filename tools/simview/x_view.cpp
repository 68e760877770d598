#include "x_view.h"

#include "layout.h"
#include "painter.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <cairo-xlib.h>
#include <cairo.h>

#include <poll.h>

#include <cstdlib>

namespace tavrin::simview {

XView::XView(const std::string& title) {
  const char* name = std::getenv("DISPLAY");
  if (name == nullptr || *name == '\0') return;
  // A display that is there now and then refuses a connection for a moment
  // while other clients come and go; a few tries 100 ms apart get past that.
  for (int attempt = 0; attempt < 5 && display_ == nullptr; ++attempt) {
    if (attempt > 0) poll(nullptr, 0, 100);
    display_ = XOpenDisplay(name);
  }
  if (display_ == nullptr) return;
  int screen = DefaultScreen(display_);
  window_ = XCreateSimpleWindow(display_, RootWindow(display_, screen), 0, 0, kCanvasWidth, kCanvasHeight, 1,
                                BlackPixel(display_, screen), WhitePixel(display_, screen));
  XStoreName(display_, window_, title.c_str());
  XChangeProperty(display_, window_, XInternAtom(display_, "_NET_WM_NAME", False),
                  XInternAtom(display_, "UTF8_STRING", False), 8, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(title.c_str()), static_cast<int>(title.size()));
  Atom protocol = XInternAtom(display_, "WM_DELETE_WINDOW", False);
  delete_window_ = protocol;
  XSetWMProtocols(display_, window_, &protocol, 1);
  XSelectInput(display_, window_, ExposureMask | StructureNotifyMask);
  XMapWindow(display_, window_);
  XFlush(display_);
}

XView::~XView() {
  if (display_ == nullptr) return;
  XDestroyWindow(display_, window_);
  XCloseDisplay(display_);
}

void XView::WaitForEvents(int milliseconds) const {
  if (XPending(display_) > 0) return;
  pollfd watch{ConnectionNumber(display_), POLLIN, 0};
  poll(&watch, 1, milliseconds);
}

bool XView::HandleEvents() {
  bool keep = true;
  while (XPending(display_) > 0) {
    XEvent event;
    XNextEvent(display_, &event);
    if (event.type == Expose && event.xexpose.count == 0) Draw();
    if (event.type == ClientMessage && static_cast<unsigned long>(event.xclient.data.l[0]) == delete_window_)
      keep = false;
  }
  return keep;
}

void XView::Show(const Scene& scene, const std::vector<std::string>& lines) {
  scene_ = scene;
  lines_ = lines;
  Draw();
}

void XView::Draw() {
  // A new surface each time: frames are rare (exposure, redraw requests).
  int screen = DefaultScreen(display_);
  cairo_surface_t* surface =
      cairo_xlib_surface_create(display_, window_, DefaultVisual(display_, screen), kCanvasWidth, kCanvasHeight);
  cairo_t* cr = cairo_create(surface);
  Paint(cr, scene_, lines_);
  cairo_destroy(cr);
  cairo_surface_flush(surface);
  cairo_surface_destroy(surface);
  XFlush(display_);
}

}  // namespace tavrin::simview
