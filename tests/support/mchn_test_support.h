// Fixture of the machine object's tests: CncTest with the parameters and axes
// the machine object reads defined on both paths, and a CLibMchn on the handle.
#ifndef TAVRIN_TESTS_SUPPORT_MCHN_TEST_SUPPORT_H
#define TAVRIN_TESTS_SUPPORT_MCHN_TEST_SUPPORT_H

#include <functional>

#include "support/test_support.h"

namespace tavrin::test {

constexpr short kInjected = EW_DATA;

// What one run of a member gives: its result and the output it left.
struct Expect {
  double result;
  double output;
  bool stops = true;  // no call after the failing one
};

struct MchnCase {
  const char* name;
  short selects;  // the path the member selects, 0 for none
  std::function<Expect(CLibMchn&)> run;
  // What the member gives when the n-th call (from 1) of `call` fails.
  std::function<Expect(sim::Call call, int n)> failing;
};

class MchnTest : public CncTest {
 protected:
  void SetUp() override {
    CncTest::SetUp();
    for (int path = 1; path <= 2; ++path) {
      for (short number : {0, 7250, 5004}) sim::DefineParam(path, number, sim::ParamKind::Bit, false);
      for (short number : {7257, 7283}) sim::DefineParam(path, number, sim::ParamKind::Byte, false);
      sim::DefineParam(path, 7292, sim::ParamKind::Word, false);  // read with length 6
      sim::DefineParam(path, 3115, sim::ParamKind::Bit, true);
      sim::DefineParam(path, 3130, sim::ParamKind::Byte, true);
      sim::SetAxisNames(path, {"X", "Z", "C"});
    }
    mchn_ = CLibMchn(handle_);
    sim::ClearJournal();
  }

  // Selects `path` on the handle and empties the journal.
  void StartOnPath(short path) {
    ASSERT_GE(CLibMchn(handle_).GetCncMode(path), 0);
    sim::ClearJournal();
  }

  // Fails each call of a clean run in turn: the member must give what
  // `failing` says, make no later call (unless told otherwise) and leave the
  // handle on the path it selected (where it was, if the selection failed).
  void SweepFailures(const std::vector<MchnCase>& cases) {
    for (const MchnCase& c : cases) {
      SCOPED_TRACE(c.name);
      const short start = c.selects == 2 ? 1 : 2;
      StartOnPath(start);
      c.run(mchn_);
      std::vector<sim::JournalEntry> calls = sim::Journal();
      ASSERT_FALSE(calls.empty());
      for (std::size_t k = 0; k < calls.size(); ++k) {
        sim::Call call = calls[k].call;
        SCOPED_TRACE(sim::CallName(call));
        int n = 0;
        for (std::size_t i = 0; i <= k; ++i) n += calls[i].call == call;
        StartOnPath(start);
        sim::FailNth(call, n, kInjected);
        Expect got = c.run(mchn_);
        sim::ClearFailures();
        Expect want = c.failing(call, n);
        EXPECT_EQ(want.result, got.result);
        EXPECT_EQ(want.output, got.output);
        if (want.stops) {
          EXPECT_EQ(k + 1, sim::JournalSize()) << "calls after the failure";
        }
        bool selected = c.selects != 0 && call != sim::Call::cnc_setpath;
        EXPECT_EQ(selected ? c.selects : start, sim::CurrentPath(handle_));
      }
    }
  }

  CLibMchn mchn_;
};

}  // namespace tavrin::test

#endif
