#include "journal.h"

#include <utility>

namespace tavrin::simcnc {

namespace {
constexpr const char* kCallNames[kCallCount] = {
#define TAVRIN_SIMCNC_CALL_NAME(name, parameters, arguments) #name,
    TAVRIN_FOCAS2_CALLS(TAVRIN_SIMCNC_CALL_NAME)
#undef TAVRIN_SIMCNC_CALL_NAME
};
}  // namespace

const char* CallName(Call call) {
  auto index = static_cast<int>(call);
  return index >= 0 && index < kCallCount ? kCallNames[index] : "?";
}

bool CallFromName(const std::string& name, Call* call) {
  for (int i = 0; i < kCallCount; ++i) {
    if (name == kCallNames[i]) {
      if (call != nullptr) *call = static_cast<Call>(i);
      return true;
    }
  }
  return false;
}

namespace detail {

void CallJournal::Add(JournalEntry entry) {
  if (entries_.size() >= kLimit) entries_.pop_front();
  entries_.push_back(std::move(entry));
}

}  // namespace detail

}  // namespace tavrin::simcnc
