// Tool data of the machine object: magazine removal stations, ATC entries in
// the E area, tool count status bits and the tool count variables whose
// layout follows the maintenance product's version.
#include "support/mchn_test_support.h"
#include "support/panel_text.h"

namespace tavrin::test {
namespace {

using MchnToolCountTest = MchnTest;

const char* const kUnsupported = "QV MINDRのバージョンが対応していません。";

// What the simulated CNC holds, read and set without a FOCAS2 call.
int PmcByte(char letter, unsigned address) { std::uint8_t b = 0; return sim::GetPmcByte(letter, address, &b) ? b : -1; }
std::int32_t ParamValue(int path, short number) { std::int32_t v = 0; return sim::GetParam(path, number, 0, &v) ? v : -1; }
void SetWord(char letter, unsigned address, short value) {
  sim::SetPmcByte(letter, address, static_cast<std::uint8_t>(value & 0xFF));
  sim::SetPmcByte(letter, address + 1, static_cast<std::uint8_t>((value >> 8) & 0xFF));
}

// Word R6836 (left) or E7350 (right) plus 3; past half the magazine (left)
// or past all of it (right), less half the magazine.
TEST_F(MchnToolCountTest, RemovalStationsOfTheTwoMagazines) {
  const struct {
    bool left;
    short word, station;
  } cases[] = {{true, 10, 1}, {true, 8, 11}, {false, 10, 13}, {false, 22, 13}};
  for (const auto& c : cases) {
    SetWord(c.left ? 'R' : 'E', c.left ? 6836 : 7350, c.word);
    short station = 0;
    EXPECT_EQ(0, c.left ? mchn_.GetRemoveLMagazineStNo(24, &station) : mchn_.GetRemoveRMagazineStNo(24, &station));
    EXPECT_EQ(c.station, station) << (c.left ? "left " : "right ") << c.word;
  }
}

TEST_F(MchnToolCountTest, AtcEntriesInTheEArea) {
  // T code: a two-word written, four single bytes read, least significant first.
  EXPECT_EQ(0, mchn_.SetAtcTCodeNo(2, -123456));
  tavrin_long tcode = 0;
  EXPECT_EQ(0, mchn_.GetAtcTCodeNo(2, &tcode));
  EXPECT_EQ(-123456, tcode);
  EXPECT_EQ(0xC0, PmcByte('E', 8004));

  // Tool type in bits 2 to 7, large diameter in bit 0, bit 1 kept.
  sim::SetPmcByte('E', 9318, 0xFF);
  EXPECT_EQ(0, mchn_.SetAtcToolType(0, 5));
  EXPECT_EQ(0x17, PmcByte('E', 9318));
  short type = 0;
  bool large = false;
  sim::SetPmcByte('E', 9324, 0xFD);
  EXPECT_EQ(0, mchn_.GetAtcToolType(3, &type));
  EXPECT_EQ(63, type);
  EXPECT_EQ(0, mchn_.GetAtcLargeDiam(3, &large));
  EXPECT_TRUE(large);
  EXPECT_EQ(0, mchn_.SetAtcLargeDiam(3, false));
  EXPECT_EQ(0xFC, PmcByte('E', 9324));
}

TEST_F(MchnToolCountTest, ToolCountStatusModesOnlyClearBits) {
  const struct {
    short mode;
    int before, after;
  } cases[] = {{0, 0xFF, 0xFC}, {1, 0x00, 0x00}, {1, 0x03, 0x01}, {2, 0x03, 0x02}, {7, 0x03, 0x03}};
  for (const auto& c : cases) {
    sim::SetParam(1, 7250, 0, c.before);
    sim::ClearJournal();
    EXPECT_EQ(0, mchn_.SetToolCountStatus(c.mode));
    EXPECT_EQ((std::vector<std::string>{"cnc_rdparam", "cnc_wrparam"}), CallNames()) << "written for every mode";
    EXPECT_EQ(c.after, ParamValue(1, 7250));
    short status = 9;
    EXPECT_EQ(0, mchn_.GetToolCountStatus(&status));
    EXPECT_EQ(c.after & 3, status);
  }
}

TEST_F(MchnToolCountTest, CountVariablesFollowTheVersionLayoutAndXRadius) {
  double value = 0;
  EXPECT_EQ(0, mchn_.SetToolCountSetting(8.0, 128, 2.5));
  EXPECT_EQ(TAVRIN_MCHN_TOOL_OUT_OF_RANGE, mchn_.SetToolCountSetting(8.0, 129, 2.5));
  EXPECT_EQ(0, mchn_.SetToolCountAddition(7.1, 1, 1.0));
  EXPECT_EQ(0, mchn_.SetToolCountSetting(10.1, 1, 1.0));
  EXPECT_EQ(0, mchn_.SetToolCountAddition(10.1, 1, 1.0));
  EXPECT_EQ(TAVRIN_MCHN_TOOL_OUT_OF_RANGE, mchn_.GetToolCountAddition(12.0, 401, &value));
  sim::SetMacro(1, 15399, 75, 1);
  EXPECT_EQ(0, mchn_.GetToolCountAddition(12.0, 400, &value));
  EXPECT_EQ(7.5, value);
  std::vector<long long> variables;
  for (const auto& call : CallsOf(sim::Call::cnc_wrpmacro)) variables.push_back(call.args[0]);
  for (const auto& call : CallsOf(sim::Call::cnc_rdpmacror)) variables.push_back(call.args[0]);
  EXPECT_EQ((std::vector<long long>{13598, 10661, 14600, 15000, 15399}), variables);

  // The path overload selects the path and takes that path's version.
  sim::SetMacro(2, 10434, 101, 1);
  sim::SetMacro(2, 14999, 42, 0);
  EXPECT_EQ(0, mchn_.GetToolCountSetting(short(2), 400, &value));
  EXPECT_EQ(42.0, value);
  EXPECT_TRUE(messages_.empty());

  int radius = 9;
  sim::SetParam(1, 5004, 0, 0xFD);
  sim::SetParam(2, 5004, 0, 0x02);
  EXPECT_EQ(0, mchn_.GetToolOffsetXRad(1, &radius));
  EXPECT_EQ(0, radius);
  EXPECT_EQ(0, mchn_.GetToolOffsetXRad(2, &radius));
  EXPECT_EQ(1, radius);
}

TEST_F(MchnToolCountTest, UnsupportedVersionIsToldExceptWhenWritingASetting) {
  double value = 9;
  EXPECT_EQ(DLL_FOCAS2_FUNCRET_INIT, mchn_.SetToolCountSetting(6.5, 1, 1.0));
  EXPECT_TRUE(messages_.empty());
  EXPECT_EQ(DLL_FOCAS2_FUNCRET_INIT, mchn_.GetToolCountSetting(6.5, 1, &value));
  EXPECT_EQ(DLL_FOCAS2_FUNCRET_INIT, mchn_.SetToolCountAddition(7.09, 1, 1.0));
  EXPECT_EQ(DLL_FOCAS2_FUNCRET_INIT, mchn_.GetToolCountAddition(-16.0, 1, &value));
  EXPECT_EQ(9, value);
  EXPECT_EQ(0u, sim::JournalSize());
  ASSERT_EQ(3u, messages_.size());
  for (const CapturedMessage& m : messages_) {
    EXPECT_EQ(AsPanelText(kUnsupported), m.text);
    EXPECT_FALSE(m.has_caption);
    EXPECT_EQ(0u, m.style);
  }

  // Path overloads return 0; version 0 is what a never-set variable holds.
  messages_.clear();
  EXPECT_EQ(0, mchn_.GetToolCountAddition(short(1), 1, &value));
  EXPECT_EQ(0, mchn_.SetToolCountSetting(short(1), 1, 1.0));
  EXPECT_EQ(1u, messages_.size());
}

TEST_F(MchnToolCountTest, FailuresStopAtTheFirstCode) {
  for (int path = 1; path <= 2; ++path) sim::SetMacro(path, 10434, 101, 1);
  auto code = [](sim::Call, int) { return Expect{kInjected, 9}; };
  auto zeroed = [](sim::Call, int) { return Expect{kInjected, 0}; };
  // The eight count members share one path and one version implementation:
  // a setter and a getter of each stand for all.  A failed version read
  // stands as version 5: unsupported, told, result 0.
  auto path_get = [](sim::Call call, int n) {
    if (call == sim::Call::cnc_rdpmacror && n == 1) return Expect{0, 9};
    return Expect{kInjected, call == sim::Call::cnc_setpath ? 9.0 : 0.0};
  };
  auto path_set = [](sim::Call call, int n) {
    return Expect{call == sim::Call::cnc_rdpmacror && n == 1 ? 0.0 : kInjected, 9};
  };
  using M = CLibMchn;
  // clang-format off
  SweepFailures({
      {"RemoveL", 0, [](M& m) { short s = 9; return Expect{double(m.GetRemoveLMagazineStNo(24, &s)), double(s)}; },
       code},
      {"SetTCode", 0, [](M& m) { return Expect{double(m.SetAtcTCodeNo(1, 5)), 9}; }, code},
      {"GetTCode", 0, [](M& m) { tavrin_long t = 9; return Expect{double(m.GetAtcTCodeNo(1, &t)), double(t)}; },
       zeroed},
      {"SetToolType", 0, [](M& m) { return Expect{double(m.SetAtcToolType(1, 5)), 9}; }, code},
      {"GetToolType", 0, [](M& m) { short t = 9; return Expect{double(m.GetAtcToolType(1, &t)), double(t)}; }, code},
      {"SetCountStatus", 0, [](M& m) { return Expect{double(m.SetToolCountStatus(1)), 9}; }, code},
      {"GetCountStatus", 0, [](M& m) { short s = 9; return Expect{double(m.GetToolCountStatus(&s)), double(s)}; },
       code},
      {"XRad", 2, [](M& m) { int r = 9; return Expect{double(m.GetToolOffsetXRad(2, &r)), double(r)}; }, code},
      {"SetSetting path", 2, [](M& m) { return Expect{double(m.SetToolCountSetting(short(2), 5, 1.0)), 9}; },
       path_set},
      {"GetAddition path", 2,
       [](M& m) { double v = 9; return Expect{double(m.GetToolCountAddition(short(2), 5, &v)), v}; }, path_get},
      {"GetSetting version", 0,
       [](M& m) { double v = 9; return Expect{double(m.GetToolCountSetting(8.0, 5, &v)), v}; }, zeroed},
  });
  // clang-format on
}

}  // namespace
}  // namespace tavrin::test
