// The control API's view of the calls made: open handles, planned failures
// and the journal.
#include <mutex>

#include "simulator.h"

namespace tavrin::simcnc {

using detail::Sim;

namespace {
std::unique_lock<std::mutex> Lock() { return std::unique_lock<std::mutex>(Sim().mutex); }
}  // namespace

int OpenHandleCount() {
  auto lock = Lock();
  return static_cast<int>(Sim().handles.size());
}

int CurrentPath(unsigned short handle) {
  auto lock = Lock();
  auto found = Sim().handles.find(handle);
  return found == Sim().handles.end() ? 0 : found->second;
}

EthernetOpen LastEthernetOpen() {
  auto lock = Lock();
  return Sim().last_ethernet;
}

void FailNext(Call call, short code) { FailNth(call, 1, code); }

void FailNth(Call call, int k, short code) {
  auto lock = Lock();
  Sim().failures.FailNth(call, k, code);
}

void FailAlways(Call call, short code) {
  auto lock = Lock();
  Sim().failures.FailAlways(call, code);
}

void ClearFailures() {
  auto lock = Lock();
  Sim().failures.Clear();
}

std::vector<JournalEntry> Journal() {
  auto lock = Lock();
  return Sim().journal.Entries();
}

void ClearJournal() {
  auto lock = Lock();
  Sim().journal.Clear();
}

std::size_t JournalSize() {
  auto lock = Lock();
  return Sim().journal.size();
}

void SetJournalEnabled(bool enabled) {
  auto lock = Lock();
  Sim().journal.set_enabled(enabled);
}

}  // namespace tavrin::simcnc
