// The simulated CNC: its strict FOCAS2 answers, failure injection, journal,
// machine description files and the shared state file.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "nc/focas2_records.h"
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

// --- Handles and paths ------------------------------------------------------

TEST_F(SimCnc, HandlesAreNewNonZeroAndUnknownOnceFreed) {
  unsigned short second = 0;
  ASSERT_EQ(EW_OK, cnc_allclibhndl2(9, &second));
  EXPECT_NE(0, h);
  EXPECT_NE(h, second);
  EXPECT_EQ(2, sim::OpenHandleCount());

  EXPECT_EQ(EW_OK, cnc_freelibhndl(second));
  short current = 0, maximum = 0;
  EXPECT_EQ(EW_HANDLE, cnc_getpath(second, &current, &maximum));
  EXPECT_EQ(EW_HANDLE, cnc_freelibhndl(second));
  EXPECT_EQ(EW_HANDLE, cnc_wrpmacro(second, 100, 1, 0));
  EXPECT_EQ(0, sim::CurrentPath(second));

  // A handle made before a reset is unknown after it, even once new handles
  // are given out.
  sim::Reset(1);
  unsigned short fresh = 0;
  ASSERT_EQ(EW_OK, cnc_allclibhndl(&fresh));
  EXPECT_NE(h, fresh);
  EXPECT_EQ(EW_HANDLE, cnc_setpath(h, 1));
}

TEST_F(SimCnc, EthernetOpenRecordsItsArgumentsAndRefusesNullPointers) {
  unsigned short handle = 0;
  ASSERT_EQ(EW_OK, cnc_allclibhndl3("192.168.0.7", 8193, 5, &handle));
  sim::EthernetOpen open = sim::LastEthernetOpen();
  EXPECT_EQ("192.168.0.7", open.address);
  EXPECT_EQ(8193, open.port);
  EXPECT_EQ(5, open.timeout);

  EXPECT_EQ(EW_DATA, cnc_allclibhndl3(nullptr, 1, 5, &handle));
  EXPECT_EQ(EW_DATA, cnc_allclibhndl3("10.0.0.1", 1, 5, nullptr));
  EXPECT_EQ(EW_DATA, cnc_allclibhndl(nullptr));
  EXPECT_EQ(2, sim::OpenHandleCount());
  EXPECT_EQ("192.168.0.7", sim::LastEthernetOpen().address);
}

TEST_F(SimCnc, PathIsSelectedPerHandle) {
  unsigned short other = 0;
  ASSERT_EQ(EW_OK, cnc_allclibhndl(&other));
  short current = 0, maximum = 0;
  ASSERT_EQ(EW_OK, cnc_setpath(h, 2));
  EXPECT_EQ(EW_PATH, cnc_setpath(h, 3));
  EXPECT_EQ(EW_PATH, cnc_setpath(h, 0));
  ASSERT_EQ(EW_OK, cnc_getpath(h, &current, &maximum));
  EXPECT_EQ(2, current);
  EXPECT_EQ(2, maximum);
  EXPECT_EQ(1, sim::CurrentPath(other));

  // Macro variables belong to the path: path 2's value is not path 1's.
  ASSERT_EQ(EW_OK, cnc_wrpmacro(h, 500, 7, 0));
  focas::MacroRecord record{};
  ASSERT_EQ(EW_OK, cnc_rdpmacro(other, 500, &record));
  EXPECT_EQ(0, record.value);
  std::int32_t value = 0;
  short decimals = 0;
  ASSERT_TRUE(sim::GetMacro(2, 500, &value, &decimals));
  EXPECT_EQ(7, value);
}

// --- Parameters -------------------------------------------------------------

