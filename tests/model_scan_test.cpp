// The scans of the chuck, jaw and work models: which lines belong to which
// spindle's chuck, jaws and workpiece, in the example folder and in files
// made for each rule.
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
  CLibChuckModel left_chuck('L'), right_chuck('R');
  EXPECT_TRUE(left_chuck.IsDefine());
  EXPECT_TRUE(right_chuck.IsDefine());
  EXPECT_EQ(-120.0, left_chuck.GetPosZ());
  EXPECT_EQ(120.0, right_chuck.GetPosZ());  // named S31 in the assembly file

  CLibJawModel left_jaws('L'), right_jaws('R');
  EXPECT_EQ(3, left_jaws.GetNum());
  EXPECT_EQ(3, right_jaws.GetNum());
  EXPECT_EQ(-95.5, left_jaws.GetPosZ());

  CLibWorkModel left_work('L'), right_work('R');
  EXPECT_TRUE(left_work.IsDefine());
  EXPECT_EQ(100.0, left_work.GetPosZ());
  EXPECT_EQ(-100.0, right_work.GetPosZ());
  EXPECT_TRUE(messages_.empty());
}

TEST_F(ModelScanTest, SideLettersAndCopies) {
  EXPECT_TRUE(CLibChuckModel('L').IsLside());
  EXPECT_FALSE(CLibChuckModel('R').IsLside());
  EXPECT_TRUE(CLibChuckModel('X').IsLside());
  EXPECT_TRUE(CLibJawModel().IsLside());
  EXPECT_TRUE(CLibWorkModel('r').IsLside());  // only a capital R is right
  CLibWorkModel right('R');
  CLibWorkModel copy(right);
  EXPECT_FALSE(copy.IsLside());
  CLibJawModel assigned('L');
  assigned = CLibJawModel('R');
  EXPECT_FALSE(assigned.IsLside());
}

TEST_F(ModelScanTest, SpindleNamesGiveTheSideAndCarryOver) {
  // S31 is right; the second lathe assembly names no spindle and keeps it;
  // a name outside a lathe assembly and an unknown name change nothing.
  SetFiles(Lathe(Name("S31")) + Name("S11") + Lathe(Name("Other") + Element("fixture", M(7))), "");
  EXPECT_TRUE(CLibChuckModel('R').IsDefine());
  EXPECT_FALSE(CLibChuckModel('L').IsDefine());

  // Without any spindle name the side is unknown and matches nobody.
  SetFiles(Lathe(Element("fixture", "") + Element("linearassembly", "") + Element("stock", "")), "");
  EXPECT_FALSE(CLibChuckModel('L').IsDefine());
  EXPECT_FALSE(CLibChuckModel('R').IsDefine());
  EXPECT_EQ(0, CLibJawModel('L').GetNum());
  EXPECT_FALSE(CLibWorkModel('R').IsDefine());
}

TEST_F(ModelScanTest, ChuckIsAFixtureOutsideStockAndJaws) {
  std::string inner = Lathe(Name("S11") + Element("stock", Element("fixture", M(1))) +
                            Element("linearassembly", Element("fixture", M(2))));
  SetFiles(inner, inner);
  CLibChuckModel chuck('L');
  EXPECT_FALSE(chuck.IsDefine());
  EXPECT_EQ(0.0, chuck.GetPosZ());
  EXPECT_EQ(0, chuck.SetPosZ(50));
  EXPECT_EQ(inner, Read(kAssemblyFile));  // written anew, unchanged
  EXPECT_EQ(inner, Read(kMachineFile));

  // A fixture tag with an attribute is not recognised.
  SetFiles(Lathe(Name("S11") + "  <fixture id=\"1\">\n" + M(3) + "  </fixture>\n"), "");
  EXPECT_FALSE(chuck.IsDefine());
}

TEST_F(ModelScanTest, ChuckSideIsJudgedAtTheFixtureForIsDefineAndAtEachMatrixForPositions) {
  // The name comes after the fixture line but before its matrix line.
  std::string file = Lathe(Name("none")) + Lathe("  <fixture>\n" + Name("S12") + M(42) + "  </fixture>\n");
  SetFiles(file, file);
  CLibChuckModel left('L'), right('R');
  EXPECT_FALSE(left.IsDefine());
  EXPECT_FALSE(right.IsDefine());
  EXPECT_EQ(42.0, right.GetPosZ());
  EXPECT_EQ(0.0, left.GetPosZ());
  EXPECT_EQ(0, right.SetPosZ(-3));
  EXPECT_EQ(-3.0, right.GetPosZ());
}

