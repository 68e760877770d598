// What the calls share: their exported declarations, the caller's records
// read and written byte for byte, and one request sent for a handle.
#ifndef TAVRIN_FOCAS2NET_CLIENT_CALL_SUPPORT_H
#define TAVRIN_FOCAS2NET_CLIENT_CALL_SUPPORT_H

#include <cstring>
#include <initializer_list>

#include "codes.h"
#include "focas2net/wire/frame.h"
#include "handles.h"
#include "tavrin/export.h"
#include "tavrin/focas2/calls.h"

// The library's only exports: the FOCAS2 calls under their C names.
#define TAVRIN_FOCAS2NET_API __attribute__((visibility("default")))

extern "C" {
#define TAVRIN_FOCAS2NET_DECLARE(name, parameters, arguments) TAVRIN_FOCAS2NET_API short TAVRIN_CALL name parameters;
TAVRIN_FOCAS2_CALLS(TAVRIN_FOCAS2NET_DECLARE)
#undef TAVRIN_FOCAS2NET_DECLARE
TAVRIN_FOCAS2NET_API short TAVRIN_CALL cnc_startupprocess(unsigned short level, const char* log);
TAVRIN_FOCAS2NET_API short TAVRIN_CALL cnc_exitprocess();
}

namespace tavrin::focas2net {

using namespace wire;  // the classes and function codes of the sub-requests

// The caller's records hold numbers in the host's order, at any alignment.
template <typename T>
void Put(void* record, std::size_t offset, T value) {
  std::memcpy(static_cast<unsigned char*>(record) + offset, &value, sizeof value);
}
template <typename T>
T Take(const void* record, std::size_t offset) {
  T value;
  std::memcpy(&value, static_cast<const unsigned char*>(record) + offset, sizeof value);
  return value;
}

inline wire::SubRequest Request(std::uint16_t cls, int path, std::uint16_t function,
                                std::initializer_list<std::int32_t> args) {
  wire::SubRequest request;
  request.cls = cls;
  request.path = static_cast<std::uint16_t>(path);
  request.function = function;
  std::size_t i = 0;
  for (std::int32_t arg : args) request.args[i++] = arg;
  return request;
}

// A CNC request goes to the handle's path; the PMC is one for all paths.
inline wire::SubRequest CncRequest(const Target& target, std::uint16_t function,
                                   std::initializer_list<std::int32_t> args) {
  return Request(kCncClass, target.path, function, args);
}
inline wire::SubRequest PmcRequest(std::uint16_t function, std::initializer_list<std::int32_t> args) {
  return Request(kPmcClass, 1, function, args);
}

// Sends one request for the handle; an answer whose data is shorter than
// `least` bytes is not one this library can read (EW_PROTOCOL).
inline short Ask(const Target& target, const wire::SubRequest& request, std::size_t least, wire::SubAnswer* answer) {
  const short result = target.link->Exchange(request, target.timeout_ms, answer);
  if (result != EW_OK) return result;
  return answer->data.size() < least ? EW_PROTOCOL : EW_OK;
}

}  // namespace tavrin::focas2net

#endif
