// A FOCAS2 stand-in that, like the maker's Linux library, must be started
// once per process: it counts cnc_startupprocess calls, remembers their
// arguments, and refuses to open a handle before it was started.
#include <cstring>

#include "tavrin/export.h"

namespace {
int startups = 0;
unsigned short startup_level = 0xFFFF;
char startup_log[512] = "";
}  // namespace

TAVRIN_EXTERN_C_BEGIN

TAVRIN_API short TAVRIN_CALL cnc_startupprocess(unsigned short level, const char* log) {
  ++startups;
  startup_level = level;
  std::strncpy(startup_log, log != nullptr ? log : "", sizeof startup_log - 1);
  return 0;
}

TAVRIN_API short TAVRIN_CALL cnc_exitprocess() { return 0; }

TAVRIN_API short TAVRIN_CALL cnc_allclibhndl(unsigned short* handle) {
  if (startups == 0) return -14;  // not started
  *handle = 1;
  return 0;
}

// For the test program: what the stand-in saw.
TAVRIN_API int stand_in_startups(unsigned short* level, const char** log) {
  *level = startup_level;
  *log = startup_log;
  return startups;
}

TAVRIN_EXTERN_C_END
