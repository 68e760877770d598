#include "x_view.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <poll.h>

#include <algorithm>
#include <cstdlib>

namespace tavrin::simview {

namespace {
constexpr int kWidth = 720;
constexpr int kHeight = 360;
constexpr int kAxisY = 240;
constexpr int kFace = 70;              // distance of each spindle face from its window edge
constexpr double kPixelsPerMm = 0.5;

// The x of a Z position: the left spindle's Z grows to the right from its
// face, the right spindle's to the left from its own.
int XOf(bool left, double z) {
  int offset = static_cast<int>(z * kPixelsPerMm);
  int x = left ? kFace + offset : kWidth - kFace - offset;
  return std::clamp(x, 0, kWidth);
}
}  // namespace

XView::XView(const std::string& title) {
  const char* name = std::getenv("DISPLAY");
  if (name == nullptr || *name == '\0') return;
  display_ = XOpenDisplay(name);
  if (display_ == nullptr) return;
  int screen = DefaultScreen(display_);
  window_ = XCreateSimpleWindow(display_, RootWindow(display_, screen), 0, 0, kWidth, kHeight, 1,
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
  int screen = DefaultScreen(display_);
  GC gc = DefaultGC(display_, screen);
  XClearWindow(display_, window_);
  XSetForeground(display_, gc, BlackPixel(display_, screen));
  for (std::size_t i = 0; i < lines_.size(); ++i)
    XDrawString(display_, window_, gc, 10, 20 + 16 * static_cast<int>(i), lines_[i].c_str(),
                static_cast<int>(lines_[i].size()));
  XDrawLine(display_, window_, gc, 0, kAxisY, kWidth, kAxisY);
  for (bool left : {true, false}) {
    const Spindle& spindle = left ? scene_.left : scene_.right;
    // Spindle face, then chuck (tall block), jaws (above and below the
    // workpiece) and workpiece (along the axis), each at its Z.
    XFillRectangle(display_, window_, gc, left ? 0 : kWidth - kFace, kAxisY - 70, kFace, 140);
    if (spindle.chuck.defined) {
      int x = XOf(left, spindle.chuck.z);
      XDrawRectangle(display_, window_, gc, left ? x - 30 : x, kAxisY - 60, 30, 120);
    }
    if (spindle.jaw.defined) {
      int x = XOf(left, spindle.jaw.z);
      XFillRectangle(display_, window_, gc, left ? x - 20 : x, kAxisY - 45, 20, 20);
      XFillRectangle(display_, window_, gc, left ? x - 20 : x, kAxisY + 25, 20, 20);
    }
    if (spindle.work.defined) {
      int x = XOf(left, spindle.work.z);
      XDrawRectangle(display_, window_, gc, left ? x - 80 : x, kAxisY - 20, 80, 40);
    }
  }
  XFlush(display_);
}

}  // namespace tavrin::simview