TEST_F(SimCnc, ParameterReadsFitLengthAndAxisToTheKind) {
  sim::DefineParam(1, 7283, sim::ParamKind::Byte, false);
  sim::DefineParam(1, 3130, sim::ParamKind::Word, true);
  sim::DefineParam(1, 1320, sim::ParamKind::Real, true, 3);
  ASSERT_TRUE(sim::SetParam(1, 7283, 0, 200));
  ASSERT_TRUE(sim::SetParam(1, 3130, 2, -5));
  ASSERT_TRUE(sim::SetParam(1, 1320, 32, 812500));
  EXPECT_FALSE(sim::SetParam(1, 3130, 0, 1));      // per-axis parameters have no axis 0
  EXPECT_FALSE(sim::SetParam(1, 3130, 1, 70000));  // does not fit a word

  focas::ParamRecord record{};
  ASSERT_EQ(EW_OK, cnc_rdparam(h, 7283, 0, 5, &record));
  EXPECT_EQ(7283, record.number);
  EXPECT_EQ(-56, record.data.byte_data[0]);  // 200 held as a signed byte
  EXPECT_EQ(EW_LENGTH, cnc_rdparam(h, 7283, 0, 6, &record));
  EXPECT_EQ(EW_NUMBER, cnc_rdparam(h, 7283, 1, 5, &record));
  EXPECT_EQ(EW_NUMBER, cnc_rdparam(h, 7283, -1, 36, &record));
  EXPECT_EQ(EW_NUMBER, cnc_rdparam(h, 7284, 0, 5, &record));

  EXPECT_EQ(EW_NUMBER, cnc_rdparam(h, 3130, 0, 6, &record));
  EXPECT_EQ(EW_NUMBER, cnc_rdparam(h, 3130, 33, 6, &record));
  std::memset(&record, 0x55, sizeof record);
  ASSERT_EQ(EW_OK, cnc_rdparam(h, 3130, -1, 68, &record));
  EXPECT_EQ(-1, record.axis);
  EXPECT_EQ(0, record.data.word_data[0]);
  EXPECT_EQ(-5, record.data.word_data[1]);
  EXPECT_EQ(0, record.data.word_data[31]);
  EXPECT_EQ(0x55, record.data.raw[64]);  // nothing past the 68 bytes asked for

  ASSERT_EQ(EW_OK, cnc_rdparam(h, 1320, 32, 12, &record));
  EXPECT_EQ(812500, record.data.real_data[0].value);
  EXPECT_EQ(3, record.data.real_data[0].decimals);
  EXPECT_EQ(EW_LENGTH, cnc_rdparam(h, 1320, -1, 132, &record));
  EXPECT_EQ(EW_OK, cnc_rdparam(h, 1320, -1, 260, &record));

  // Parameters belong to the path.
  ASSERT_EQ(EW_OK, cnc_setpath(h, 2));
  EXPECT_EQ(EW_NUMBER, cnc_rdparam(h, 7283, 0, 5, &record));
}

TEST_F(SimCnc, ParameterWritesTakeOneAxisAndRealDecimals) {
  sim::DefineParam(1, 7250, sim::ParamKind::Bit, false);
  sim::DefineParam(1, 1320, sim::ParamKind::Real, true, 3);
  focas::ParamRecord record{};
  record.number = 7250;
  record.data.byte_data[0] = static_cast<std::int8_t>(0x83);
  ASSERT_EQ(EW_OK, cnc_wrparam(h, 5, &record));
  std::int32_t value = 0;
  int decimals = -1;
  ASSERT_TRUE(sim::GetParam(1, 7250, 0, &value));
  EXPECT_EQ(0x83, value);
  EXPECT_EQ(EW_LENGTH, cnc_wrparam(h, 6, &record));
  EXPECT_EQ(EW_LENGTH, cnc_wrparam(h, 3, &record));

  record.number = 1320;
  record.axis = 2;
  record.data.real_data[0] = {1234, 2};
  ASSERT_EQ(EW_OK, cnc_wrparam(h, 12, &record));
  ASSERT_TRUE(sim::GetParam(1, 1320, 2, &value, &decimals));
  EXPECT_EQ(1234, value);
  EXPECT_EQ(2, decimals);
  record.data.real_data[0] = {5, 10};
  EXPECT_EQ(EW_DATA, cnc_wrparam(h, 12, &record));
  record.axis = -1;  // no write covers all axes
  EXPECT_EQ(EW_NUMBER, cnc_wrparam(h, 12, &record));
  ASSERT_TRUE(sim::GetParam(1, 1320, 2, &value, &decimals));
  EXPECT_EQ(1234, value);
}

// --- PMC --------------------------------------------------------------------

