// Operation signals of the machine object, checked through the PMC traffic
// they make: which byte is read, which bit changes, what is written back.
#include <functional>

#include "nc/focas2_records.h"
#include "support/mchn_test_support.h"

namespace tavrin::test {
namespace {

struct Bit {
  char letter;
  unsigned short address;
  int bit;
  unsigned char mask() const { return static_cast<unsigned char>(1u << bit); }
};

struct SetterRow {
  const char* name;
  void (CLibMchn::*set)(bool);
  Bit bit;
};
struct RequestRow {
  const char* name;
  void (CLibMchn::*require)();
  Bit bit;
};
struct GetterRow {
  const char* name;
  bool (CLibMchn::*get)();
  Bit bit;
};

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
  // One read of the signal's byte (data type 0, length 9) and, when
  // `written` is given, one write of that record (length 9) carrying it.
  static void ExpectByteTraffic(const Bit& b, int written = -1) {
    auto journal = sim::Journal();
    ASSERT_EQ(written < 0 ? 1u : 2u, journal.size());
    long long type = lib_GetPmcAddressTypeCode(b.letter);
    EXPECT_EQ((std::vector<long long>{type, 0, b.address, b.address, 9}), journal[0].args);
    if (written < 0) return;
    EXPECT_EQ(std::vector<long long>{9}, journal[1].args);
    auto record = RecordAs<focas::PmcRecord>(journal[1].record_in);
    EXPECT_EQ(type, record.address_type);
    EXPECT_EQ(b.address, record.start);
    EXPECT_EQ(b.address, record.end);
    EXPECT_EQ(written, static_cast<unsigned char>(record.data.byte_data[0]));
  }
};

// Setters set or clear their bit; requests set theirs whatever they are told.
TEST_F(MchnSignalsTest, WritersChangeOnlyTheirBitOfTheByteAsRead) {
  auto check = [](const char* name, const Bit& bit, bool request, const std::function<void(bool)>& write) {
    SCOPED_TRACE(name);
    sim::SetPmcByte(bit.letter, bit.address, 0x00);
    sim::ClearJournal();
    write(true);
    ExpectByteTraffic(bit, bit.mask());
    sim::SetPmcByte(bit.letter, bit.address, 0xFF);
    sim::ClearJournal();
    write(false);
    ExpectByteTraffic(bit, request ? 0xFF : 0xFF & ~bit.mask());
  };
  for (const SetterRow& row : kSetters) check(row.name, row.bit, false, [&](bool on) { (mchn_.*row.set)(on); });
  for (const RequestRow& row : kRequests) check(row.name, row.bit, true, [&](bool) { (mchn_.*row.require)(); });
}

TEST_F(MchnSignalsTest, GettersReadOneBitOfOneByte) {
  for (const GetterRow& row : kGetters) {
    SCOPED_TRACE(row.name);
    sim::SetPmcByte(row.bit.letter, row.bit.address, row.bit.mask());
    sim::ClearJournal();
    EXPECT_TRUE((mchn_.*row.get)());
    ExpectByteTraffic(row.bit);
    sim::SetPmcByte(row.bit.letter, row.bit.address, static_cast<std::uint8_t>(~row.bit.mask()));
    EXPECT_FALSE((mchn_.*row.get)());
  }
}

TEST_F(MchnSignalsTest, StopFeedIsReadFromEachPathsFBlockByAddress) {
  for (short path = 1; path <= 3; ++path) {
    auto address = static_cast<unsigned short>(1000 * (path - 1));
    sim::SetPmcByte('F', address, 0x08);
    sim::ClearJournal();
    EXPECT_TRUE(mchn_.GetStopFeed(path));
    ExpectByteTraffic({'F', address, 3});
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

TEST_F(MchnSignalsTest, FailuresWriteNothingAndReadAsFalseOrMinusOne) {
  std::vector<MchnCase> cases;
  auto zero = [](sim::Call, int) { return Expect{0, 0}; };
  auto minus_one = [](sim::Call, int) { return Expect{-1, 0}; };
  // clang-format off
  for (const SetterRow& r : kSetters) {
    cases.push_back({r.name, 0, [r](CLibMchn& m) { (m.*r.set)(true); return Expect{}; }, zero});
  }
  for (const RequestRow& r : kRequests) {
    cases.push_back({r.name, 0, [r](CLibMchn& m) { (m.*r.require)(); return Expect{}; }, zero});
  }
  for (const GetterRow& r : kGetters) {
    cases.push_back({r.name, 0, [r](CLibMchn& m) { sim::SetPmcByte(r.bit.letter, r.bit.address, 0xFF);
                                                    return Expect{double((m.*r.get)()), 0}; }, zero});
  }
  cases.push_back({"StopFeed", 0, [](CLibMchn& m) { sim::SetPmcByte('F', 1000, 0xFF);
                                                     return Expect{double(m.GetStopFeed(2)), 0}; }, zero});
  cases.push_back({"SelectedPath", 0, [](CLibMchn& m) { return Expect{double(m.GetSelectedPath()), 0}; }, minus_one});
  cases.push_back({"MemMode", 0, [](CLibMchn& m) { return Expect{double(m.GetMemMode()), 0}; }, minus_one});
  // clang-format on
  SweepFailures(cases);
}

}  // namespace
}  // namespace tavrin::test
