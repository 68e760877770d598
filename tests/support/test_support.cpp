#include "support/test_support.h"

namespace tavrin::test {

namespace {
int CaptureMessage(const char* text, const char* caption, unsigned int style, void* user) {
  auto* messages = static_cast<std::vector<CapturedMessage>*>(user);
  messages->push_back(
      CapturedMessage{text != nullptr ? text : "", caption != nullptr ? caption : "", caption != nullptr, style});
  return 1;
}
}  // namespace

void CncTest::SetUp() {
  sim::Reset(2);
  ASSERT_EQ(0, lib_GetNcLibHandle(&handle_));
  sim::ClearJournal();
  tavrin_set_message_handler(&CaptureMessage, &messages_);
}

void CncTest::TearDown() {
  tavrin_set_message_handler(nullptr, nullptr);
  sim::ClearFailures();
}

std::vector<sim::JournalEntry> CncTest::CallsOf(sim::Call call) {
  std::vector<sim::JournalEntry> found;
  for (const auto& entry : sim::Journal()) {
    if (entry.call == call) found.push_back(entry);
  }
  return found;
}

std::vector<std::string> CncTest::CallNames() {
  std::vector<std::string> names;
  for (const auto& entry : sim::Journal()) names.push_back(sim::CallName(entry.call));
  return names;
}

sim::JournalEntry CncTest::OnlyCall() {
  auto journal = sim::Journal();
  EXPECT_EQ(1u, journal.size());
  return journal.empty() ? sim::JournalEntry{} : journal.front();
}

}  // namespace tavrin::test
