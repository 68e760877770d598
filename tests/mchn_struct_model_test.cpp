// The machine structure model: the example's values, defaults, conversions
// and the names; and through its settings the profile-string rules (on
// Windows they are the system's own GetPrivateProfileStringA).
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "support/sim_folder.h"
#include "tavrin/machine/mchn_struct_model.h"

namespace tavrin::test {
namespace {

std::string NameOf(const CLibMchnStructModel& model, bool machine_type = false) {
  char name[32];
  machine_type ? model.GetMchnSpecifName(name) : model.GetMchnName(name);
  return name;
}

using MchnStructModelTest = SimFolderTest;

TEST_F(MchnStructModelTest, ReadsEveryValueOnceOrItsDefault) {
  CLibMchnStructModel model;
  std::filesystem::remove(Path(kCustomSettings));  // read at construction: a copy keeps the values
  std::filesystem::remove(Path(kSettingsFile));
  const CLibMchnStructModel copy(model), defaults;
  EXPECT_EQ("LatheA", NameOf(copy));
  EXPECT_EQ("Type-A", NameOf(copy, true));
  EXPECT_EQ(1250.5, copy.GetHorizonLeftToRight());
  EXPECT_EQ(350.0, copy.GetRelativePosLSPtoUPP());
  EXPECT_EQ(362.5, copy.GetRelativePosLSPtoLOW());
  EXPECT_EQ(875.0, copy.GetRelativePosRSPtoUPP());
  EXPECT_EQ(887.25, copy.GetRelativePosRSPToLOW());
  EXPECT_EQ(-205.5, copy.GetVerticalDist(2));
  EXPECT_EQ(0.0, copy.GetVerticalDist(3));
  EXPECT_TRUE(copy.IsToolSpindle());
  EXPECT_EQ(190.5, copy.GetWidthTurret(3));
  EXPECT_EQ(182.75, copy.GetRotOrgDist(2));
  EXPECT_EQ(-1, copy.GetRotDirection(2));
  EXPECT_EQ(98.4, copy.GetRotBtoRotTurretOrg());

  // Every distance reads through one look-up with the default -1.
  EXPECT_EQ("", NameOf(defaults));
  EXPECT_EQ("", NameOf(defaults, true));
  EXPECT_EQ(-1.0, defaults.GetHorizonLeftToRight());
  EXPECT_EQ(-1.0, defaults.GetVerticalDist(1));
  EXPECT_EQ(0, defaults.GetRotDirection(1));
  EXPECT_FALSE(defaults.IsToolSpindle());
  EXPECT_EQ(-1.0, defaults.GetRotBtoRotTurretOrg());
}

TEST_F(MchnStructModelTest, ConversionsAndNames) {
  const std::string long_name(40, 'N');
  Write(kSettingsFile, "[OVX]\nfilepath=D:\\Models\\" + long_name + ".ovp\n");
  Write(kCustomSettings, "[Machine Type]\nMachineType=" + long_name +
                             "\n[Tool Pos. Setting]\nHorizonLeft2=12.5mm\nVertical1=abc\nVertical2=  -3e2\n"
                             "RotDirection3=70000\nRotDirection1=-1.9\n");
  CLibMchnStructModel model;
  EXPECT_EQ(std::string(31, 'N'), NameOf(model));
  EXPECT_EQ(std::string(31, 'N'), NameOf(model, true));
  EXPECT_EQ(12.5, model.GetRelativePosLSPtoLOW());
  EXPECT_EQ(0.0, model.GetVerticalDist(1));
  EXPECT_EQ(-300.0, model.GetVerticalDist(2));
  EXPECT_EQ(static_cast<short>(70000), model.GetRotDirection(3));  // kept in 16 bits
  EXPECT_EQ(-1, model.GetRotDirection(1));
  for (const char* value : {"2", "true", "1 x", "0", "01", " 1 "}) {
    Write(kCustomSettings, std::string("[Tool Pos. Setting]\nToolSpindle=") + value + "\n");
    EXPECT_EQ(std::string(value) == " 1 ", CLibMchnStructModel().IsToolSpindle()) << value;
  }
  Write(kSettingsFile, "[OVX]\nfilepath=D:/Models/Lathe.B.ovp\n");
  EXPECT_EQ("Lathe.B", NameOf(CLibMchnStructModel()));
  Write(kSettingsFile, "[OVX]\nfilepath=LatheC\n");
  EXPECT_EQ("LatheC", NameOf(CLibMchnStructModel()));
}

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
    EXPECT_EQ(c.value, NameOf(CLibMchnStructModel(), true)) << c.rule;
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

}  // namespace
}  // namespace tavrin::test
