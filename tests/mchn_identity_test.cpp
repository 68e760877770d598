// Identity and configuration of the machine object: where each fact is read,
// which path is selected for it, and how the raw values are turned into names,
// numbers and the display order.
#include <cstring>

#include "support/mchn_test_support.h"

namespace tavrin::test {
namespace {

using MchnIdentityTest = MchnTest;

// Sets the order number and hidden flag of axes 1.. on the given path.
void SetAxes(int path, std::vector<int> order, std::vector<int> hidden) {
  for (std::size_t i = 0; i < order.size(); ++i) {
    sim::SetParam(path, 3130, static_cast<short>(i + 1), order[i]);
    sim::SetParam(path, 3115, static_cast<short>(i + 1), hidden[i]);
  }
}

std::vector<short> DisplayList(CLibMchn& m, int length) {
  std::vector<short> list;
  for (short position = 0; position < length; ++position) list.push_back(m.GetDispOrderIdx(position));
  return list;
}

TEST_F(MchnIdentityTest, SeriesNameComesFromPath1AndCode6IsSplitByModel) {
  const struct {
    int code, model;
    const char* name;
  } cases[] = {
      {40, 3, "Cedar Series"}, {62, 3, "Kauri Series"}, {7, 3, ""}, {6, 3, "Alder Series"}, {6, 0, "Birch Series"}};
  for (const auto& c : cases) {
    sim::SetParam(1, 7283, 0, c.code);
    sim::SetPmcByte('D', 4005, static_cast<std::uint8_t>(c.model));
    char name[TAVRIN_MCHN_TEXT_SIZE];
    std::memset(name, 'x', sizeof name);
    sim::ClearJournal();
    EXPECT_EQ(0, mchn_.GetMchnSeries(name));
    EXPECT_STREQ(c.name, name);
    EXPECT_EQ(c.code == 6 ? 3u : 2u, sim::JournalSize()) << "D4005 is read for code 6 only";
  }
}

TEST_F(MchnIdentityTest, CodesAreSignExtendedBytes) {
  sim::SetPmcByte('D', 7688, 200);
  sim::SetPmcByte('D', 4005, 5);
  sim::SetPmcByte('D', 4006, 0x80);
  sim::SetParam(1, 7257, 0, 24);
  EXPECT_EQ(-56, mchn_.GetMchnType());
  EXPECT_EQ(5, mchn_.GetMchnModel());
  EXPECT_TRUE(mchn_.GetBRot());
  EXPECT_EQ(24, mchn_.GetMagazineStMax());
}

TEST_F(MchnIdentityTest, SerialNumberIsFourCharacterPairsPerVariable) {
  sim::SetMacro(1, 10435, 65666768, 0);
  sim::SetMacro(1, 10436, 69707172, 0);
  sim::SetMacro(1, 10437, 7374750, 1);  // 737475.0: a leading pair 00 adds nothing
  char text[TAVRIN_MCHN_TEXT_SIZE] = "";
  EXPECT_EQ(0, mchn_.GetMachineSerialNo(text));
  EXPECT_STREQ("ABCDEFGHIJK", text);

  // Appends to the text already there and never beyond 255 characters.
  std::memset(text, 'z', sizeof text);
  text[250] = '\0';
  EXPECT_EQ(0, mchn_.GetMachineSerialNo(text));
  EXPECT_EQ(255u, std::strlen(text));
  EXPECT_EQ(0, std::memcmp(text + 250, "ABCDE", 5));
}

TEST_F(MchnIdentityTest, StationNumberNeedsDecimalPlaces) {
  const struct {
    int value;
    short decimals;
    short station;
  } cases[] = {{35, 1, 3}, {250, 2, 2}, {3, 0, -1}, {-35, 1, -3}};
  for (const auto& c : cases) {
    sim::SetMacro(2, 10910, c.value, c.decimals);
    EXPECT_EQ(c.station, mchn_.GetStationNum(2));
  }
}

TEST_F(MchnIdentityTest, ModeInchAndToolLengthInput) {
  sim::SetStatusField(2, 2, 5);
  EXPECT_EQ(5, mchn_.GetCncMode(2));
  sim::SetParam(1, 0, 0, 0x04);
  StartOnPath(2);
  EXPECT_TRUE(mchn_.IsInch());  // from path 1

  // Tool length input is read on whatever path is selected, length 6.
  sim::SetParam(2, 7292, 0, 0x02);
  StartOnPath(2);
  EXPECT_TRUE(mchn_.IsToolNagasaInput());
  EXPECT_EQ((std::vector<long long>{7292, 0, 6}), OnlyCall().args);
  StartOnPath(1);
  EXPECT_FALSE(mchn_.IsToolNagasaInput());
}

TEST_F(MchnIdentityTest, ResetIsOverOnlyWithD9150Bit0SetAndD9386Bit1Clear) {
  const struct {
    std::uint8_t d9150, d9386;
    bool processing;
  } cases[] = {{0x01, 0x00, false}, {0xFF, 0xFD, false}, {0x00, 0x00, true}, {0x01, 0x02, true}, {0xFE, 0x02, true}};
  for (const auto& c : cases) {
    sim::SetPmcByte('D', 9150, c.d9150);
    sim::SetPmcByte('D', 9386, c.d9386);
    EXPECT_EQ(c.processing, mchn_.IsResetProcessing());
  }
}

TEST_F(MchnIdentityTest, DisplayOrderWalk) {
  SetAxes(1, {2, 1, 3}, {0, 0, 0});
  EXPECT_EQ(1, mchn_.GetDispOrderIdx(0));
  EXPECT_EQ((std::vector<std::string>{"cnc_rdaxisname", "cnc_rdparam", "cnc_rdparam"}), CallNames()) << "no path";
  EXPECT_EQ(64u, CallsOf(sim::Call::cnc_rdaxisname)[0].record_in.size()) << "room for 32 names";
  EXPECT_EQ((std::vector<short>{1, 0, 2, 0}), DisplayList(mchn_, 4));

  SetAxes(1, {2, 1, 3}, {1, 0, 0});  // hidden axes are left out
  EXPECT_EQ((std::vector<short>{1, 2, 0}), DisplayList(mchn_, 3));
  SetAxes(1, {0, 0, 0}, {0, 1, 0});
  EXPECT_EQ((std::vector<short>{0, 2, 0}), DisplayList(mchn_, 3));
  // An order number held by no axis is skipped; the walk still ends.
  SetAxes(1, {4, 1, 0}, {0, 0, 0});
  EXPECT_EQ((std::vector<short>{1, 0, 0}), DisplayList(mchn_, 3));
  // Only the lowest of axes sharing a number, and only axes the CNC has.
  SetAxes(1, {1, 1, 2, 3}, {0, 0, 0, 0});
  EXPECT_EQ((std::vector<short>{0, 2, 0}), DisplayList(mchn_, 3));
  EXPECT_EQ(0, mchn_.GetDispOrderIdx(-1));
  EXPECT_EQ(0, mchn_.GetDispOrderIdx(32));
}

TEST_F(MchnIdentityTest, FailuresGiveTheDocumentedResults) {
  // Values whose clean results differ from the failure results.
  sim::SetParam(1, 7283, 0, 6);
  for (int path = 1; path <= 2; ++path) {
    for (int v = 0; v < 3; ++v) sim::SetMacro(path, 10435 + v, 65666768, 0);
    sim::SetParam(path, 7292, 0, 2);
  }
  sim::SetParam(1, 7257, 0, 24);
  sim::SetParam(1, 0, 0, 4);
  sim::SetMacro(2, 10910, 35, 1);
  for (unsigned address : {7688, 9150}) sim::SetPmcByte('D', address, 1);
  SetAxes(2, {2, 1, 3}, {0, 0, 0});

  auto code = [](sim::Call, int) { return Expect{kInjected, 0}; };
  auto value = [](double v) { return [v](sim::Call, int) { return Expect{v, 0}; }; };
  using M = CLibMchn;
  // clang-format off
  SweepFailures({
      {"MchnSeries", 1, [](M& m) { char n[256] = "keep"; short c = m.GetMchnSeries(n);  // code 6: 3 calls
         return Expect{double(c), double(std::strcmp(n, "keep") != 0)}; }, code},
      {"MchnType", 0, [](M& m) { return Expect{double(m.GetMchnType()), 0}; }, value(-1)},
      {"MagazineStMax", 1, [](M& m) { return Expect{double(m.GetMagazineStMax()), 0}; }, value(0)},
      {"MindrVersion", 0, [](M& m) { return Expect{double(m.GetMindrVersion()), 0}; }, value(kInjected)},
      {"MachineSerialNo", 1, [](M& m) { char t[256] = ""; short c = m.GetMachineSerialNo(t);
         return Expect{double(c), double(std::strlen(t))}; },
       [](sim::Call call, int n) {  // the selection's result is not looked at
         return call == sim::Call::cnc_setpath ? Expect{0, 12, false} : Expect{kInjected, 4.0 * (n - 1)}; }},
      {"StationNum", 2, [](M& m) { return Expect{double(m.GetStationNum(2)), 0}; }, value(-1)},
      {"CncMode", 2, [](M& m) { return Expect{double(m.GetCncMode(2)), 0}; },
       [](sim::Call call, int) { return Expect{call == sim::Call::cnc_setpath ? kInjected : -1.0, 0}; }},
      {"IsInch", 1, [](M& m) { return Expect{double(m.IsInch()), 0}; }, value(0)},
      {"ToolNagasaInput", 0, [](M& m) { return Expect{double(m.IsToolNagasaInput()), 0}; }, value(0)},
      {"DispOrderIdx", 0, [](M& m) { return Expect{double(m.GetDispOrderIdx(0)), 0}; }, value(-1)},
      {"ResetProcessing", 0, [](M& m) { return Expect{double(m.IsResetProcessing()), 0}; }, value(1)},
  });
  // clang-format on
}

}  // namespace
}  // namespace tavrin::test
