// Handles and paths of the CNC link, and the box that reports a FOCAS2 error.
#include "support/test_support.h"

namespace tavrin::test {
namespace {

using HandlesTest = CncTest;

TEST_F(HandlesTest, OpensGiveDistinctHandlesAndFreeMakesThemUnknown) {
  unsigned short second = 0;
  unsigned short third = 0;
  ASSERT_EQ(0, lib_GetNcGuideLibHandle(&second));
  ASSERT_EQ(0, lib_GetNcLibHandleEthernet("192.0.2.7", 8193, &third));
  EXPECT_NE(handle_, second);
  EXPECT_NE(second, third);
  EXPECT_EQ(3, sim::OpenHandleCount());

  EXPECT_EQ(0, lib_FreeHandle(second));
  short path_max = 0;
  EXPECT_EQ(EW_HANDLE, lib_GetPathMax(second, &path_max));
  EXPECT_EQ(-1, path_max);
  EXPECT_EQ(EW_HANDLE, lib_FreeHandle(second));
}

TEST_F(HandlesTest, GuideHandleAlwaysAsksForNodeNine) {
  unsigned short h = 0;
  ASSERT_EQ(0, lib_GetNcGuideLibHandle(&h));
  auto entry = OnlyCall();
  EXPECT_EQ(sim::Call::cnc_allclibhndl2, entry.call);
  EXPECT_EQ(std::vector<long long>{9}, entry.args);
}

TEST_F(HandlesTest, EthernetPassesAddressAndPortWithTimeoutFive) {
  unsigned short h = 0;
  ASSERT_EQ(0, lib_GetNcLibHandleEthernet("192.0.2.7", 65535, &h));
  auto entry = OnlyCall();
  EXPECT_EQ("192.0.2.7", entry.text);
  EXPECT_EQ((std::vector<long long>{65535, 5}), entry.args);
}

TEST_F(HandlesTest, PathMaxGivesTheNumberOfPaths) {
  short path_max = 0;
  EXPECT_EQ(0, lib_GetPathMax(handle_, &path_max));
  EXPECT_EQ(2, path_max);
}

TEST_F(HandlesTest, OpenFailurePassesTheCodeThrough) {
  sim::FailNext(sim::Call::cnc_allclibhndl, EW_PROTOCOL);
  unsigned short h = 0;
  EXPECT_EQ(EW_PROTOCOL, lib_GetNcLibHandle(&h));
}

using ErrorReportTest = CncTest;

TEST_F(ErrorReportTest, OneBoxPerNonZeroCodeInTheFormatOfItsKind) {
  lib_MBFocas2Error(0, "cnc_rdparam", "init");
  lib_MBFocas2Error(-8, "cnc_rdparam", "init");
  lib_MBFocas2Error(32767, "a", "b");
  lib_MBFocas2Error(-100, "lib_ReadPluralPCode", "counter");
  ASSERT_EQ(3u, messages_.size());
  EXPECT_EQ("Focas2 Error [EW_HANDLE:-8]\ncnc_rdparam in init", messages_[0].text);
  EXPECT_EQ("Error [DLL_FOCAS2_FUNCRET_INIT:32767]\na in b", messages_[1].text);
  EXPECT_EQ("Error [-100]\nlib_ReadPluralPCode in counter", messages_[2].text);
  EXPECT_FALSE(messages_[0].has_caption);
  EXPECT_EQ(0x50030u, messages_[0].style);
}

TEST(Focas2CodeNames, TableAsTheOperatorSeesIt) {
  EXPECT_STREQ("EW_PROTOCOL", Focas2CodeName(-16));
  EXPECT_STREQ("EW_PROTOCOL", Focas2CodeName(-17));
  EXPECT_STREQ("EW_FUNC or EW_NOPMC", Focas2CodeName(1));
  EXPECT_STREQ("EW_NUMBER or EW_RANGE", Focas2CodeName(3));
  EXPECT_STREQ("EW_ITHIGHT", Focas2CodeName(-12));
  EXPECT_STREQ("EW_PMCHANDLE", Focas2CodeName(19));
  EXPECT_EQ(nullptr, Focas2CodeName(0));
  EXPECT_EQ(nullptr, Focas2CodeName(20));
  EXPECT_EQ(nullptr, Focas2CodeName(-18));
}

TEST_F(ErrorReportTest, LongTextIsCutAtTwoHundredFiftyFiveCharacters) {
  std::string what(400, 'w');
  lib_MBFocas2Error(5, what.c_str(), nullptr);
  ASSERT_EQ(1u, messages_.size());
  EXPECT_EQ(255u, messages_[0].text.size());
  EXPECT_EQ(0u, messages_[0].text.find("Focas2 Error [EW_DATA:5]\nwww"));

  char small[8];
  EXPECT_TRUE(FormatFocas2Error(-8, "x", "y", small, sizeof small));
  EXPECT_STREQ("Focas2 ", small);
}

}  // namespace
}  // namespace tavrin::test
