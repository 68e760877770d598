// The simulated CNC: its strict FOCAS2 answers, failure injection, journal,
// machine description files and the shared state file.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "tavrin/focas2/records.h"
#include "support/child_process.h"
#include "tavrin/nc/return_codes.h"
#include "tavrin/simcnc.h"
#include "tavrin/simcnc_focas.h"

namespace sim = tavrin::simcnc;
namespace focas = tavrin::focas;

namespace {

class SimCnc : public ::testing::Test {
 protected:
  void SetUp() override {
    sim::Reset(2);
    sim::DefineParam(1, 7250, sim::ParamKind::Bit, false);
    sim::DefineParam(1, 7283, sim::ParamKind::Byte, false);
    sim::DefineParam(1, 3130, sim::ParamKind::Word, true);
    sim::DefineParam(1, 1320, sim::ParamKind::Real, true, 3);
    ASSERT_EQ(EW_OK, cnc_allclibhndl(&h));
  }
  unsigned short h = 0;
};

std::filesystem::path ScratchFolder(const std::string& name) {
  auto folder = std::filesystem::temp_directory_path() / ("tavrin_simcnc_" + name);
  std::filesystem::remove_all(folder);
  std::filesystem::create_directories(folder);
  return folder;
}

// Control-side reads: the value, or -999 when the call refused.
std::int32_t Macro(int path, std::int32_t number, short* decimals = nullptr) {
  std::int32_t value = -999;
  short places = 0;
  return sim::GetMacro(path, number, &value, decimals != nullptr ? decimals : &places) ? value : -999;
}
std::int32_t Param(int path, short number, short axis, int* decimals = nullptr) {
  std::int32_t value = -999;
  return sim::GetParam(path, number, axis, &value, decimals) ? value : -999;
}
int PmcByte(char letter, unsigned address) {
  std::uint8_t byte = 0;
  return sim::GetPmcByte(letter, address, &byte) ? byte : -999;
}

// --- Strict answers -----------------------------------------------------------

// Every kind of refusal: a handle, path, number, attribute or length the CNC
// does not have, or a null pointer.  None of them changes the machine.
TEST_F(SimCnc, EachFaultyCallGetsItsCodeAndChangesNothing) {
  unsigned short freed = 0;
  ASSERT_EQ(EW_OK, cnc_allclibhndl2(9, &freed));
  ASSERT_EQ(EW_OK, cnc_freelibhndl(freed));
  focas::ParamRecord p{};
  focas::PmcRecord r{};
  focas::OffsetRecord o{};
  focas::AxisNameEntry names[32] = {};
  std::vector<unsigned char> range(focas::MacroRangeLength(4));
  short s = 0, zero = 0;
  auto wrparam = [&](short number, short axis, short length, short decimals) {
    p = {};
    p.number = number;
    p.axis = axis;
    p.data.real_data[0] = {5, decimals};
    return cnc_wrparam(h, length, &p);
  };
  auto wrpmc = [&](short type, short length) {
    r = {};
    r.address_type = type;
    return pmc_wrpmcrng(h, length, &r);
  };
  const struct {
    const char* what;
    short code;
    std::function<short()> call;
  } cases[] = {
      {"use a freed handle", EW_HANDLE, [&] { return cnc_wrpmacro(freed, 100, 1, 0); }},
      {"path 3 of 2", EW_PATH, [&] { return cnc_setpath(h, 3); }},
      {"path 0", EW_PATH, [&] { return cnc_setpath(h, 0); }},
      {"byte parameter, length 6", EW_LENGTH, [&] { return cnc_rdparam(h, 7283, 0, 6, &p); }},
      {"axis 1 of no-axis parameter", EW_NUMBER, [&] { return cnc_rdparam(h, 7283, 1, 5, &p); }},
      {"all axes of no-axis parameter", EW_NUMBER, [&] { return cnc_rdparam(h, 7283, -1, 36, &p); }},
      {"unknown parameter", EW_NUMBER, [&] { return cnc_rdparam(h, 7284, 0, 5, &p); }},
      {"axis 0 of per-axis parameter", EW_NUMBER, [&] { return cnc_rdparam(h, 3130, 0, 6, &p); }},
      {"axis 33", EW_NUMBER, [&] { return cnc_rdparam(h, 3130, 33, 6, &p); }},
      {"axis 32", EW_OK, [&] { return cnc_rdparam(h, 1320, 32, 12, &p); }},
      {"all axes of a real, length 132", EW_LENGTH, [&] { return cnc_rdparam(h, 1320, -1, 132, &p); }},
      {"all axes of a real, length 260", EW_OK, [&] { return cnc_rdparam(h, 1320, -1, 260, &p); }},
      {"bit write, length 6", EW_LENGTH, [&] { return wrparam(7250, 0, 6, 0); }},
      {"write shorter than a header", EW_LENGTH, [&] { return wrparam(7250, 0, 3, 0); }},
      {"real write, 10 decimals", EW_DATA, [&] { return wrparam(1320, 2, 12, 10); }},
      {"write of all axes", EW_NUMBER, [&] { return wrparam(1320, -1, 12, 2); }},
      {"PMC area code 10", EW_ATTRIB, [&] { return pmc_rdpmcrng(h, 10, 0, 0, 0, 9, &r); }},
      {"PMC data type 3", EW_ATTRIB, [&] { return pmc_rdpmcrng(h, 9, 3, 0, 0, 9, &r); }},
      {"PMC end below start", EW_NUMBER, [&] { return pmc_rdpmcrng(h, 9, 0, 5, 4, 7, &r); }},
      {"PMC byte 10000", EW_NUMBER, [&] { return pmc_rdpmcrng(h, 9, 0, 10000, 10000, 9, &r); }},
      {"PMC not whole words", EW_NUMBER, [&] { return pmc_rdpmcrng(h, 9, 1, 10, 12, 11, &r); }},
      {"PMC byte, length 10", EW_LENGTH, [&] { return pmc_rdpmcrng(h, 9, 0, 10, 10, 10, &r); }},
      {"PMC 21 bytes", EW_LENGTH, [&] { return pmc_rdpmcrng(h, 9, 0, 0, 20, 29, &r); }},
      {"PMC 20 bytes", EW_OK, [&] { return pmc_rdpmcrng(h, 9, 0, 0, 19, 28, &r); }},
      {"PMC write shorter than a header", EW_LENGTH, [&] { return wrpmc(9, 7); }},
      {"macro range, length 36 for 4", EW_LENGTH, [&] { return cnc_rdpmacror(h, 500, 503, 36, range.data()); }},
      {"macro 0", EW_NUMBER, [&] { return cnc_rdpmacror(h, 0, 1, 28, range.data()); }},
      {"macro 100000", EW_NUMBER, [&] { return cnc_rdpmacror(h, 99999, 100000, 28, range.data()); }},
      {"macro range backwards", EW_NUMBER, [&] { return cnc_rdpmacror(h, 502, 501, 20, range.data()); }},
      {"macro write 100000", EW_NUMBER, [&] { return cnc_wrpmacro(h, 100000, 1, 0); }},
      {"macro write, -1 decimals", EW_DATA, [&] { return cnc_wrpmacro(h, 1, 1, -1); }},
      {"offset 65 of 64", EW_NUMBER, [&] { return cnc_rdtofs(h, 65, 0, 8, &o); }},
      {"offset 0", EW_NUMBER, [&] { return cnc_wrtofs(h, 0, 0, 8, 1); }},
      {"offset type 10", EW_ATTRIB, [&] { return cnc_rdtofs(h, 1, 10, 8, &o); }},
      {"offset length 4", EW_LENGTH, [&] { return cnc_wrtofs(h, 1, 0, 4, 1); }},
      {"figure kind 0", EW_ATTRIB, [&] { return cnc_getfigure(h, 0, &s, &s, &s); }},
      {"no room for an axis name", EW_LENGTH, [&] { return cnc_rdaxisname(h, &zero, names); }},
      {"null handle output", EW_DATA, [&] { return cnc_allclibhndl(nullptr); }},
      {"null address", EW_DATA, [&] { return cnc_allclibhndl3(nullptr, 1, 5, &freed); }},
      {"null parameter record", EW_DATA, [&] { return cnc_rdparam(h, 7283, 0, 5, nullptr); }},
      {"null PMC record", EW_DATA, [&] { return pmc_rdpmcrng(h, 9, 0, 0, 0, 9, nullptr); }},
      {"null macro range write", EW_DATA, [&] { return cnc_wrpmacror(h, 20, nullptr); }},
      {"null figure output", EW_DATA, [&] { return cnc_getfigure(h, 1, &s, nullptr, &s); }},
  };
  for (const auto& c : cases) EXPECT_EQ(c.code, c.call()) << c.what;
  EXPECT_EQ(1, sim::OpenHandleCount());
  EXPECT_EQ(1, sim::CurrentPath(h));
  EXPECT_EQ(0, Param(1, 1320, 2));
  EXPECT_EQ(0, Param(1, 7250, 0));
  EXPECT_EQ(0, Macro(1, 1));
}

// --- Values -------------------------------------------------------------------

TEST_F(SimCnc, PathsBelongToHandlesAndResetForgetsHandles) {
  unsigned short other = 0;
  ASSERT_EQ(EW_OK, cnc_allclibhndl(&other));
  ASSERT_EQ(EW_OK, cnc_setpath(h, 2));
  EXPECT_EQ(2, sim::CurrentPath(h));
  EXPECT_EQ(1, sim::CurrentPath(other));
  // Macro variables and parameters belong to the path.
  ASSERT_EQ(EW_OK, cnc_wrpmacro(h, 500, 7, 0));
  EXPECT_EQ(7, Macro(2, 500));
  EXPECT_EQ(0, Macro(1, 500));
  focas::ParamRecord record{};
  EXPECT_EQ(EW_NUMBER, cnc_rdparam(h, 7283, 0, 5, &record));

  // A handle made before a reset is unknown after it, even once new handles
  // are given out.
  sim::Reset(1);
  ASSERT_EQ(EW_OK, cnc_allclibhndl(&other));
  EXPECT_NE(h, other);
  EXPECT_EQ(EW_HANDLE, cnc_setpath(h, 1));
}

TEST_F(SimCnc, ParametersHoldValuesAsTheCncKeepsThemAndNoMoreThanAskedFor) {
  ASSERT_TRUE(sim::SetParam(1, 7283, 0, 200));
  ASSERT_TRUE(sim::SetParam(1, 3130, 2, -5));
  EXPECT_FALSE(sim::SetParam(1, 3130, 0, 1));      // per-axis parameters have no axis 0
  EXPECT_FALSE(sim::SetParam(1, 3130, 1, 70000));  // does not fit a word
  focas::ParamRecord record{};
  ASSERT_EQ(EW_OK, cnc_rdparam(h, 7283, 0, 5, &record));
  EXPECT_EQ(-56, record.data.byte_data[0]);  // 200 held as a signed byte
  std::memset(&record, 0x55, sizeof record);
  ASSERT_EQ(EW_OK, cnc_rdparam(h, 3130, -1, 68, &record));
  EXPECT_EQ(-5, record.data.word_data[1]);
  EXPECT_EQ(0x55, record.data.raw[64]);  // nothing past the 68 bytes asked for

}

TEST_F(SimCnc, MacroRangesAreWrittenWholeOrNotAtAll) {
  std::vector<unsigned char> buffer(focas::MacroRangeLength(3));
  *reinterpret_cast<focas::MacroRangeHeader*>(buffer.data()) = {500, 0, 0, 502};
  auto* entries = reinterpret_cast<focas::MacroEntry*>(buffer.data() + 12);
  entries[0] = {25, 1, 0};
  entries[1] = {-7, 0, 0};
  entries[2] = {3, 9, 0};
  ASSERT_EQ(EW_OK, cnc_wrpmacror(h, 36, buffer.data()));
  entries[0] = {1, 0, 0};  // one bad entry refuses the whole write
  entries[2] = {1, 10, 0};
  EXPECT_EQ(EW_DATA, cnc_wrpmacror(h, 36, buffer.data()));
  short decimals = 0;
  EXPECT_EQ(25, Macro(1, 500, &decimals));
  EXPECT_EQ(1, decimals);
}

TEST_F(SimCnc, OffsetCountAndAxisNamesFollowTheMachine) {
  focas::OffsetRecord offset{};
  sim::SetOffsetCount(1, 100);
  EXPECT_EQ(EW_OK, cnc_rdtofs(h, 100, 0, 8, &offset));
  sim::SetAxisNames(1, {"X", "Z", "C2"});
  focas::AxisNameEntry names[32] = {};
  short count = 32;
  ASSERT_EQ(EW_OK, cnc_rdaxisname(h, &count, names));
  EXPECT_EQ(3, count);
  EXPECT_EQ('C', names[2].name);
  EXPECT_EQ('2', names[2].suffix);
  count = 2;  // room for two: two come back
  ASSERT_EQ(EW_OK, cnc_rdaxisname(h, &count, names));
  EXPECT_EQ(2, count);
}

// --- Failure injection and journal --------------------------------------------

TEST_F(SimCnc, InjectedFailuresHitTheChosenCallsAndDoNothingElse) {
  sim::FailNext(sim::Call::cnc_wrpmacro, EW_BUSY);
  EXPECT_EQ(EW_BUSY, cnc_wrpmacro(h, 1, 5, 0));
  EXPECT_EQ(0, Macro(1, 1));  // the failed write wrote nothing
  EXPECT_EQ(EW_OK, cnc_wrpmacro(h, 1, 5, 0));
  sim::FailNth(sim::Call::pmc_rdpmcrng, 2, EW_RESET);  // the second call from now
  focas::PmcRecord record{};
  EXPECT_EQ(EW_OK, pmc_rdpmcrng(h, 9, 0, 1, 1, 9, &record));
  record.address_type = 77;
  EXPECT_EQ(EW_RESET, pmc_rdpmcrng(h, 9, 0, 1, 1, 9, &record));
  EXPECT_EQ(77, record.address_type);  // a failed read fills nothing

  // Failures precede every other answer, even on an unknown handle, and an
  // open that fails opens nothing.
  sim::FailAlways(sim::Call::cnc_allclibhndl, EW_NODLL);
  unsigned short handle = 0;
  EXPECT_EQ(EW_NODLL, cnc_allclibhndl(&handle));
  EXPECT_EQ(EW_NODLL, cnc_allclibhndl(&handle));
  EXPECT_EQ(0, handle);
  EXPECT_EQ(1, sim::OpenHandleCount());
  sim::FailNext(sim::Call::cnc_freelibhndl, EW_BUSY);
  EXPECT_EQ(EW_BUSY, cnc_freelibhndl(12345));
  sim::ClearFailures();
  EXPECT_EQ(EW_OK, cnc_allclibhndl(&handle));
}

TEST_F(SimCnc, JournalKeepsArgumentsRecordsAndResults) {
  sim::SetParam(1, 7283, 0, 24);
  unsigned short handle = 0;
  ASSERT_EQ(EW_OK, cnc_allclibhndl3("cnc-1", 8193, 5, &handle));
  focas::ParamRecord record{};
  ASSERT_EQ(EW_OK, cnc_rdparam(handle, 7283, 0, 5, &record));
  sim::FailNext(sim::Call::cnc_setpath, EW_BUSY);
  EXPECT_EQ(EW_BUSY, cnc_setpath(handle, 2));
  focas::PmcRecord pmc{};
  EXPECT_EQ(EW_LENGTH, pmc_rdpmcrng(handle, 9, 0, 0, 0, 60000, &pmc));

  std::vector<sim::JournalEntry> journal = sim::Journal();
  ASSERT_EQ(5u, journal.size());  // the fixture's open first
  EXPECT_EQ(0, journal[1].handle);
  EXPECT_EQ("cnc-1", journal[1].text);
  EXPECT_EQ(handle, journal[2].handle);
  ASSERT_EQ(5u, journal[2].record_in.size());
  EXPECT_EQ(0, journal[2].record_in[4]);
  EXPECT_EQ(24, journal[2].record_out[4]);
  EXPECT_EQ(EW_BUSY, journal[3].result);
  EXPECT_EQ(28u, journal[4].record_in.size());  // never more than the record holds

  sim::Call call;
  EXPECT_TRUE(sim::CallFromName("cnc_rdaxisname", &call) && call == sim::Call::cnc_rdaxisname);
  EXPECT_FALSE(sim::CallFromName("cnc_startupprocess", &call));
  sim::SetJournalEnabled(false);
  cnc_setpath(handle, 1);
  EXPECT_EQ(5u, sim::JournalSize());
}

// --- Machine description files -----------------------------------------------

void ExpectRoundTrip() {
  std::string error;
  const std::string saved = sim::SaveText();
  sim::Reset(1);
  ASSERT_TRUE(sim::LoadText(saved, &error)) << error;
  EXPECT_EQ(saved, sim::SaveText());
}

TEST_F(SimCnc, ExampleLatheLoadsAndRoundTrips) {
  std::string error;
  ASSERT_TRUE(sim::LoadFile(std::string(TAVRIN_TEST_SOURCE_DIR) + "/examples/lathe.toml", &error)) << error;
  EXPECT_EQ(2, sim::PathCount());
  EXPECT_EQ(812500, Param(1, 1320, 2));
  EXPECT_EQ(0x2E, PmcByte('E', 8000));
  focas::AxisNameEntry names[32] = {};
  short count = 32;
  ASSERT_EQ(EW_OK, cnc_rdaxisname(h, &count, names));
  EXPECT_EQ(5, count);  // the open handle stays, on path 1
  ExpectRoundTrip();
}

TEST_F(SimCnc, ValuesWithDecimalPlacesKeepTheirPairs) {
  std::string error;
  ASSERT_TRUE(sim::LoadText("[[path]]\n[[path.parameter]]\nnumber = 1\nkind = \"real\"\ndecimals = 2\n"
                            "axes = [1.5, \"-0.25\", 3, { value = 7, decimals = 0 }]\n[path.macros]\n"
                            "1 = 2.5\n2 = \"2.50\"\n3 = { value = 0, decimals = -1 }\n4 = -0.001\n",
                            &error))
      << error;
  // Macro #n, then axis n of the parameter: value and decimal places.
  const std::int32_t expected[][4] = {{25, 1, 150, 2}, {250, 2, -25, 2}, {0, -1, 300, 2}, {-1, 3, 7, 0}};
  for (short n = 1; n <= 4; ++n) {
    short macro_decimals = 0;
    int param_decimals = 0;
    EXPECT_EQ(expected[n - 1][0], Macro(1, n, &macro_decimals)) << "#" << n;
    EXPECT_EQ(expected[n - 1][1], macro_decimals) << "#" << n;
    EXPECT_EQ(expected[n - 1][2], Param(1, 1, n, &param_decimals)) << "axis " << n;
    EXPECT_EQ(expected[n - 1][3], param_decimals) << "axis " << n;
  }
  ExpectRoundTrip();
}

TEST_F(SimCnc, MalformedDescriptionsLeaveTheMachineAndSayWhere) {
  sim::SetMacro(1, 100, 42, 0);
  const char* const cases[][2] = {
      {"[[path]]\naxes = [\"X\"\n", "text:"},
      {"[[path]]\n[[path.parameter]]\nnumber = 5\nkind = \"byte\"\nvalue = 300\n", "text:5:9: path 1: parameter 5: 300"},
      {"[[path]]\n[[path.parameter]]\nnumber = 5\nkind = \"real\"\ndecimals = 1\nvalue = 1.25\n",
       "more than 1 decimal places"},
      {"[[path]]\naxis = [\"X\"]\n", "unknown key 'axis'"},
      {"[pmc]\nD9550 = 4\n", "at least one [[path]]"},
      {"[[path]]\n[pmc]\nD10000 = 1\n", "D10000"},
      {"[[path]]\n[pmc]\nD5 = [1, 2]\nD6 = 3\n", "D6 is given twice"},
      {"[[path]]\n[path.macros]\n0 = 1\n", "macro variable '0'"},
      {"[[path]]\n[path.offsets]\ncount = 4\n5 = [1]\n", "offset number"},
  };
  for (const auto& c : cases) {
    std::string error;
    EXPECT_FALSE(sim::LoadText(c[0], &error)) << c[0];
    EXPECT_NE(std::string::npos, error.find(c[1])) << error;
  }
  EXPECT_EQ(2, sim::PathCount());
  EXPECT_EQ(42, Macro(1, 100));
  std::string error;
  EXPECT_FALSE(sim::LoadFile("/nonexistent/machine.toml", &error));
  EXPECT_NE(std::string::npos, error.find("/nonexistent/machine.toml")) << error;
}

// --- Shared state file: two writers each add to macro #500 under the lock ------

std::string state_file;

bool AddToSharedCount(int rounds) {
  bool ok = true;
  auto increment = [](void*) { sim::SetMacro(1, 500, Macro(1, 500) + 1, 0); };
  for (int i = 0; i < rounds; ++i) ok = sim::WithStateFile(state_file, increment, nullptr, nullptr) && ok;
  return ok;
}

std::int32_t SharedCount() {
  std::string error;
  EXPECT_TRUE(sim::LoadFile(state_file, &error)) << error;
  return Macro(1, 500);
}

// Threads of one process take turns on the lock as processes do; the
// second process runs the same code (fork), where the platform has it.
TEST_F(SimCnc, StateFileSharedByTwoWritersLosesNoIncrement) {
  const auto folder = ScratchFolder("shared");
  state_file = (folder / "state.toml").string();
  ASSERT_TRUE(sim::SaveFile(state_file, nullptr));
  bool ok[2] = {false, false};
  std::thread first([&] { ok[0] = AddToSharedCount(50); }), second([&] { ok[1] = AddToSharedCount(50); });
  first.join();
  second.join();
  EXPECT_TRUE(ok[0] && ok[1]);
  EXPECT_EQ(100, SharedCount());
  if (tavrin::test::ChildProcessesSupported()) {
    long child = tavrin::test::StartChild([](void*) { return AddToSharedCount(100); }, nullptr);
    ASSERT_GE(child, 0);
    EXPECT_TRUE(AddToSharedCount(100));
    ASSERT_TRUE(tavrin::test::ChildSucceeded(child));
    EXPECT_EQ(300, SharedCount());
  }
  // Every save replaced the file whole: only it and its lock file remain.
  EXPECT_EQ(2, std::distance(std::filesystem::directory_iterator(folder), std::filesystem::directory_iterator()));
  EXPECT_FALSE(sim::SaveFile((folder / "missing" / "state.toml").string(), nullptr));
  state_file = (folder / "none.toml").string();  // must exist
  EXPECT_FALSE(AddToSharedCount(1));
  std::filesystem::remove_all(folder);
}

}  // namespace
