#include "journal.h"

#include <utility>

namespace tavrin::simcnc {

namespace {
constexpr const char* kCallNames[kCallCount] = {
    "cnc_allclibhndl", "cnc_allclibhndl2", "cnc_allclibhndl3", "cnc_freelibhndl", "cnc_getpath",
    "cnc_setpath",     "cnc_rdparam",      "cnc_wrparam",      "pmc_rdpmcrng",    "pmc_wrpmcrng",
    "cnc_rdpmacror",   "cnc_wrpmacror",    "cnc_rdpmacro",     "cnc_wrpmacro",    "cnc_rdtofs",
    "cnc_wrtofs",      "cnc_getfigure",    "cnc_statinfo",     "cnc_rdaxisname",
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
