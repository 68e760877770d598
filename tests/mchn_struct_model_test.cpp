// The machine structure model: values of the example settings, defaults,
// conversions and the machine name.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "support/sim_folder.h"
#include "tavrin/machine/mchn_struct_model.h"

namespace tavrin::test {
namespace {

std::string NameOf(const CLibMchnStructModel& model) {
  char name[32];
  model.GetMchnName(name);
  return name;
}
std::string SpecOf(const CLibMchnStructModel& model) {
  char name[32];
  model.GetMchnSpecifName(name);
  return name;
}

using MchnStructModelTest = SimFolderTest;

TEST_F(MchnStructModelTest, ReadsEveryValueOfTheExample) {
  CLibMchnStructModel model;
  EXPECT_EQ("LatheA", NameOf(model));
  EXPECT_EQ("Type-A", SpecOf(model));
  EXPECT_EQ(1250.5, model.GetHorizonLeftToRight());
  EXPECT_EQ(350.0, model.GetRelativePosLSPtoUPP());
  EXPECT_EQ(362.5, model.GetRelativePosLSPtoLOW());
  EXPECT_EQ(875.0, model.GetRelativePosRSPtoUPP());
  EXPECT_EQ(887.25, model.GetRelativePosRSPToLOW());
  EXPECT_EQ(410.0, model.GetVerticalDist(1));
  EXPECT_EQ(-205.5, model.GetVerticalDist(2));
  EXPECT_EQ(0.0, model.GetVerticalDist(3));
  EXPECT_TRUE(model.IsToolSpindle());
  EXPECT_EQ(280.0, model.GetWidthTurret(1));
  EXPECT_EQ(190.5, model.GetWidthTurret(3));
  EXPECT_EQ(182.75, model.GetRotOrgDist(2));
  EXPECT_EQ(1, model.GetRotDirection(1));
  EXPECT_EQ(-1, model.GetRotDirection(2));
  EXPECT_EQ(98.4, model.GetRotBtoRotTurretOrg());

  // Read once: a copy made after the files are gone holds the same values.
  std::filesystem::remove(Path(kCustomSettings));
  CLibMchnStructModel copy(model);
  EXPECT_EQ("Type-A", SpecOf(copy));
  EXPECT_EQ(-205.5, copy.GetVerticalDist(2));
  CLibMchnStructModel fresh;
  EXPECT_EQ(-1.0, fresh.GetVerticalDist(2));
  fresh = model;
  EXPECT_EQ(98.4, fresh.GetRotBtoRotTurretOrg());
}

TEST_F(MchnStructModelTest, WithoutSettingsEverythingHasItsDefault) {
  std::filesystem::remove(Path(kCustomSettings));
  std::filesystem::remove(Path(kSettingsFile));
  CLibMchnStructModel model;
  EXPECT_EQ("", NameOf(model));
  EXPECT_EQ("", SpecOf(model));
  EXPECT_EQ(-1.0, model.GetHorizonLeftToRight());
  EXPECT_EQ(-1.0, model.GetRelativePosLSPtoUPP());
  EXPECT_EQ(-1.0, model.GetRelativePosRSPToLOW());
  for (short n = 1; n <= 3; ++n) {
    EXPECT_EQ(-1.0, model.GetVerticalDist(n));
    EXPECT_EQ(-1.0, model.GetWidthTurret(n));
    EXPECT_EQ(-1.0, model.GetRotOrgDist(n));
    EXPECT_EQ(0, model.GetRotDirection(n));
  }
  EXPECT_FALSE(model.IsToolSpindle());
  EXPECT_EQ(-1.0, model.GetRotBtoRotTurretOrg());
}

TEST_F(MchnStructModelTest, ConversionsTakeTheNumberPrefix) {
  Write(kCustomSettings,
        "[Tool Pos. Setting]\nHorizonLeft2=12.5mm\nVertical1=abc\nVertical2=  -3e2\nRotDirection3=70000\n"
        "RotDirection1=-1.9\nToolSpindle=01\n");
  CLibMchnStructModel model;
  EXPECT_EQ(12.5, model.GetRelativePosLSPtoLOW());
  EXPECT_EQ(0.0, model.GetVerticalDist(1));
  EXPECT_EQ(-300.0, model.GetVerticalDist(2));
  EXPECT_EQ(static_cast<short>(70000), model.GetRotDirection(3));  // kept in 16 bits
  EXPECT_EQ(-1, model.GetRotDirection(1));
  EXPECT_FALSE(model.IsToolSpindle());
}

TEST_F(MchnStructModelTest, ToolSpindleOnlyForExactlyOne) {
  for (const char* value : {"2", "true", "1 x", "0"}) {
    Write(kCustomSettings, std::string("[Tool Pos. Setting]\nToolSpindle=") + value + "\n");
    EXPECT_FALSE(CLibMchnStructModel().IsToolSpindle()) << value;
  }
  Write(kCustomSettings, "[Tool Pos. Setting]\nToolSpindle = 1 \n");
  EXPECT_TRUE(CLibMchnStructModel().IsToolSpindle());
}

TEST_F(MchnStructModelTest, NamesAreCutToThirtyOneCharacters) {
  std::string long_name(40, 'N');
  Write(kSettingsFile, "[OVX]\nfilepath=D:\\Models\\" + long_name + ".ovp\n");
  Write(kCustomSettings, "[Machine Type]\nMachineType=" + long_name + "\n");
  CLibMchnStructModel model;
  EXPECT_EQ(std::string(31, 'N'), NameOf(model));
  EXPECT_EQ(std::string(31, 'N'), SpecOf(model));

  Write(kSettingsFile, "[OVX]\nfilepath=D:/Models/Lathe.B.ovp\n");
  EXPECT_EQ("Lathe.B", NameOf(CLibMchnStructModel()));
  Write(kSettingsFile, "[OVX]\nfilepath=LatheC\n");
  EXPECT_EQ("LatheC", NameOf(CLibMchnStructModel()));
}

}  // namespace
}  // namespace tavrin::test