TEST_F(SimCnc, PmcValuesAreLittleEndianAndReadsFillTheHeader) {
  focas::PmcRecord record{};
  record.address_type = 9;
  record.data_type = 2;
  record.start = 100;
  record.end = 103;
  record.data.two_word_data[0] = 0x12345678;
  ASSERT_EQ(EW_OK, pmc_wrpmcrng(h, 12, &record));
  std::uint8_t byte = 0;
  ASSERT_TRUE(sim::GetPmcByte('D', 100, &byte));
  EXPECT_EQ(0x78, byte);
  ASSERT_TRUE(sim::GetPmcByte('D', 103, &byte));
  EXPECT_EQ(0x12, byte);

  focas::PmcRecord read{};
  ASSERT_EQ(EW_OK, pmc_rdpmcrng(h, 9, 1, 102, 103, 10, &read));
  EXPECT_EQ(9, read.address_type);
  EXPECT_EQ(1, read.data_type);
  EXPECT_EQ(102, read.start);
  EXPECT_EQ(103, read.end);
  EXPECT_EQ(0x1234, read.data.word_data[0]);

  // Four bytes read as bytes, as the ATC T code is read.
  ASSERT_EQ(EW_OK, pmc_rdpmcrng(h, 9, 0, 100, 103, 12, &read));
  EXPECT_EQ(0x12345678, read.data.two_word_data[0]);

  ASSERT_TRUE(sim::SetPmcByte('E', 9999, 0xAB));
  ASSERT_EQ(EW_OK, pmc_rdpmcrng(h, 12, 0, 9999, 9999, 9, &read));
  EXPECT_EQ(static_cast<std::int8_t>(0xAB), read.data.byte_data[0]);
}

TEST_F(SimCnc, PmcRefusesBadTypesRangesAndLengths) {
  focas::PmcRecord record{};
  EXPECT_EQ(EW_ATTRIB, pmc_rdpmcrng(h, 10, 0, 0, 0, 9, &record));   // no area has code 10
  EXPECT_EQ(EW_ATTRIB, pmc_rdpmcrng(h, 9, 3, 0, 0, 9, &record));    // no data type 3
  EXPECT_EQ(EW_NUMBER, pmc_rdpmcrng(h, 9, 0, 5, 4, 7, &record));    // end below start
  EXPECT_EQ(EW_NUMBER, pmc_rdpmcrng(h, 9, 0, 10000, 10000, 9, &record));
  EXPECT_EQ(EW_NUMBER, pmc_rdpmcrng(h, 9, 1, 9999, 10000, 10, &record));
  EXPECT_EQ(EW_NUMBER, pmc_rdpmcrng(h, 9, 1, 10, 12, 11, &record)); // not whole words
  EXPECT_EQ(EW_LENGTH, pmc_rdpmcrng(h, 9, 0, 10, 10, 10, &record));
  EXPECT_EQ(EW_LENGTH, pmc_rdpmcrng(h, 9, 1, 10, 11, 9, &record));
  EXPECT_EQ(EW_LENGTH, pmc_rdpmcrng(h, 9, 0, 0, 20, 29, &record));  // beyond the 20 data bytes
  EXPECT_EQ(EW_OK, pmc_rdpmcrng(h, 9, 0, 0, 19, 28, &record));
  EXPECT_EQ(EW_LENGTH, pmc_wrpmcrng(h, 7, &record));
  record.address_type = 11;
  EXPECT_EQ(EW_ATTRIB, pmc_wrpmcrng(h, 28, &record));
  EXPECT_EQ(10000u, sim::PmcAreaSize('D'));
  EXPECT_EQ(0u, sim::PmcAreaSize('Q'));
  EXPECT_FALSE(sim::SetPmcByte('D', 10000, 1));
}

// --- Macro variables, offsets, figures, status, axes ------------------------

