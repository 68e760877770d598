// The window seam shared by both backends: tests replace "window:exists",
// "window:post_close" or "window:pause" to drive the close-and-wait loop
// without a real window.
#include "platform/top_level_window.h"

#include "platform/syscalls.h"

namespace tavrin::platform {

namespace {
#define TAVRIN_SYSCALLS(CALL, OWN)                         \
  OWN(exists, "window:exists", WindowExistsNow)            \
  OWN(post_close, "window:post_close", PostWindowCloseNow) \
  OWN(pause, "window:pause", PauseNow)
TAVRIN_SYSCALL_TABLE(TAVRIN_SYSCALLS)
}  // namespace

bool TopLevelWindowExists(const char* title) { return sys::exists(title); }
bool PostTopLevelWindowClose(const char* title) { return sys::post_close(title); }
void PauseMilliseconds(unsigned milliseconds) { sys::pause(milliseconds); }

}  // namespace tavrin::platform
