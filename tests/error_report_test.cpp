#include "support/test_support.h"

namespace tavrin::test {
namespace {

using ErrorReportTest = CncTest;

TEST_F(ErrorReportTest, CodeZeroShowsNothing) {
  lib_MBFocas2Error(0, "cnc_rdparam", "init");
  EXPECT_TRUE(messages_.empty());
}

TEST_F(ErrorReportTest, FocasCodeShowsNameCodeWhatAndWhere) {
  lib_MBFocas2Error(-8, "cnc_rdparam", "init");
  ASSERT_EQ(1u, messages_.size());
  EXPECT_EQ("Focas2 Error [EW_HANDLE:-8]\ncnc_rdparam in init", messages_[0].text);
  EXPECT_FALSE(messages_[0].has_caption);
  EXPECT_EQ(0x50030u, messages_[0].style);
}

TEST_F(ErrorReportTest, LibraryCodeUsesTheSecondFormat) {
  lib_MBFocas2Error(32767, "a", "b");
  ASSERT_EQ(1u, messages_.size());
  EXPECT_EQ("Error [DLL_FOCAS2_FUNCRET_INIT:32767]\na in b", messages_[0].text);
}

TEST(Focas2CodeNames, TableAsTheOperatorSeesIt) {
  EXPECT_STREQ("EW_PROTOCOL", Focas2CodeName(-16));
  EXPECT_STREQ("EW_PROTOCOL", Focas2CodeName(-17));
  EXPECT_STREQ("EW_NODLL", Focas2CodeName(-15));
  EXPECT_STREQ("EW_BUSY", Focas2CodeName(-1));
  EXPECT_STREQ("EW_FUNC or EW_NOPMC", Focas2CodeName(1));
  EXPECT_STREQ("EW_NUMBER or EW_RANGE", Focas2CodeName(3));
  EXPECT_STREQ("EW_ATTRIB or EW_TYPE", Focas2CodeName(4));
  EXPECT_STREQ("EW_ITHIGHT", Focas2CodeName(-12));
  EXPECT_STREQ("EW_PMCHANDLE", Focas2CodeName(19));
  EXPECT_EQ(nullptr, Focas2CodeName(0));
  EXPECT_EQ(nullptr, Focas2CodeName(20));
  EXPECT_EQ(nullptr, Focas2CodeName(-18));
  EXPECT_EQ(nullptr, Focas2CodeName(-100));
}

TEST_F(ErrorReportTest, CodesOutsideTheTableAreShownPlainly) {
  lib_MBFocas2Error(-100, "lib_ReadPluralPCode", "counter");
  ASSERT_EQ(1u, messages_.size());
  EXPECT_EQ("Error [-100]\nlib_ReadPluralPCode in counter", messages_[0].text);
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
