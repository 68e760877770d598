// The machine's status in one reading, against the individual getters: the
// same values for any PMC contents, fewer calls, and a failed read that marks
// exactly the fields it feeds.
#include <algorithm>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "support/mchn_test_support.h"
#include "tavrin/machine/mchn_status.h"

namespace tavrin::test {
namespace {

struct Field {
  const char* name;
  signed char TavrinMachineStatus::*field;
  bool (CLibMchn::*getter)();
};

const Field kFields[] = {
    {"simulation", &TavrinMachineStatus::simulation, &CLibMchn::GetSimulationMode},
    {"dry_run", &TavrinMachineStatus::dry_run, &CLibMchn::GetDryRunMode},
    {"single_block", &TavrinMachineStatus::single_block, &CLibMchn::GetSingleBlockMode},
    {"machine_lock", &TavrinMachineStatus::machine_lock, &CLibMchn::GetMachineLock},
    {"program_check", &TavrinMachineStatus::program_check, &CLibMchn::GetProgramCheck},
    {"optional_stop", &TavrinMachineStatus::optional_stop, &CLibMchn::GetOptionalStopMode},
    {"idle", &TavrinMachineStatus::idle, &CLibMchn::GetIdelMode},
    {"left_chuck_check", &TavrinMachineStatus::left_chuck_check, &CLibMchn::GetLChuckCheck},
    {"right_chuck_check", &TavrinMachineStatus::right_chuck_check, &CLibMchn::GetRChuckCheck},
    {"hand_check", &TavrinMachineStatus::hand_check, &CLibMchn::GetHandCheck},
    {"six_digit_t", &TavrinMachineStatus::six_digit_t, &CLibMchn::GetT6ketaMode},
    {"cycle_running", &TavrinMachineStatus::cycle_running, &CLibMchn::GetCycleStatus},
    {"work_preset_done", &TavrinMachineStatus::work_preset_done, &CLibMchn::GetWorkCoordinatePreset},
    {"simulation_reset_done", &TavrinMachineStatus::simulation_reset_done, &CLibMchn::GetSimuResetProcStatus},
    {"simulation_reference_done", &TavrinMachineStatus::simulation_reference_done, &CLibMchn::GetSimuRefProcStatus},
    {"three_d_check_mode", &TavrinMachineStatus::three_d_check_mode, &CLibMchn::Get3dchkMode},
    {"reset_in_progress", &TavrinMachineStatus::reset_in_progress, &CLibMchn::IsResetProcessing},
};

// Every byte the status table depends on.
const std::vector<std::pair<char, unsigned>> kBytes = {
    {'D', 25},   {'D', 6045}, {'D', 9150}, {'D', 9151}, {'D', 9386}, {'D', 9550}, {'D', 9551}, {'D', 9694},
    {'F', 0},    {'F', 2},    {'F', 4},    {'F', 1000}, {'K', 0},    {'K', 10},   {'K', 12},   {'K', 30},
    {'K', 60}};

class MchnStatusTest : public MchnTest {
 protected:
  // Fills the status bytes with random contents; K0.1 and K30.1 are clear
  // often enough that every selected-path case comes up.
  void Randomise(std::mt19937* random) {
    for (const auto& [letter, address] : kBytes) sim::SetPmcByte(letter, address, (*random)() & 0xFF);
  }
  std::vector<std::pair<std::string, int>> Fields(const TavrinMachineStatus& s) const {
    std::vector<std::pair<std::string, int>> fields;
    for (const Field& f : kFields) fields.emplace_back(f.name, s.*(f.field));
    fields.emplace_back("selected_path", s.selected_path);
    fields.emplace_back("memory_mode", s.memory_mode);
    fields.emplace_back("path_count", s.path_count);
    for (int p = 0; p < TAVRIN_STATUS_MAX_PATHS; ++p) fields.emplace_back("feed_hold " + std::to_string(p + 1), s.feed_hold[p]);
    return fields;
  }
};

TEST_F(MchnStatusTest, EveryFieldEqualsItsGetterForRandomPmcContentsInTenCallsWithPath1Selected) {
  std::mt19937 random(20261206);
  int selected_seen[4] = {0, 0, 0, 0};
  for (int round = 0; round < 400; ++round) {
    Randomise(&random);
    sim::ClearJournal();
    TavrinMachineStatus s;
    ASSERT_EQ(0, lib_ReadMachineStatus(handle_, &s));
    std::size_t calls = sim::JournalSize();
    CLibMchn m(handle_);
    for (const Field& f : kFields) EXPECT_EQ(s.*(f.field), (m.*(f.getter))() ? 1 : 0) << f.name << ", round " << round;
    EXPECT_EQ(s.selected_path, m.GetSelectedPath()) << round;
    EXPECT_EQ(s.memory_mode, m.GetMemMode()) << round;
    ASSERT_EQ(s.path_count, 2);
    EXPECT_EQ(s.feed_hold[0], m.GetStopFeed(1) ? 1 : 0);
    EXPECT_EQ(s.feed_hold[1], m.GetStopFeed(2) ? 1 : 0);
    EXPECT_EQ(s.feed_hold[2], -1) << "beyond the path count";
    // Eight ranges, F1000, the path count; K30 and K60 only when needed.
    EXPECT_EQ(calls, 10u + (s.selected_path == 1 ? 0 : s.selected_path == 2 ? 1 : 2)) << round;
    ++selected_seen[s.selected_path];
  }
  for (int path = 0; path <= 3; ++path) EXPECT_GT(selected_seen[path], 0) << "selected path " << path;
}

TEST_F(MchnStatusTest, AFailedReadMarksTheFieldsItFeedsAndARefusedRangeIsReadByteByByte) {
  std::mt19937 random(7);
  Randomise(&random);
  sim::SetPmcByte('K', 0, 0x02);  // path 1 selected: no K30/K60 reads
  TavrinMachineStatus whole;
  ASSERT_EQ(0, lib_ReadMachineStatus(handle_, &whole));
  const auto expected = Fields(whole);
  // The PMC reads in order: D25, D6045, D9150-1, D9386, D9550-1, D9694, F0-4, K0-12, F1000.
  const std::vector<std::vector<std::string>> fed = {
      {"program_check"},
      {"idle", "left_chuck_check", "right_chuck_check", "hand_check"},
      {"cycle_running", "reset_in_progress"},
      {"reset_in_progress"},
      {"simulation", "optional_stop", "work_preset_done", "simulation_reset_done", "simulation_reference_done"},
      {"six_digit_t"},
      {"dry_run", "single_block", "machine_lock", "feed_hold 1"},
      {"three_d_check_mode", "memory_mode", "selected_path"},
      {"feed_hold 2"},
  };
  for (std::size_t k = 0; k < fed.size(); ++k) {
    SCOPED_TRACE("read " + std::to_string(k + 1));
    sim::FailNth(sim::Call::pmc_rdpmcrng, static_cast<int>(k + 1), -16);
    TavrinMachineStatus s;
    EXPECT_EQ(-16, lib_ReadMachineStatus(handle_, &s));
    sim::ClearFailures();
    auto got = Fields(s);
    for (std::size_t i = 0; i < got.size(); ++i) {
      bool feeds = std::find(fed[k].begin(), fed[k].end(), got[i].first) != fed[k].end();
      EXPECT_EQ(got[i].second, feeds ? -1 : expected[i].second) << got[i].first;
    }
  }
  // A range that the CNC refuses as a range is read again byte by byte.
  sim::FailNth(sim::Call::pmc_rdpmcrng, 8, EW_NUMBER);
  sim::ClearJournal();
  TavrinMachineStatus s;
  EXPECT_EQ(0, lib_ReadMachineStatus(handle_, &s));
  sim::ClearFailures();
  EXPECT_EQ(Fields(s), expected);
  EXPECT_EQ(CallsOf(sim::Call::pmc_rdpmcrng).size(), 9u + 13u);
  EXPECT_EQ(DLL_FOCAS2_FUNCRET_INIT, lib_ReadMachineStatus(handle_, nullptr));
}

TEST_F(MchnStatusTest, TheIdentityReadingEqualsTheGettersInFewerCalls) {
  std::mt19937 random(101);
  const signed char series_codes[] = {40, 50, 6, 6, 62, 13};
  for (int round = 0; round < 200; ++round) {
    sim::SetParam(1, 7283, 0, series_codes[random() % 6]);
    sim::SetParam(1, 7257, 0, static_cast<std::int32_t>(random() % 256) - 128);
    sim::SetParam(1, 0, 0, static_cast<std::int32_t>(random() % 256));
    for (unsigned address : {4005u, 4006u, 7688u}) sim::SetPmcByte('D', address, random() & 0xFF);
    if (round % 2 == 0) sim::SetPmcByte('D', 4005, 3);  // the Alder model, for series code 6
    sim::SetMacro(1, 10434, static_cast<std::int32_t>(random() % 100000), static_cast<short>(random() % 4));
    for (std::int32_t number : {10435, 10436, 10437}) {
      sim::SetMacro(1, number, 65666768 + static_cast<std::int32_t>(random() % 10) * 101, 0);
    }
    for (int path = 1; path <= 2; ++path) {
      sim::SetMacro(path, 10910, static_cast<std::int32_t>(random() % 5000), static_cast<short>(random() % 3));
    }
    sim::ClearJournal();
    TavrinMachineIdentity id;
    ASSERT_EQ(0, lib_ReadMachineIdentity(handle_, &id));
    const std::size_t calls = sim::JournalSize();
    std::size_t pmc_and_macro = CallsOf(sim::Call::pmc_rdpmcrng).size() + CallsOf(sim::Call::cnc_rdpmacror).size();

    CLibMchn m(handle_);
    char series[TAVRIN_MCHN_TEXT_SIZE] = "";
    EXPECT_EQ(id.series_code, m.GetMchnSeries(series));
    EXPECT_STREQ(id.series, series) << round;
    EXPECT_EQ(id.type, m.GetMchnType());
    EXPECT_EQ(id.model, m.GetMchnModel());
    EXPECT_EQ(id.b_rotation, m.GetBRot() ? 1 : 0);
    EXPECT_EQ(id.magazine_stations, m.GetMagazineStMax());
    EXPECT_EQ(id.maintenance_version, m.GetMindrVersion());
    char serial[TAVRIN_MCHN_TEXT_SIZE] = "";
    EXPECT_EQ(id.serial_code, m.GetMachineSerialNo(serial));
    EXPECT_STREQ(id.serial_number, serial);
    EXPECT_EQ(id.inch, m.IsInch() ? 1 : 0);
    ASSERT_EQ(id.path_count, 2);
    EXPECT_EQ(id.station[0], m.GetStationNum(1)) << round;
    EXPECT_EQ(id.station[1], m.GetStationNum(2)) << round;
    EXPECT_EQ(id.station[2], -1);
    // Two PMC reads, one macro range; three parameters, two stations, two
    // path selections and the path count.
    EXPECT_EQ(pmc_and_macro, 3u);
    EXPECT_EQ(calls, 11u) << round;
  }
  // A failed macro range: the version holds its code, as GetMindrVersion's.
  sim::FailNext(sim::Call::cnc_rdpmacror, -16);
  TavrinMachineIdentity id;
  EXPECT_EQ(-16, lib_ReadMachineIdentity(handle_, &id));
  EXPECT_EQ(id.maintenance_version, -16.0);
  EXPECT_EQ(id.serial_code, -16);
  EXPECT_EQ(DLL_FOCAS2_FUNCRET_INIT, lib_ReadMachineIdentity(handle_, nullptr));
}

}  // namespace
}  // namespace tavrin::test
