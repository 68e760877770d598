// The journal of FOCAS2 calls: what each call was given and what it answered.
#ifndef TAVRIN_SIMCNC_JOURNAL_H
#define TAVRIN_SIMCNC_JOURNAL_H

#include <cstddef>
#include <deque>
#include <vector>

#include "tavrin/simcnc.h"

namespace tavrin::simcnc::detail {

class CallJournal {
 public:
  // The oldest entries give way beyond this many, so that a long-running
  // program on the simulated CNC does not grow without end.
  static constexpr std::size_t kLimit = 100000;

  bool enabled() const { return enabled_; }
  void set_enabled(bool enabled) { enabled_ = enabled; }
  void Add(JournalEntry entry);
  void Clear() { entries_.clear(); }
  std::size_t size() const { return entries_.size(); }
  std::vector<JournalEntry> Entries() const { return {entries_.begin(), entries_.end()}; }

 private:
  bool enabled_ = true;
  std::deque<JournalEntry> entries_;
};

}  // namespace tavrin::simcnc::detail

#endif
