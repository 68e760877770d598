// The machine structure model: the example's values, defaults, conversions
// and the names.
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

  EXPECT_EQ("", NameOf(defaults));
  EXPECT_EQ("", NameOf(defaults, true));
  EXPECT_EQ(-1.0, defaults.GetHorizonLeftToRight());
  EXPECT_EQ(-1.0, defaults.GetRelativePosRSPToLOW());
  EXPECT_EQ(-1.0, defaults.GetVerticalDist(1));
  EXPECT_EQ(-1.0, defaults.GetWidthTurret(2));
  EXPECT_EQ(-1.0, defaults.GetRotOrgDist(3));
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

}  // namespace
}  // namespace tavrin::test
