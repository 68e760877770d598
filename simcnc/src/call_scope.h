// How every FOCAS2 call of the simulated CNC runs: under the lock, counted for
// failure injection, and journaled with its arguments and record bytes.
#ifndef TAVRIN_SIMCNC_CALL_SCOPE_H
#define TAVRIN_SIMCNC_CALL_SCOPE_H

#include <cstddef>
#include <cstring>
#include <initializer_list>
#include <mutex>
#include <utility>

#include "tavrin/focas2/records.h"
#include "simulator.h"
#include "tavrin/nc/return_codes.h"
#include "tavrin/simcnc_focas.h"

namespace tavrin::simcnc::detail {

// The record argument of a call and how many of its bytes the journal keeps.
struct CallRecord {
  const void* data = nullptr;
  std::size_t size = 0;
};

// The journaled size of a record whose call gives its length: the length, but
// never more than the largest record of that call (a wrong length must not
// make the simulator read past the caller's buffer).
inline std::size_t RecordSize(long long length, std::size_t largest) {
  if (length <= 0) return 0;
  return static_cast<std::size_t>(length) < largest ? static_cast<std::size_t>(length) : largest;
}

// Runs one call: `body(simulator)` gives the answer unless a planned failure
// answers first.  `text` is the journal's text argument.
template <typename Body>
short RunCall(Call call, unsigned short handle, std::initializer_list<long long> args, CallRecord record,
              Body&& body, const char* text = nullptr) {
  // Nothing may escape to a C caller: the only exception possible here, a
  // failed allocation for the journal, becomes the code of an unexpected
  // error.
  try {
    Simulator& sim = Sim();
    std::lock_guard<std::mutex> lock(sim.mutex);
    const bool journaled = sim.journal.enabled();
    const auto* bytes = static_cast<const unsigned char*>(record.data);
    if (bytes == nullptr) record.size = 0;
    JournalEntry entry{call, handle, {}, {}, {}, {}, 0};
    if (journaled) {
      entry.args.assign(args.begin(), args.end());
      if (text != nullptr) entry.text = text;
      entry.record_in.assign(bytes, bytes + record.size);
    }
    short result;
    if (!sim.failures.Take(call, &result)) result = body(sim);
    if (journaled) {
      entry.record_out.assign(bytes, bytes + record.size);
      entry.result = result;
      sim.journal.Add(std::move(entry));
    }
    return result;
  } catch (...) {
    return EW_UNEXP;
  }
}

// Typed access to a record's bytes at an offset, free of alignment demands.
template <typename T>
T Load(const void* record, std::size_t offset) {
  T value;
  std::memcpy(&value, static_cast<const unsigned char*>(record) + offset, sizeof value);
  return value;
}

template <typename T>
void Store(void* record, std::size_t offset, T value) {
  std::memcpy(static_cast<unsigned char*>(record) + offset, &value, sizeof value);
}

}  // namespace tavrin::simcnc::detail

#endif
