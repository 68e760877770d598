#include "platform/host_name.h"

#include <unistd.h>

namespace tavrin::platform {

std::string HostName() {
  char name[256] = "";
  if (gethostname(name, sizeof name - 1) != 0) return {};
  name[sizeof name - 1] = '\0';  // a name cut to fit may come without its terminator
  return name;
}

}  // namespace tavrin::platform
