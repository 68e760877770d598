// The log file beside the executable.
#include "tavrin/util/log.h"

#include <cstdio>

#include "platform/module_path.h"
#include "util/path_split.h"

namespace {
constexpr std::size_t kPathSize = 260;  // MAX_PATH, for every buffer
}  // namespace

extern "C" void TAVRIN_CALL lib_OutputLog(const char* text) {
  if (text == nullptr) return;
  char executable[kPathSize];
  if (!tavrin::platform::ExecutablePath(executable, sizeof executable)) return;
  char drive[kPathSize];
  char folder[kPathSize];
  char name[kPathSize];
  if (!tavrin::util::SplitPath(executable, drive, sizeof drive, folder, sizeof folder, name, sizeof name, nullptr,
                               0)) {
    return;
  }
  char log_path[kPathSize];
  int length = std::snprintf(log_path, sizeof log_path, "%s%s%s_%s", drive, folder, name, "Log.txt");
  if (length < 0 || static_cast<std::size_t>(length) >= sizeof log_path) return;  // a cut name is another file
  tavrin::platform::AppendLine(log_path, text);
}