TEST_F(SimCnc, MacroRangesAreCheckedAndWrittenWhole) {
  std::vector<unsigned char> buffer(focas::MacroRangeLength(3));
  auto* header = reinterpret_cast<focas::MacroRangeHeader*>(buffer.data());
  auto* entries = reinterpret_cast<focas::MacroEntry*>(buffer.data() + 12);
  header->first = 500;
  header->last = 502;
  entries[0] = {25, 1, 0};
  entries[1] = {-7, 0, 0};
  entries[2] = {3, 9, 0};
  ASSERT_EQ(EW_OK, cnc_wrpmacror(h, 36, buffer.data()));

  std::vector<unsigned char> read(focas::MacroRangeLength(4));
  ASSERT_EQ(EW_OK, cnc_rdpmacror(h, 500, 503, 44, read.data()));
  auto* out = reinterpret_cast<focas::MacroEntry*>(read.data() + 12);
  EXPECT_EQ(25, out[0].value);
  EXPECT_EQ(1, out[0].decimals);
  EXPECT_EQ(-7, out[1].value);
  EXPECT_EQ(9, out[2].decimals);
  EXPECT_EQ(0, out[3].value);  // never set
  EXPECT_EQ(503, reinterpret_cast<focas::MacroRangeHeader*>(read.data())->last);

  EXPECT_EQ(EW_LENGTH, cnc_rdpmacror(h, 500, 503, 36, read.data()));
  EXPECT_EQ(EW_NUMBER, cnc_rdpmacror(h, 0, 1, 28, read.data()));
  EXPECT_EQ(EW_NUMBER, cnc_rdpmacror(h, 99999, 100000, 28, read.data()));
  EXPECT_EQ(EW_NUMBER, cnc_rdpmacror(h, 502, 501, 20, read.data()));

  // One bad entry refuses the whole write.
  entries[0] = {1, 0, 0};
  entries[2] = {1, 10, 0};
  EXPECT_EQ(EW_DATA, cnc_wrpmacror(h, 36, buffer.data()));
  focas::MacroRecord single{};
  ASSERT_EQ(EW_OK, cnc_rdpmacro(h, 500, &single));
  EXPECT_EQ(500, single.number);
  EXPECT_EQ(25, single.value);
  EXPECT_EQ(1, single.decimals);
  EXPECT_EQ(EW_NUMBER, cnc_wrpmacro(h, 100000, 1, 0));
  EXPECT_EQ(EW_DATA, cnc_wrpmacro(h, 1, 1, -1));
}

TEST_F(SimCnc, OffsetsFiguresStatusAndAxisNames) {
  ASSERT_EQ(EW_OK, cnc_wrtofs(h, 64, 9, 8, -1250));
  focas::OffsetRecord offset{};
  ASSERT_EQ(EW_OK, cnc_rdtofs(h, 64, 9, 8, &offset));
  EXPECT_EQ(64, offset.number);
  EXPECT_EQ(9, offset.type);
  EXPECT_EQ(-1250, offset.value);
  EXPECT_EQ(EW_NUMBER, cnc_rdtofs(h, 65, 0, 8, &offset));
  EXPECT_EQ(EW_NUMBER, cnc_wrtofs(h, 0, 0, 8, 1));
  EXPECT_EQ(EW_ATTRIB, cnc_rdtofs(h, 1, 10, 8, &offset));
  EXPECT_EQ(EW_LENGTH, cnc_wrtofs(h, 1, 0, 4, 1));
  sim::SetOffsetCount(1, 100);
  EXPECT_EQ(EW_OK, cnc_rdtofs(h, 100, 0, 8, &offset));
  EXPECT_EQ(-1250, (sim::GetOffset(1, 64, 9, &offset.value), offset.value));

  sim::SetFigures(1, 8, 4, 2);
  short valid = 0, input = 0, output = 0;
  ASSERT_EQ(EW_OK, cnc_getfigure(h, 1, &valid, &input, &output));
  EXPECT_EQ(8, valid);
  EXPECT_EQ(4, input);
  EXPECT_EQ(2, output);
  EXPECT_EQ(EW_ATTRIB, cnc_getfigure(h, 0, &valid, &input, &output));

  sim::SetStatusField(1, focas::kStatusModeField, 5);
  focas::StatusRecord status{};
  ASSERT_EQ(EW_OK, cnc_statinfo(h, &status));
  EXPECT_EQ(5, status.fields[focas::kStatusModeField]);

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
  count = 0;
  EXPECT_EQ(EW_LENGTH, cnc_rdaxisname(h, &count, names));
}

