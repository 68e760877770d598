// Shutdown requests left out: the Linux library of a build without logind
// (TAVRIN_WITH_LOGIND=OFF) does not link libsystemd, and every request is
// refused as when logind cannot be reached.
#include "platform/shutdown.h"

namespace tavrin::platform {

int RequestShutdown(bool, bool) { return 0; }

}  // namespace tavrin::platform
