// The profile-string rules, seen through the settings that the library
// reads: origin distances, the structure model and "filepath".
#include <gtest/gtest.h>

#include <string>

#include "support/sim_folder.h"
#include "tavrin/machine/mchn_struct_model.h"
#include "tavrin/simulation/work_model.h"

namespace tavrin::test {
namespace {

class ProfileStringTest : public SimFolderTest {
 protected:
  // WorkOriginL as read from a CustomSetting.ini holding `text`.
  double OriginFrom(const std::string& text) {
    Write(kCustomSettings, text);
    return CLibWorkModel('L').GetOriginDist();
  }
  std::string SpecFrom(const std::string& text) {
    Write(kCustomSettings, text);
    char name[32];
    CLibMchnStructModel().GetMchnSpecifName(name);
    return name;
  }
};

TEST_F(ProfileStringTest, NamesMatchWithoutCaseAndBlanksAreTrimmed) {
  EXPECT_EQ(1.5, OriginFrom("[work start POS. setting]\nworkoriginl=1.5\n"));
  EXPECT_EQ(2.5, OriginFrom("  [ Work Start Pos. Setting ]  \r\n\t WorkOriginL \t=\t 2.5  \r\n"));
  EXPECT_EQ("A B", SpecFrom("[Machine Type]\nMachineType=  A B  \n"));
}

TEST_F(ProfileStringTest, OnePairOfEnclosingQuotesIsRemoved) {
  EXPECT_EQ("x y ", SpecFrom("[Machine Type]\nMachineType=\"x y \"\n"));
  EXPECT_EQ("'q'", SpecFrom("[Machine Type]\nMachineType=''q''\n"));
  EXPECT_EQ("\"half", SpecFrom("[Machine Type]\nMachineType=\"half\n"));
  EXPECT_EQ("\"mixed'", SpecFrom("[Machine Type]\nMachineType=\"mixed'\n"));
  EXPECT_EQ(-3.0, OriginFrom("[Work Start Pos. Setting]\nWorkOriginL='-3'\n"));
}

TEST_F(ProfileStringTest, CommentsAndOtherLinesAreSkipped) {
  EXPECT_EQ(0.0, OriginFrom("[Work Start Pos. Setting]\n;WorkOriginL=9\n  ; WorkOriginL=8\n"));
  EXPECT_EQ(4.0, OriginFrom("[Work Start Pos. Setting]\nno equals here\n\nWorkOriginL=4 ; not a comment\n"));
  EXPECT_EQ("a=b", SpecFrom("[Machine Type]\nMachineType=a=b\n"));
}

TEST_F(ProfileStringTest, FirstSectionAndFirstKeyWin) {
  EXPECT_EQ(1.0, OriginFrom("[Work Start Pos. Setting]\nWorkOriginL=1\nWorkOriginL=2\n"
                            "[Work Start Pos. Setting]\nWorkOriginL=3\n"));
  // A key only in a second section of the same name is not found.
  EXPECT_EQ(0.0, OriginFrom("[Work Start Pos. Setting]\nWorkOriginR=1\n[Other]\n"
                            "[Work Start Pos. Setting]\nWorkOriginL=3\n"));
  // A key of another section is not found either.
  EXPECT_EQ(0.0, OriginFrom("[Other]\nWorkOriginL=5\n[Work Start Pos. Setting]\n"));
}

TEST_F(ProfileStringTest, MissingFileSectionOrKeyGivesTheDefault) {
  EXPECT_EQ(0.0, OriginFrom(""));
  EXPECT_EQ(0.0, OriginFrom("[Work Start Pos. Setting]\n"));
  std::filesystem::remove(Path(kCustomSettings));
  EXPECT_EQ(0.0, CLibWorkModel('L').GetOriginDist());
  EXPECT_EQ(-1.0, CLibMchnStructModel().GetHorizonLeftToRight());
}

TEST_F(ProfileStringTest, ValuesAreCutToTheBufferLessOne) {
  // 258 zeros and "12": the buffer of 260 keeps 259 characters, "0...01".
  std::string value = std::string(258, '0') + "12";
  Write(kCustomSettings, "[Tool Pos. Setting]\nHorizonLeft1=" + value + "\nHorizonLeft2=" + value.substr(1) + "\n");
  CLibMchnStructModel model;
  EXPECT_EQ(1.0, model.GetRelativePosLSPtoUPP());
  EXPECT_EQ(12.0, model.GetRelativePosLSPtoLOW());
}

TEST_F(ProfileStringTest, TheFileIsReadAnewOnEveryCall) {
  CLibWorkModel work('L');
  EXPECT_EQ(-35.5, work.GetOriginDist());
  Write(kCustomSettings, "[Work Start Pos. Setting]\nWorkOriginL=7.25\n");
  EXPECT_EQ(7.25, work.GetOriginDist());
}

TEST_F(ProfileStringTest, ByteOrderMarkAndLineEnds) {
  EXPECT_EQ(6.0, OriginFrom("\xEF\xBB\xBF[Work Start Pos. Setting]\r\nWorkOriginL=6\r\n"));
  EXPECT_EQ(6.5, OriginFrom("[Work Start Pos. Setting]\nWorkOriginL=6.5"));  // no final line end
}

}  // namespace
}  // namespace tavrin::test