TEST_F(ModelScanTest, ChuckStaysOpenAcrossTheEndOfItsLatheAssembly) {
  // The fixture is not closed before its lathe assembly ends: its matrix
  // lines after that still belong to it, until "/fixture".
  std::string file = "<latheassembly>\n" + Name("S11") + "  <fixture>\n</latheassembly>\n" + M(8) + "</fixture>\n" + M(9);
  SetFiles(file, file);
  EXPECT_EQ(8.0, CLibChuckModel('L').GetPosZ());
}

TEST_F(ModelScanTest, TheLastMatrixLineWins) {
  SetFiles("", Lathe(Name("S11") + Element("fixture", M(10) + M(20))));
  EXPECT_EQ(20.0, CLibChuckModel('L').GetPosZ());
}

TEST_F(ModelScanTest, JawsAreCountedWhereverTheyStandInALatheAssembly) {
  std::string jaw = Element("linearassembly", M(1));
  std::string file = jaw +                                            // outside every lathe assembly
                     Lathe(Name("S11") + jaw + jaw + Element("stock", jaw)) +  // one inside a stock
                     Lathe(jaw + Name("S12") + jaw);                  // before its name: still left
  SetFiles(file, "");
  EXPECT_EQ(4, CLibJawModel('L').GetNum());
  EXPECT_EQ(1, CLibJawModel('R').GetNum());
  EXPECT_TRUE(CLibJawModel('R').IsDefine());
}

TEST_F(ModelScanTest, JawPositionIsTheLastMatrixOfTheLastJawOnTheSide) {
  std::string file = Lathe(Name("S11") + Element("linearassembly", M(10)) + Element("linearassembly", M(20)) +
                           Element("linearassembly", Element("fixture", M(30)))) +
                     Lathe(Name("S12") + Element("linearassembly", M(99)));
  SetFiles(file, file);
  CLibJawModel jaws('L');
  EXPECT_EQ(30.0, jaws.GetPosZ());
  ASSERT_EQ(0, jaws.SetPosZ(12.5));
  std::string expected = Lathe(Name("S11") + Element("linearassembly", M(12.5)) +
                               Element("linearassembly", M(12.5)) +
                               Element("linearassembly", Element("fixture", M(12.5)))) +
                         Lathe(Name("S12") + Element("linearassembly", M(99)));
  EXPECT_EQ(expected, Read(kAssemblyFile));
  EXPECT_EQ(expected, Read(kMachineFile));
}

TEST_F(ModelScanTest, WorkpieceIsAStockOutsideTheJaws) {
  SetFiles(Lathe(Name("S12") + Element("linearassembly", Element("stock", M(1)))), "");
  EXPECT_FALSE(CLibWorkModel('R').IsDefine());
  SetFiles(Lathe(Name("S12") + Element("linearassembly", "") + Element("stock", M(1))), "");
  EXPECT_TRUE(CLibWorkModel('R').IsDefine());
  EXPECT_FALSE(CLibWorkModel('L').IsDefine());
}

TEST_F(ModelScanTest, AScanEndsAtTheFirstLineWithoutMarkup) {
  std::string file = Lathe(Name("S11") + "\n" + Element("fixture", M(5)) + Element("linearassembly", ""));
  SetFiles(file, file);
  EXPECT_FALSE(CLibChuckModel('L').IsDefine());
  EXPECT_EQ(0.0, CLibChuckModel('L').GetPosZ());
  EXPECT_EQ(0, CLibJawModel('L').GetNum());
}

TEST_F(ModelScanTest, MissingSettingsOrFilesGiveTheFailureValues) {
  Write(kSettingsFile, "[OVX]\nfilepath=\n");
  EXPECT_FALSE(CLibChuckModel('L').IsDefine());
  EXPECT_EQ(0.0, CLibChuckModel('L').GetPosZ());
  EXPECT_EQ(0, CLibJawModel('L').GetNum());
  EXPECT_FALSE(CLibJawModel('L').IsDefine());
  EXPECT_FALSE(CLibWorkModel('L').IsDefine());
  EXPECT_TRUE(messages_.empty());

  Write(kSettingsFile, "[OVX]\nfilepath=C:\\Nowhere\\M1.ovp\n");
  EXPECT_FALSE(CLibChuckModel('L').IsDefine());
  EXPECT_EQ(0.0, CLibJawModel('L').GetPosZ());
  EXPECT_EQ(0, CLibJawModel('L').GetNum());
  EXPECT_EQ(0.0, CLibWorkModel('L').GetPosZ());
  EXPECT_TRUE(messages_.empty());  // only a missing "filepath" is shown
}

}  // namespace
}  // namespace tavrin::test
