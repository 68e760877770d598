// Shared fixture of the library's tests: a fresh simulated CNC with two
// paths, an open handle, an empty journal, and message boxes captured
// instead of shown.
#ifndef TAVRIN_TESTS_SUPPORT_TEST_SUPPORT_H
#define TAVRIN_TESTS_SUPPORT_TEST_SUPPORT_H

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "tavrin/simcnc.h"
#include "tavrin/tavrin.h"

namespace tavrin::test {

namespace sim = tavrin::simcnc;

struct CapturedMessage {
  std::string text;
  std::string caption;
  bool has_caption;
  unsigned style;
};

class CncTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // The journal entries of one call, in order.
  static std::vector<sim::JournalEntry> CallsOf(sim::Call call);
  // Every call in the journal, by name, in order.
  static std::vector<std::string> CallNames();
  // The only journal entry; fails the test when there is not exactly one.
  static sim::JournalEntry OnlyCall();

  unsigned short handle_ = 0;
  std::vector<CapturedMessage> messages_;
};

}  // namespace tavrin::test

#endif
