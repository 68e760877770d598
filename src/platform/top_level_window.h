// Top-level windows of other programs, found by their exact title.
//
//   Windows  FindWindowA(null class, title); PostMessageA(window, WM_CLOSE,
//            0, 0); Sleep.
//   POSIX    the X display named by DISPLAY, through libX11 loaded when first
//            needed (libX11.so.6; the library does not link it).  Top-level
//            windows are the children of the root window and, under a
//            reparenting window manager, their children; a window's title is
//            its _NET_WM_NAME (UTF-8) or, when it has none, its WM_NAME.
//            Closing sends it the client message WM_PROTOCOLS /
//            WM_DELETE_WINDOW, the X form of a posted close request.  Without
//            DISPLAY, libX11 or a display that answers (three tries, 20 ms
//            apart), no window exists.  Every call opens and closes its own
//            connection to the display.
//
// For tests the three operations are entries of the system-call table named
// "window:exists", "window:post_close" and "window:pause" (syscalls.h), with
// the types of the functions below; the Windows calls themselves are the
// entries "window:FindWindowA", "window:PostMessageA" and "window:Sleep".
#ifndef TAVRIN_PLATFORM_TOP_LEVEL_WINDOW_H
#define TAVRIN_PLATFORM_TOP_LEVEL_WINDOW_H

namespace tavrin::platform {

// True when a top-level window titled exactly `title` exists.
bool TopLevelWindowExists(const char* title);

// Asks the first top-level window titled exactly `title` to close; the
// request is posted, nothing waits for it.  True when such a window was
// found (whether or not the request could be sent), false when there is none.
bool PostTopLevelWindowClose(const char* title);

// Suspends the calling thread for about `milliseconds`.
void PauseMilliseconds(unsigned milliseconds);

// The backend's own operations (posix/, win32/), reached only through the
// seam table of top_level_window.cpp so that tests can replace them by name.
bool WindowExistsNow(const char* title);
bool PostWindowCloseNow(const char* title);
void PauseNow(unsigned milliseconds);

}  // namespace tavrin::platform

#endif
