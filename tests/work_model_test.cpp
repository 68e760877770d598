// The work model: the workpiece keeps its offset between the assembly file
// and the machine file, the "InitPosZErr" message, the origin distance.
#include <gtest/gtest.h>

#include <string>

#include "support/sim_folder.h"
#include "tavrin/simulation/work_model.h"

namespace tavrin::test {
namespace {

std::string Work(const std::string& side, double z) {
  return "<latheassembly>\n <name>" + side + "</name>\n <stock>\n  " + Matrix(z) + "\n </stock>\n</latheassembly>\n";
}

using WorkModelTest = SimFolderTest;

TEST_F(WorkModelTest, MovesByTheSameDistanceInBothFiles) {
  CLibWorkModel left('L');  // the example's workpiece stands 30 mm further out in the machine file
  ASSERT_EQ(0, left.SetPosZ(80));
  EXPECT_EQ(80.0, left.GetPosZ());
  EXPECT_NE(std::string::npos, Read(kMachineFile).find(Matrix(110) + "\r\n"));
  EXPECT_EQ(-100.0, CLibWorkModel('R').GetPosZ());

  SetFiles(Work("S12", 130), Work("S11", 100));  // missing from the assembly file: counts as 0
  ASSERT_EQ(0, CLibWorkModel('R').SetPosZ(90));
  EXPECT_EQ(Rewritten(Work("S12", 220)), Read(kMachineFile));
  EXPECT_EQ(Rewritten(Work("S11", 100)), Read(kAssemblyFile));
}

TEST_F(WorkModelTest, MissingFilepathIsShownOncePerFileRead) {
  Write(kSettingsFile, "[OVX]\nfilepath=\"\"\n");
  const std::string machine = Read(kMachineFile);
  CLibWorkModel work('L');
  EXPECT_FALSE(work.IsDefine());
  EXPECT_TRUE(messages_.empty());
  EXPECT_EQ(0.0, work.GetPosZ());
  ASSERT_EQ(1u, messages_.size());
  EXPECT_EQ("InitPosZErr", messages_[0]);
  EXPECT_EQ(0x00040030u, styles_[0]);  // OK, exclamation, topmost
  EXPECT_EQ(-1, work.SetPosZ(5));
  EXPECT_EQ(3u, messages_.size());
  EXPECT_EQ(machine, Read(kMachineFile));

  messages_.clear();  // a missing file is no message
  Write(kSettingsFile, "[OVX]\nfilepath=C:\\none\\gone.ovp\n");
  EXPECT_EQ(0.0, work.GetPosZ());
  EXPECT_EQ(-1, work.SetPosZ(1));
  EXPECT_TRUE(messages_.empty());
}

TEST_F(WorkModelTest, OriginDistanceOfEachSide) {
  EXPECT_EQ(-35.5, CLibWorkModel('L').GetOriginDist());
  EXPECT_EQ(42.25, CLibWorkModel('R').GetOriginDist());
  Write(kCustomSettings, "[Work Start Pos. Setting]\nWorkOriginR=abc\n");
  EXPECT_EQ(0.0, CLibWorkModel('L').GetOriginDist());  // missing key
  EXPECT_EQ(0.0, CLibWorkModel('R').GetOriginDist());  // no number
}

}  // namespace
}  // namespace tavrin::test
