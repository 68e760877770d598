// The window seam shared by both backends: tests replace "window:exists",
// "window:post_close" or "window:pause" to drive the close-and-wait loop
// without a real window.
#include "platform/top_level_window.h"

#include "platform/syscalls.h"

namespace tavrin::platform {

namespace {
SyscallEntry calls[] = {
    OwnEntry("window:exists", &WindowExistsNow),
    OwnEntry("window:post_close", &PostWindowCloseNow),
    OwnEntry("window:pause", &PauseNow)};
SyscallGroup group(calls);
}  // namespace

bool TopLevelWindowExists(const char* title) { return Call<decltype(&WindowExistsNow)>(calls[0])(title); }
bool PostTopLevelWindowClose(const char* title) { return Call<decltype(&PostWindowCloseNow)>(calls[1])(title); }
void PauseMilliseconds(unsigned milliseconds) { Call<decltype(&PauseNow)>(calls[2])(milliseconds); }

}  // namespace tavrin::platform
