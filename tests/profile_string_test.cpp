// The profile-string rules, seen through the settings that the library
// reads (on Windows they are the system's own GetPrivateProfileStringA).
#include <gtest/gtest.h>

#include <string>

#include "support/sim_folder.h"
#include "tavrin/machine/mchn_struct_model.h"
#include "tavrin/simulation/work_model.h"

namespace tavrin::test {
namespace {

using ProfileStringTest = SimFolderTest;

TEST_F(ProfileStringTest, TheBehaviourList) {
  const std::string kSection = "[Machine Type]\n";
  struct Case {
    const char* rule;
    std::string file, value;
  } cases[] = {
      {"names match without case", "[machine TYPE]\nmachinetype=A\n", "A"},
      {"blanks around names and values are trimmed", "  [Machine Type]  \r\n\t MachineType \t=\t A B  \r\n", "A B"},
      {"one pair of enclosing quotes is removed", kSection + "MachineType=\"x y \"\n", "x y "},
      {"only one pair", kSection + "MachineType=''q''\n", "'q'"},
      {"only a pair", kSection + "MachineType=\"half\n", "\"half"},
      {"only a matching pair", kSection + "MachineType=\"mixed'\n", "\"mixed'"},
      {"';' begins a comment line", kSection + ";MachineType=9\n  ; MachineType=8\n", ""},
      {"but not a comment after a value", kSection + "junk\n\nMachineType=4 ; no comment\n", "4 ; no comment"},
      {"the first '=' splits", kSection + "MachineType=a=b\n", "a=b"},
      {"the first key wins", kSection + "MachineType=1\nMachineType=2\n" + kSection + "MachineType=3\n", "1"},
      {"only the first section counts", kSection + "Other=1\n[x]\n" + kSection + "MachineType=3\n", ""},
      {"keys of other sections do not count", "[Other]\nMachineType=5\n" + kSection, ""},
      {"an empty file gives the default", "", ""},
      {"a byte-order mark and no final line end", "\xEF\xBB\xBF[Machine Type]\r\nMachineType=6", "6"},
  };
  for (const Case& c : cases) {
    Write(kCustomSettings, c.file);
    char name[32];
    CLibMchnStructModel().GetMchnSpecifName(name);
    EXPECT_EQ(c.value, name) << c.rule;
  }
}

TEST_F(ProfileStringTest, ValuesAreCutToTheBufferLessOne) {
  // 258 zeros and "12": the buffer of 260 keeps 259 characters, "0...01".
  const std::string value = std::string(258, '0') + "12";
  Write(kCustomSettings, "[Tool Pos. Setting]\nHorizonLeft1=" + value + "\nHorizonLeft2=" + value.substr(1) + "\n");
  CLibMchnStructModel model;
  EXPECT_EQ(1.0, model.GetRelativePosLSPtoUPP());
  EXPECT_EQ(12.0, model.GetRelativePosLSPtoLOW());
}

TEST_F(ProfileStringTest, TheFileIsReadAnewOnEveryCallAndAMissingFileGivesTheDefault) {
  CLibWorkModel work('L');
  EXPECT_EQ(-35.5, work.GetOriginDist());
  Write(kCustomSettings, "[Work Start Pos. Setting]\nWorkOriginL=7.25\n");
  EXPECT_EQ(7.25, work.GetOriginDist());
  std::filesystem::remove(Path(kCustomSettings));
  EXPECT_EQ(0.0, work.GetOriginDist());
}

}  // namespace
}  // namespace tavrin::test
