// Power-off and restart through systemd-logind on the system bus.
#include "platform/shutdown.h"

#include <systemd/sd-bus.h>

#include <cstdint>

#include "platform/syscalls.h"

namespace tavrin::platform {

namespace {
enum CallIndex { k_sd_bus_open_system, k_sd_bus_call_method, k_sd_bus_error_free, k_sd_bus_message_unref,
                 k_sd_bus_flush_close_unref };
SyscallEntry calls[] = {
    TAVRIN_SYSCALL_AS("shutdown:sd_bus_open_system", sd_bus_open_system),
    TAVRIN_SYSCALL_AS("shutdown:sd_bus_call_method", sd_bus_call_method),
    TAVRIN_SYSCALL_AS("shutdown:sd_bus_error_free", sd_bus_error_free),
    TAVRIN_SYSCALL_AS("shutdown:sd_bus_message_unref", sd_bus_message_unref),
    TAVRIN_SYSCALL_AS("shutdown:sd_bus_flush_close_unref", sd_bus_flush_close_unref),
};
SyscallGroup group(calls);

#define BUS_CALL(name) Call<decltype(&::name)>(calls[k_##name])

// logind's flag for the *WithFlags methods: block inhibitors stop the
// request even when the caller is root.
constexpr std::uint64_t kRootChecksInhibitors = 1;
}  // namespace

int RequestShutdown(bool restart, bool force) {
  sd_bus* bus = nullptr;
  if (BUS_CALL(sd_bus_open_system)(&bus) < 0 || bus == nullptr) return 0;
  sd_bus_error error = SD_BUS_ERROR_NULL;
  sd_bus_message* reply = nullptr;
  std::uint64_t flags = force ? 0 : kRootChecksInhibitors;
  int answer = BUS_CALL(sd_bus_call_method)(bus, "org.freedesktop.login1", "/org/freedesktop/login1",
                                            "org.freedesktop.login1.Manager",
                                            restart ? "RebootWithFlags" : "PowerOffWithFlags", &error, &reply,
                                            "t", flags);
  BUS_CALL(sd_bus_error_free)(&error);
  BUS_CALL(sd_bus_message_unref)(reply);
  BUS_CALL(sd_bus_flush_close_unref)(bus);
  return answer >= 0 ? 1 : 0;
}

}  // namespace tavrin::platform
