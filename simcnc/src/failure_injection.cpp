#include "failure_injection.h"

namespace tavrin::simcnc::detail {

namespace {
std::size_t Index(Call call) { return static_cast<std::size_t>(call); }
}  // namespace

void FailurePlan::FailNth(Call call, int k, short code) {
  if (k < 1 || Index(call) >= pending_.size()) return;
  pending_[Index(call)].push_back(Pending{k, code});
}

void FailurePlan::FailAlways(Call call, short code) {
  if (Index(call) >= always_.size()) return;
  always_[Index(call)] = code;
}

void FailurePlan::Clear() {
  for (auto& list : pending_) list.clear();
  for (auto& always : always_) always.reset();
}

bool FailurePlan::Take(Call call, short* code) {
  std::size_t index = Index(call);
  if (index >= pending_.size()) return false;
  // Every planned failure counts this call, whether or not it is the one that
  // fails, so that "the third call from now" keeps its meaning.  When two
  // fall due together the one planned first gives the code.
  bool due = false;
  std::vector<Pending>& list = pending_[index];
  for (auto it = list.begin(); it != list.end();) {
    if (--it->calls_left == 0) {
      if (!due) *code = it->code;
      due = true;
      it = list.erase(it);
    } else {
      ++it;
    }
  }
  if (always_[index].has_value()) {
    *code = *always_[index];
    return true;
  }
  return due;
}

}  // namespace tavrin::simcnc::detail