TEST_F(SimCnc, NullOutputsGiveDataErrorInsteadOfACrash) {
  sim::DefineParam(1, 1, sim::ParamKind::Byte, false);
  short value = 0;
  EXPECT_EQ(EW_DATA, cnc_getpath(h, nullptr, &value));
  EXPECT_EQ(EW_DATA, cnc_rdparam(h, 1, 0, 5, nullptr));
  EXPECT_EQ(EW_DATA, cnc_wrparam(h, 5, nullptr));
  EXPECT_EQ(EW_DATA, pmc_rdpmcrng(h, 9, 0, 0, 0, 9, nullptr));
  EXPECT_EQ(EW_DATA, pmc_wrpmcrng(h, 9, nullptr));
  EXPECT_EQ(EW_DATA, cnc_rdpmacror(h, 1, 1, 20, nullptr));
  EXPECT_EQ(EW_DATA, cnc_wrpmacror(h, 20, nullptr));
  EXPECT_EQ(EW_DATA, cnc_rdpmacro(h, 1, nullptr));
  EXPECT_EQ(EW_DATA, cnc_rdtofs(h, 1, 0, 8, nullptr));
  EXPECT_EQ(EW_DATA, cnc_getfigure(h, 1, &value, nullptr, &value));
  EXPECT_EQ(EW_DATA, cnc_statinfo(h, nullptr));
  EXPECT_EQ(EW_DATA, cnc_rdaxisname(h, nullptr, nullptr));
}

// --- Failure injection and journal --------------------------------------------

TEST_F(SimCnc, InjectedFailuresHitTheChosenCallsAndDoNothingElse) {
  sim::FailNext(sim::Call::cnc_wrpmacro, EW_BUSY);
  EXPECT_EQ(EW_BUSY, cnc_wrpmacro(h, 1, 5, 0));
  std::int32_t value = -1;
  short decimals = -1;
  ASSERT_TRUE(sim::GetMacro(1, 1, &value, &decimals));
  EXPECT_EQ(0, value);  // the failed write wrote nothing
  EXPECT_EQ(EW_OK, cnc_wrpmacro(h, 1, 5, 0));

  sim::FailNth(sim::Call::pmc_rdpmcrng, 3, EW_RESET);
  focas::PmcRecord record{};
  std::memset(&record, 0x5A, sizeof record);
  EXPECT_EQ(EW_OK, pmc_rdpmcrng(h, 9, 0, 1, 1, 9, &record));
  EXPECT_EQ(EW_OK, pmc_rdpmcrng(h, 9, 0, 1, 1, 9, &record));
  std::memset(&record, 0x5A, sizeof record);
  EXPECT_EQ(EW_RESET, pmc_rdpmcrng(h, 9, 0, 1, 1, 9, &record));
  EXPECT_EQ(0x5A5A, static_cast<std::uint16_t>(record.address_type));  // record untouched
  EXPECT_EQ(EW_OK, pmc_rdpmcrng(h, 9, 0, 1, 1, 9, &record));

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
  sim::DefineParam(1, 7257, sim::ParamKind::Byte, false);
  sim::SetParam(1, 7257, 0, 24);
  sim::ClearJournal();
  unsigned short handle = 0;
  ASSERT_EQ(EW_OK, cnc_allclibhndl3("cnc-1", 8193, 5, &handle));
  focas::ParamRecord record{};
  ASSERT_EQ(EW_OK, cnc_rdparam(handle, 7257, 0, 5, &record));
  sim::FailNext(sim::Call::cnc_setpath, EW_BUSY);
  EXPECT_EQ(EW_BUSY, cnc_setpath(handle, 2));
  focas::PmcRecord pmc{};
  EXPECT_EQ(EW_LENGTH, pmc_rdpmcrng(handle, 9, 0, 0, 0, 60000, &pmc));

  std::vector<sim::JournalEntry> journal = sim::Journal();
  ASSERT_EQ(4u, journal.size());
  EXPECT_EQ(sim::Call::cnc_allclibhndl3, journal[0].call);
  EXPECT_EQ(0, journal[0].handle);
  EXPECT_EQ((std::vector<long long>{8193, 5}), journal[0].args);
  EXPECT_EQ("cnc-1", journal[0].text);

  EXPECT_EQ(handle, journal[1].handle);
  EXPECT_EQ((std::vector<long long>{7257, 0, 5}), journal[1].args);
  ASSERT_EQ(5u, journal[1].record_in.size());
  EXPECT_EQ(0, journal[1].record_in[4]);
  EXPECT_EQ(24, journal[1].record_out[4]);
  EXPECT_EQ(EW_OK, journal[1].result);

  EXPECT_EQ((std::vector<long long>{2}), journal[2].args);
  EXPECT_EQ(EW_BUSY, journal[2].result);
  EXPECT_EQ(28u, journal[3].record_in.size());  // never more than the record holds

  EXPECT_STREQ("pmc_rdpmcrng", sim::CallName(journal[3].call));
  sim::Call call;
  ASSERT_TRUE(sim::CallFromName("cnc_rdaxisname", &call));
  EXPECT_EQ(sim::Call::cnc_rdaxisname, call);
  EXPECT_FALSE(sim::CallFromName("cnc_startupprocess", &call));

  sim::SetJournalEnabled(false);
  cnc_setpath(handle, 1);
  EXPECT_EQ(4u, sim::JournalSize());
}

