// Planned failures of FOCAS2 calls: the next call, the k-th call from now,
// or every call of one function answers a chosen code and does nothing else.
#ifndef TAVRIN_SIMCNC_FAILURE_INJECTION_H
#define TAVRIN_SIMCNC_FAILURE_INJECTION_H

#include <array>
#include <optional>
#include <vector>

#include "tavrin/simcnc.h"

namespace tavrin::simcnc::detail {

class FailurePlan {
 public:
  // The k-th call of `call` from now on (1 = the next) fails; k below 1 is
  // ignored.  Several planned failures of one call count down together.
  void FailNth(Call call, int k, short code);
  void FailAlways(Call call, short code);
  void Clear();

  // Counts one call of `call`: true, with the code to answer, when it fails.
  bool Take(Call call, short* code);

 private:
  struct Pending {
    int calls_left;
    short code;
  };
  std::array<std::vector<Pending>, kCallCount> pending_;
  std::array<std::optional<short>, kCallCount> always_;
};

}  // namespace tavrin::simcnc::detail

#endif
