// Operation signals of the machine object, checked through the PMC traffic
// they make: which byte is read, which bit changes, what is written back.
#include <functional>

#include "support/mchn_test_support.h"

namespace tavrin::test {
namespace {

struct Bit {
  char letter;
  unsigned short address;
  int bit;
  unsigned char mask() const { return static_cast<unsigned char>(1u << bit); }
};

// One member of the signal table and the bit it works on.
template <typename Member>
struct Row {
  const char* name;
  Member member;
  Bit bit;
};
using SetterRow = Row<void (CLibMchn::*)(bool)>;
using RequestRow = Row<void (CLibMchn::*)()>;
using GetterRow = Row<bool (CLibMchn::*)()>;

const SetterRow kSetters[] = {
    {"Simulation", &CLibMchn::SetSimulationMode, {'D', 9550, 0}},
    {"DryRun", &CLibMchn::SetDryRunMode, {'D', 9550, 1}},
    {"SingleBlock", &CLibMchn::SetSingleBlockMode, {'D', 9550, 2}},
    {"AutoReadyBtn", &CLibMchn::SetAutoReadyBtnDownSignal, {'D', 9550, 3}},
    {"StopFeedBtn", &CLibMchn::SetStopFeedBtnDownSignal, {'D', 9550, 4}},
    {"OptionalStop", &CLibMchn::SetOptionalStopMode, {'D', 9550, 5}},
    {"MachineLock", &CLibMchn::SetMachineLock, {'D', 81, 0}},
    {"ProgramCheck", &CLibMchn::SetProgramCheck, {'D', 25, 0}},
    {"Idel", &CLibMchn::SetIdelMode, {'D', 6045, 0}},
    {"LChuck", &CLibMchn::SetLChuckCheck, {'D', 6045, 1}},
    {"RChuck", &CLibMchn::SetRChuckCheck, {'D', 6045, 2}},
    {"Hand", &CLibMchn::SetHandCheck, {'D', 6045, 3}},
    {"T6keta", &CLibMchn::SetT6ketaMode, {'D', 9694, 3}},
};
const RequestRow kRequests[] = {
    {"WorkCoordinatePreset", &CLibMchn::RequireExecWorkCoordinatePreset, {'D', 9550, 6}},
    {"SimuResetProc", &CLibMchn::RequireExecSimuResetProc, {'D', 9550, 7}},
    {"3dchk", &CLibMchn::RequireChange3dchkMode, {'D', 9700, 1}},
};
const GetterRow kGetters[] = {
    {"Simulation", &CLibMchn::GetSimulationMode, {'D', 9550, 0}},
    {"DryRun", &CLibMchn::GetDryRunMode, {'F', 2, 7}},
    {"SingleBlock", &CLibMchn::GetSingleBlockMode, {'F', 4, 3}},
    {"Cycle", &CLibMchn::GetCycleStatus, {'D', 9151, 3}},
    {"OptionalStop", &CLibMchn::GetOptionalStopMode, {'D', 9550, 5}},
    {"WorkCoordinatePreset", &CLibMchn::GetWorkCoordinatePreset, {'D', 9551, 2}},
    {"SimuReset", &CLibMchn::GetSimuResetProcStatus, {'D', 9551, 0}},
    {"SimuRef", &CLibMchn::GetSimuRefProcStatus, {'D', 9551, 1}},
    {"MachineLock", &CLibMchn::GetMachineLock, {'F', 4, 1}},
    {"ProgramCheck", &CLibMchn::GetProgramCheck, {'D', 25, 0}},
    {"Idel", &CLibMchn::GetIdelMode, {'D', 6045, 0}},
    {"LChuck", &CLibMchn::GetLChuckCheck, {'D', 6045, 1}},
    {"RChuck", &CLibMchn::GetRChuckCheck, {'D', 6045, 2}},
    {"Hand", &CLibMchn::GetHandCheck, {'D', 6045, 3}},
    {"T6keta", &CLibMchn::GetT6ketaMode, {'D', 9694, 3}},
    {"3dchk", &CLibMchn::Get3dchkMode, {'K', 12, 4}},
};

class MchnSignalsTest : public MchnTest {
 protected:
  // The signal's byte once the member made its one read and one write.
  static int ByteAfterReadAndWrite(const Bit& b) {
    EXPECT_EQ((std::vector<std::string>{"pmc_rdpmcrng", "pmc_wrpmcrng"}), CallNames());
    std::uint8_t byte = 0;
    sim::GetPmcByte(b.letter, b.address, &byte);
    return byte;
  }
};

// Setters set or clear their bit; requests set theirs whatever they are told.
TEST_F(MchnSignalsTest, WritersChangeOnlyTheirBitOfTheByteAsRead) {
  auto check = [](const char* name, const Bit& bit, bool request, const std::function<void(bool)>& write) {
    SCOPED_TRACE(name);
    sim::SetPmcByte(bit.letter, bit.address, 0x00);
    sim::ClearJournal();
    write(true);
    EXPECT_EQ(bit.mask(), ByteAfterReadAndWrite(bit));
    sim::SetPmcByte(bit.letter, bit.address, 0xFF);
    sim::ClearJournal();
    write(false);
    EXPECT_EQ(request ? 0xFF : 0xFF & ~bit.mask(), ByteAfterReadAndWrite(bit));
  };
  for (const SetterRow& row : kSetters) check(row.name, row.bit, false, [&](bool on) { (mchn_.*row.member)(on); });
  for (const RequestRow& row : kRequests) check(row.name, row.bit, true, [&](bool) { (mchn_.*row.member)(); });
}

// Stop feed is read from each path's F block by address: F0, F1000, F2000.
TEST_F(MchnSignalsTest, GettersReadOneBitOfOneByte) {
  auto check = [](const char* name, const Bit& bit, const std::function<bool()>& get) {
    SCOPED_TRACE(name);
    sim::SetPmcByte(bit.letter, bit.address, bit.mask());
    sim::ClearJournal();
    EXPECT_TRUE(get());
    EXPECT_EQ(1u, sim::JournalSize());
    sim::SetPmcByte(bit.letter, bit.address, static_cast<std::uint8_t>(~bit.mask()));
    EXPECT_FALSE(get());
  };
  for (const GetterRow& row : kGetters) check(row.name, row.bit, [&] { return (mchn_.*row.member)(); });
  for (short path = 1; path <= 3; ++path) {
    check("StopFeed", {'F', static_cast<unsigned short>(1000 * (path - 1)), 3}, [&] { return mchn_.GetStopFeed(path); });
  }
}

TEST_F(MchnSignalsTest, SelectedPathIsTheFirstKeepRelayWithBit1) {
  const struct {
    std::uint8_t k0, k30, k60;
    short path;
  } cases[] = {{0xFD, 0xFD, 0xFD, 0}, {0, 0, 2, 3}, {0, 2, 2, 2}, {2, 2, 0, 1}};
  for (const auto& c : cases) {
    sim::SetPmcByte('K', 0, c.k0);
    sim::SetPmcByte('K', 30, c.k30);
    sim::SetPmcByte('K', 60, c.k60);
    sim::ClearJournal();
    EXPECT_EQ(c.path, mchn_.GetSelectedPath());
    EXPECT_EQ(c.path == 0 ? 3u : c.path, sim::JournalSize());
  }
  sim::SetPmcByte('K', 10, 0x40);
  EXPECT_EQ(1, mchn_.GetMemMode());
  sim::SetPmcByte('K', 10, 0xBF);
  EXPECT_EQ(0, mchn_.GetMemMode());
}

// Every setter, request and getter goes through one read-change-write and one
// read-test of the signal table: one of each stands for all.
TEST_F(MchnSignalsTest, FailuresWriteNothingAndReadAsFalseOrMinusOne) {
  auto zero = [](sim::Call, int) { return Expect{0, 0}; };
  auto minus_one = [](sim::Call, int) { return Expect{-1, 0}; };
  sim::SetPmcByte('F', 0, 0xFF);  // feed hold of path 1
  sim::SetPmcByte('F', 2, 0xFF);  // dry run
  // clang-format off
  SweepFailures({
      {"Setter", 0, [](CLibMchn& m) { m.SetSingleBlockMode(true); return Expect{}; }, zero},
      {"Request", 0, [](CLibMchn& m) { m.RequireChange3dchkMode(); return Expect{}; }, zero},
      {"Getter", 0, [](CLibMchn& m) { return Expect{double(m.GetDryRunMode()), 0}; }, zero},
      {"StopFeed", 0, [](CLibMchn& m) { return Expect{double(m.GetStopFeed(1)), 0}; }, zero},
      {"SelectedPath", 0, [](CLibMchn& m) { return Expect{double(m.GetSelectedPath()), 0}; }, minus_one},
      {"MemMode", 0, [](CLibMchn& m) { return Expect{double(m.GetMemMode()), 0}; }, minus_one},
  });
  // clang-format on
}

}  // namespace
}  // namespace tavrin::test