// --- Machine description files -----------------------------------------------

std::string ExampleMachine() { return std::string(TAVRIN_TEST_SOURCE_DIR) + "/examples/lathe.toml"; }

TEST_F(SimCnc, ExampleLatheLoadsAndRoundTrips) {
  std::string error;
  ASSERT_TRUE(sim::LoadFile(ExampleMachine(), &error)) << error;
  EXPECT_EQ(2, sim::PathCount());
  std::int32_t value = 0;
  short decimals = 0;
  int param_decimals = 0;
  ASSERT_TRUE(sim::GetMacro(1, 10910, &value, &decimals));
  EXPECT_EQ(10, value);  // "1.0" keeps its decimal place
  EXPECT_EQ(1, decimals);
  ASSERT_TRUE(sim::GetMacro(1, 10434, &value, &decimals));
  EXPECT_EQ(101, value);
  ASSERT_TRUE(sim::GetParam(1, 1320, 2, &value, &param_decimals));
  EXPECT_EQ(812500, value);
  EXPECT_EQ(3, param_decimals);
  std::uint8_t byte = 0;
  ASSERT_TRUE(sim::GetPmcByte('E', 7997, &byte));
  EXPECT_EQ(0x00, byte);
  ASSERT_TRUE(sim::GetPmcByte('E', 8000, &byte));
  EXPECT_EQ(0x2E, byte);
  focas::AxisNameEntry names[32] = {};
  short count = 32;
  ASSERT_EQ(EW_OK, cnc_rdaxisname(h, &count, names));
  EXPECT_EQ(5, count);  // the open handle stays, on path 1

  const std::string saved = sim::SaveText();
  sim::Reset(1);
  ASSERT_TRUE(sim::LoadText(saved, &error)) << error;
  EXPECT_EQ(saved, sim::SaveText());
}

TEST_F(SimCnc, ValuesWithDecimalPlacesKeepTheirPairs) {
  std::string error;
  ASSERT_TRUE(sim::LoadText(R"(
[[path]]
[[path.parameter]]
number = 1
kind = "real"
decimals = 2
axes = [1.5, "-0.25", 3, { value = 7, decimals = 0 }]
[path.macros]
1 = 2.5
2 = "2.50"
3 = { value = 0, decimals = -1 }
4 = -0.001
)",
                            &error))
      << error;
  struct Expected {
    std::int32_t number, value;
    short decimals;
  };
  for (Expected e : {Expected{1, 25, 1}, Expected{2, 250, 2}, Expected{3, 0, -1}, Expected{4, -1, 3}}) {
    std::int32_t value = 0;
    short decimals = 0;
    ASSERT_TRUE(sim::GetMacro(1, e.number, &value, &decimals));
    EXPECT_EQ(e.value, value) << "#" << e.number;
    EXPECT_EQ(e.decimals, decimals) << "#" << e.number;
  }
  const std::int32_t expected[][2] = {{150, 2}, {-25, 2}, {300, 2}, {7, 0}};
  for (short axis = 1; axis <= 4; ++axis) {
    std::int32_t value = 0;
    int decimals = 0;
    ASSERT_TRUE(sim::GetParam(1, 1, axis, &value, &decimals));
    EXPECT_EQ(expected[axis - 1][0], value) << "axis " << axis;
    EXPECT_EQ(expected[axis - 1][1], decimals) << "axis " << axis;
  }
  const std::string saved = sim::SaveText();
  ASSERT_TRUE(sim::LoadText(saved, &error)) << error;
  EXPECT_EQ(saved, sim::SaveText());
}

