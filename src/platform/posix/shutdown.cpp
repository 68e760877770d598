// Power-off and restart through systemd-logind on the system bus.
#include "platform/shutdown.h"

#include <systemd/sd-bus.h>

#include <cstdint>

#include "platform/syscalls.h"

namespace tavrin::platform {

namespace {
#define TAVRIN_SYSCALLS(CALL, OWN)                                    \
  CALL(sd_bus_open_system, "shutdown:sd_bus_open_system")             \
  CALL(sd_bus_call_method, "shutdown:sd_bus_call_method")             \
  CALL(sd_bus_error_free, "shutdown:sd_bus_error_free")               \
  CALL(sd_bus_message_unref, "shutdown:sd_bus_message_unref")         \
  CALL(sd_bus_flush_close_unref, "shutdown:sd_bus_flush_close_unref")
TAVRIN_SYSCALL_TABLE(TAVRIN_SYSCALLS)

// logind's flag for the *WithFlags methods: block inhibitors stop the
// request even when the caller is root.
constexpr std::uint64_t kRootChecksInhibitors = 1;
}  // namespace

int RequestShutdown(bool restart, bool force) {
  sd_bus* bus = nullptr;
  if (sys::sd_bus_open_system(&bus) < 0 || bus == nullptr) return 0;
  sd_bus_error error = SD_BUS_ERROR_NULL;
  sd_bus_message* reply = nullptr;
  std::uint64_t flags = force ? 0 : kRootChecksInhibitors;
  int answer = sys::sd_bus_call_method(bus, "org.freedesktop.login1", "/org/freedesktop/login1",
                                       "org.freedesktop.login1.Manager",
                                       restart ? "RebootWithFlags" : "PowerOffWithFlags", &error, &reply, "t", flags);
  sys::sd_bus_error_free(&error);
  sys::sd_bus_message_unref(reply);
  sys::sd_bus_flush_close_unref(bus);
  return answer >= 0 ? 1 : 0;
}

}  // namespace tavrin::platform
