#include <time.h>

#include <cerrno>
#include <cstring>
#include <string>

#include "platform/platform.h"
#include "platform/syscalls.h"
#include "platform/top_level_window.h"

// After the library's headers: Xlib defines macros such as None and Success.
#include <X11/Xatom.h>
#include <X11/Xlib.h>

namespace tavrin::platform {

namespace {

// The libX11 calls used, found in the library loaded on first use.
struct Xlib {
  decltype(&::XOpenDisplay) open_display;
  decltype(&::XCloseDisplay) close_display;
  decltype(&::XDefaultRootWindow) default_root_window;
  decltype(&::XInternAtom) intern_atom;
  decltype(&::XQueryTree) query_tree;
  decltype(&::XGetWindowProperty) get_window_property;
  decltype(&::XSendEvent) send_event;
  decltype(&::XSync) sync;
  decltype(&::XFree) free;
  decltype(&::XSetErrorHandler) set_error_handler;
};

template <typename F>
bool Find(void* library, const char* name, F* function) {
  *function = reinterpret_cast<F>(FindSharedSymbol(library, name));
  return *function != nullptr;
}

// Null when libX11 cannot be loaded or lacks a call.
const Xlib* LoadXlib() {
  static Xlib xlib;
  static const bool loaded = [] {
    void* library = OpenSharedLibrary("libX11.so.6");
    return library != nullptr && Find(library, "XOpenDisplay", &xlib.open_display) &&
           Find(library, "XCloseDisplay", &xlib.close_display) &&
           Find(library, "XDefaultRootWindow", &xlib.default_root_window) &&
           Find(library, "XInternAtom", &xlib.intern_atom) && Find(library, "XQueryTree", &xlib.query_tree) &&
           Find(library, "XGetWindowProperty", &xlib.get_window_property) &&
           Find(library, "XSendEvent", &xlib.send_event) && Find(library, "XSync", &xlib.sync) &&
           Find(library, "XFree", &xlib.free) && Find(library, "XSetErrorHandler", &xlib.set_error_handler);
  }();
  return loaded ? &xlib : nullptr;
}

constexpr int kConnectAttempts = 3;
constexpr unsigned kConnectRetryMilliseconds = 20;

// A window may vanish while it is looked at; the error that follows is
// ignored instead of ending the process (libX11's default).
int IgnoreError(Display*, XErrorEvent*) { return 0; }

// One connection to the display named by DISPLAY, with errors ignored for
// its life (the previous handler is restored afterwards).
class Connection {
 public:
  Connection() : xlib_(LoadXlib()) {
    std::string name;
    if (xlib_ == nullptr || !GetEnvironmentValue("DISPLAY", &name) || name.empty()) return;
    // A display refuses a connection now and then for a moment while other
    // clients come and go: a refusal alone must not mean "no window".
    for (int attempt = 0; attempt < kConnectAttempts && display_ == nullptr; ++attempt) {
      if (attempt > 0) PauseNow(kConnectRetryMilliseconds);
      display_ = xlib_->open_display(name.c_str());
    }
    if (display_ != nullptr) previous_ = xlib_->set_error_handler(&IgnoreError);
  }
  ~Connection() {
    if (display_ == nullptr) return;
    xlib_->sync(display_, False);
    xlib_->set_error_handler(previous_);
    xlib_->close_display(display_);
  }
  Connection(const Connection&) = delete;
  Connection& operator=(const Connection&) = delete;

  bool open() const { return display_ != nullptr; }

  // The first top-level window titled `title`, or 0.
  Window FindByTitle(const char* title) const {
    Window root = xlib_->default_root_window(display_);
    Window found = 0;
    auto match = [&](Window window) {
      if (HasTitle(window, title)) found = window;
      return found != 0;
    };
    ForEachChild(root, [&](Window frame) {
      if (!match(frame)) ForEachChild(frame, match);
      return found != 0;
    });
    return found;
  }

  bool SendDeleteWindow(Window window) const {
    XEvent event;
    std::memset(&event, 0, sizeof event);
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = xlib_->intern_atom(display_, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(xlib_->intern_atom(display_, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    return xlib_->send_event(display_, window, False, NoEventMask, &event) != 0;
  }

 private:
  // Calls visit(child) for each child of `parent` until it returns true.
  template <typename Visit>
  void ForEachChild(Window parent, Visit visit) const {
    Window root_return = 0;
    Window parent_return = 0;
    Window* children = nullptr;
    unsigned count = 0;
    if (xlib_->query_tree(display_, parent, &root_return, &parent_return, &children, &count) == 0) return;
    for (unsigned i = 0; i < count; ++i)
      if (visit(children[i])) break;
    if (children != nullptr) xlib_->free(children);
  }

  // True when the text property `property` of `window` is exactly `title`.
  bool PropertyIs(Window window, Atom property, const char* title, bool* present) const {
    Atom type = 0;
    int format = 0;
    unsigned long items = 0;
    unsigned long remaining = 0;
    unsigned char* data = nullptr;
    long words = static_cast<long>(std::strlen(title) / 4 + 2);
    int status = xlib_->get_window_property(display_, window, property, 0, words, False, AnyPropertyType, &type,
                                            &format, &items, &remaining, &data);
    bool same = false;
    *present = status == Success && type != None;
    if (*present && format == 8)
      same = remaining == 0 && items == std::strlen(title) && std::memcmp(data, title, items) == 0;
    if (data != nullptr) xlib_->free(data);
    return same;
  }

  bool HasTitle(Window window, const char* title) const {
    bool present = false;
    bool same = PropertyIs(window, xlib_->intern_atom(display_, "_NET_WM_NAME", False), title, &present);
    if (present) return same;
    return PropertyIs(window, XA_WM_NAME, title, &present);
  }

  const Xlib* xlib_;
  Display* display_ = nullptr;
  XErrorHandler previous_ = nullptr;
};

}  // namespace

bool WindowExistsNow(const char* title) {
  if (title == nullptr) return false;
  Connection connection;
  return connection.open() && connection.FindByTitle(title) != 0;
}

bool PostWindowCloseNow(const char* title) {
  if (title == nullptr) return false;
  Connection connection;
  if (!connection.open()) return false;
  Window window = connection.FindByTitle(title);
  if (window == 0) return false;
  connection.SendDeleteWindow(window);
  return true;
}

void PauseNow(unsigned milliseconds) {
  timespec delay{static_cast<time_t>(milliseconds / 1000), static_cast<long>(milliseconds % 1000) * 1000000L};
  while (nanosleep(&delay, &delay) != 0 && errno == EINTR) {
  }
}

}  // namespace tavrin::platform