TEST_F(SimCnc, MalformedDescriptionsLeaveTheMachineAndSayWhere) {
  sim::SetMacro(1, 100, 42, 0);
  struct Case {
    const char* text;
    const char* expected;
  };
  const Case cases[] = {
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
  for (const Case& c : cases) {
    std::string error;
    EXPECT_FALSE(sim::LoadText(c.text, &error)) << c.text;
    EXPECT_NE(std::string::npos, error.find(c.expected)) << error;
  }
  EXPECT_EQ(2, sim::PathCount());
  std::int32_t value = 0;
  short decimals = 0;
  ASSERT_TRUE(sim::GetMacro(1, 100, &value, &decimals));
  EXPECT_EQ(42, value);

  std::string error;
  EXPECT_FALSE(sim::LoadFile("/nonexistent/machine.toml", &error));
  EXPECT_NE(std::string::npos, error.find("/nonexistent/machine.toml")) << error;
}

TEST_F(SimCnc, SaveFileReplacesTheFileWhole) {
  const auto folder = ScratchFolder("save");
  const std::string file = (folder / "machine.toml").string();
  sim::SetMacro(2, 77, 5, 0);
  std::string error;
  ASSERT_TRUE(sim::SaveFile(file, &error)) << error;
  sim::SetMacro(2, 77, 6, 0);
  ASSERT_TRUE(sim::SaveFile(file, &error)) << error;
  sim::Reset(1);
  ASSERT_TRUE(sim::LoadFile(file, &error)) << error;
  std::int32_t value = 0;
  short decimals = 0;
  ASSERT_TRUE(sim::GetMacro(2, 77, &value, &decimals));
  EXPECT_EQ(6, value);
  // Only the file itself remains: no temporary file is left behind.
  EXPECT_EQ(1, std::distance(std::filesystem::directory_iterator(folder), std::filesystem::directory_iterator()));
  EXPECT_FALSE(sim::SaveFile((folder / "missing" / "machine.toml").string(), &error));
  std::filesystem::remove_all(folder);
}

void Increment(void*) {
  std::int32_t value = 0;
  short decimals = 0;
  sim::GetMacro(1, 500, &value, &decimals);
  sim::SetMacro(1, 500, value + 1, 0);
}

std::int32_t SharedCount(const std::string& file) {
  std::string error;
  EXPECT_TRUE(sim::LoadFile(file, &error)) << error;
  std::int32_t value = 0;
  short decimals = 0;
  sim::GetMacro(1, 500, &value, &decimals);
  return value;
}

// Threads of one process take turns on the lock as processes do.
TEST_F(SimCnc, StateFileSharedByTwoThreadsLosesNoIncrement) {
  const auto folder = ScratchFolder("threads");
  const std::string file = (folder / "state.toml").string();
  ASSERT_TRUE(sim::SaveFile(file, nullptr));
  constexpr int kRounds = 50;
  bool ok[2] = {true, true};
  auto work = [&](int index) {
    for (int i = 0; i < kRounds; ++i) ok[index] = sim::WithStateFile(file, Increment, nullptr, nullptr) && ok[index];
  };
  std::thread first(work, 0), second(work, 1);
  first.join();
  second.join();
  EXPECT_TRUE(ok[0] && ok[1]);
  EXPECT_EQ(2 * kRounds, SharedCount(file));
  std::filesystem::remove_all(folder);
}

// Needs a second process running the same code (fork): Linux only.
TEST_F(SimCnc, StateFileSharedByTwoProcessesLosesNoIncrement) {
  if (!tavrin::test::ChildProcessesSupported()) GTEST_SKIP() << "no fork on this platform";
  const auto folder = ScratchFolder("shared");
  static std::string file;
  file = (folder / "state.toml").string();
  std::string error;
  ASSERT_TRUE(sim::SaveFile(file, &error)) << error;
  constexpr int kRounds = 100;
  long child = tavrin::test::StartChild(
      [](void*) {
        bool ok = true;
        for (int i = 0; i < kRounds; ++i) ok = sim::WithStateFile(file, Increment, nullptr, nullptr) && ok;
        return ok;
      },
      nullptr);
  ASSERT_GE(child, 0);
  for (int i = 0; i < kRounds; ++i) ASSERT_TRUE(sim::WithStateFile(file, Increment, nullptr, &error)) << error;
  ASSERT_TRUE(tavrin::test::ChildSucceeded(child));
  EXPECT_EQ(2 * kRounds, SharedCount(file));
  EXPECT_FALSE(sim::WithStateFile((folder / "none.toml").string(), Increment, nullptr, &error));
  std::filesystem::remove_all(folder);
}

}  // namespace
