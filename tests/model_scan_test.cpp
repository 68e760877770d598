// The scans of the chuck, jaw and work models: which lines belong to which
// spindle's chuck, jaws and workpiece.
#include <gtest/gtest.h>

#include <string>

#include "support/sim_folder.h"
#include "tavrin/simulation/chuck_model.h"
#include "tavrin/simulation/jaw_model.h"
#include "tavrin/simulation/work_model.h"

namespace tavrin::test {
namespace {

std::string Lathe(const std::string& body) { return "<latheassembly>\n" + body + "</latheassembly>\n"; }
std::string Name(const std::string& name) { return "  <name>" + name + "</name>\n"; }
std::string Element(const std::string& tag, const std::string& body) {
  return "  <" + tag + ">\n" + body + "  </" + tag + ">\n";
}
std::string M(double z) { return "    " + Matrix(z) + "\n"; }

using ModelScanTest = SimFolderTest;

TEST_F(ModelScanTest, TheExampleFolderHasEverythingOnBothSides) {
  EXPECT_TRUE(CLibChuckModel('L').IsDefine());
  EXPECT_TRUE(CLibChuckModel('R').IsDefine());
  EXPECT_EQ(-120.0, CLibChuckModel('L').GetPosZ());
  EXPECT_EQ(120.0, CLibChuckModel('R').GetPosZ());  // named S31 in the assembly file
  EXPECT_EQ(3, CLibJawModel('L').GetNum());
  EXPECT_EQ(3, CLibJawModel('R').GetNum());
  EXPECT_EQ(-95.5, CLibJawModel('L').GetPosZ());
  EXPECT_TRUE(CLibWorkModel('L').IsDefine());
  EXPECT_EQ(-100.0, CLibWorkModel('R').GetPosZ());
  EXPECT_TRUE(CLibWorkModel('r').IsLside());  // only a capital R is right
  EXPECT_FALSE(CLibWorkModel('R').IsLside());
  EXPECT_TRUE(messages_.empty());
}

// Files as a shop has them: CR-only line ends, empty lines and a long comment
// before the matrix lines change no Z, and a move keeps the workpiece's offset.
TEST_F(ModelScanTest, OddLinesBeforeTheMatrixLinesChangeNoZ) {
  const std::string odd = "<?xml version=\"1.0\"?>\r<!-- written elsewhere -->\r\r\n\n<!-- " +
                          std::string(700, '-') + " -->\n\n";
  SetFiles(odd + Read(kMachineFile), odd + Read(kAssemblyFile));
  EXPECT_EQ(-120.0, CLibChuckModel('L').GetPosZ());
  EXPECT_EQ(95.5, CLibJawModel('R').GetPosZ());
  EXPECT_EQ(-100.0, CLibWorkModel('R').GetPosZ());
  ASSERT_EQ(0, CLibWorkModel('R').SetPosZ(-95));  // 30 mm further out in the machine file, as before
  EXPECT_NE(std::string::npos, Read(kMachineFile).find(Matrix(-125)));
}

TEST_F(ModelScanTest, WhatBelongsToWhichModelAndSide) {
  // Both files hold `file`: IsDefine and GetNum scan the machine file, GetPosZ the assembly file.
  const std::string jaw = Element("linearassembly", M(1));
  struct Case {
    const char* rule;
    std::string file;
    bool chuck_l, chuck_r;
    double chuck_z_l, chuck_z_r;
    short jaws_l, jaws_r;
    bool work_l, work_r;
  } cases[] = {
      {"S31 is right and carries over; a name outside a lathe assembly or unknown changes nothing",
       Lathe(Name("S31")) + Name("S11") + Lathe(Name("Other") + Element("fixture", M(7))), false, true, 0, 7, 0, 0,
       false, false},
      {"without a spindle name nothing matches",
       Lathe(Element("fixture", M(1)) + Element("linearassembly", "") + Element("stock", "")), false, false, 0, 0, 0,
       0, false, false},
      {"a chuck is a fixture outside stock and jaws; the stock and jaw count",
       Lathe(Name("S11") + Element("stock", Element("fixture", M(1))) +
             Element("linearassembly", Element("fixture", M(2)))),
       false, false, 0, 0, 1, 0, true, false},
      {"a fixture tag with an attribute is no chuck",
       Lathe(Name("S11") + "  <fixture id=\"1\">\n" + M(3) + "  </fixture>\n"), false, false, 0, 0, 0, 0, false,
       false},
      {"the side is judged at the fixture line for IsDefine, at each matrix line for positions",
       Lathe(Name("none")) + Lathe("  <fixture>\n" + Name("S12") + M(42) + "  </fixture>\n"), false, false, 0, 42, 0,
       0, false, false},
      {"a chuck stays open past the end of its lathe assembly until /fixture",
       "<latheassembly>\n" + Name("S11") + "  <fixture>\n</latheassembly>\n" + M(8) + "</fixture>\n" + M(9), true,
       false, 8, 0, 0, 0, false, false},
      {"a line with \"/>\" closes itself: its tag ends at the first '>' and it has no text (a matrix reads 0)",
       Lathe(Name("S11") + "  <name>S12</name>/>\n" + Element("fixture", M(5) + "    " + Matrix(6) + "/>\n")), true,
       false, 0, 0, 0, 0, false, false},
      {"the last matrix line wins", Lathe(Name("S11") + Element("fixture", M(10) + M(20))), true, false, 20, 0, 0, 0,
       false, false},
      {"jaws count anywhere in a lathe assembly, also inside a stock or before the name",
       jaw + Lathe(Name("S11") + jaw + jaw + Element("stock", jaw)) + Lathe(jaw + Name("S12") + jaw), false, false,
       0, 0, 4, 1, true, false},
      {"a stock inside a jaw is no workpiece",
       Lathe(Name("S12") + Element("linearassembly", Element("stock", M(1)))), false, false, 0, 0, 0, 1, false,
       false},
      {"a scan goes on past lines without markup and CR-only line ends, and skips a long line whole",
       "<?xml version=\"1.0\"?>\r<!-- CR -->\r\r" +
           Lathe(Name("S11") + "\n\n" +
                 Element("fixture", M(5) + "<!-- " + std::string(520, 'x') + Matrix(99) + " -->\n") + jaw +
                 "  <stock>\r" + M(7) + "  </stock>\r"),
       true, false, 5, 0, 1, 0, true, false},
  };
  for (const Case& c : cases) {
    SetFiles(c.file, c.file);
    EXPECT_EQ(c.chuck_l, CLibChuckModel('L').IsDefine()) << c.rule;
    EXPECT_EQ(c.chuck_r, CLibChuckModel('R').IsDefine()) << c.rule;
    EXPECT_EQ(c.chuck_z_l, CLibChuckModel('L').GetPosZ()) << c.rule;
    EXPECT_EQ(c.chuck_z_r, CLibChuckModel('R').GetPosZ()) << c.rule;
    EXPECT_EQ(c.jaws_l, CLibJawModel('L').GetNum()) << c.rule;
    EXPECT_EQ(c.jaws_r, CLibJawModel('R').GetNum()) << c.rule;
    EXPECT_EQ(c.jaws_r > 0, CLibJawModel('R').IsDefine()) << c.rule;
    EXPECT_EQ(c.work_l, CLibWorkModel('L').IsDefine()) << c.rule;
    EXPECT_EQ(c.work_r, CLibWorkModel('R').IsDefine()) << c.rule;
  }
}

TEST_F(ModelScanTest, MissingSettingsOrFilesGiveTheFailureValuesWithoutMessages) {
  for (const char* settings : {"[OVX]\nfilepath=\n", "[OVX]\nfilepath=C:\\Nowhere\\M1.ovp\n"}) {
    Write(kSettingsFile, settings);
    EXPECT_FALSE(CLibChuckModel('L').IsDefine());
    EXPECT_EQ(0.0, CLibChuckModel('L').GetPosZ());
    EXPECT_EQ(0, CLibJawModel('L').GetNum());
    EXPECT_EQ(0.0, CLibJawModel('L').GetPosZ());
    EXPECT_FALSE(CLibWorkModel('L').IsDefine());
  }
  EXPECT_TRUE(messages_.empty());
}

}  // namespace
}  // namespace tavrin::test
