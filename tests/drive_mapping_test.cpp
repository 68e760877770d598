// Windows paths off Windows: drive letters onto folders, case-insensitive
// look-up, Wine's drive folders.  (On Windows the paths are the system's own
// and these tests skip.)
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "support/environment.h"
#include "support/sim_folder.h"
#include "tavrin/simulation/xml.h"

namespace tavrin::test {
namespace {

namespace fs = std::filesystem;

class DriveMappingTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!DriveLettersAreMapped()) GTEST_SKIP() << "drive letters are the system's own here";
  }
  // The first line of the file that `path` names, or "(not opened)".
  static std::string FirstLine(const char* path) {
    CLibXml xml;
    if (xml.OpenXmlFileForRead(path) == 0) return "(not opened)";
    char line[512];
    CLibXmlinf info;
    xml.GetNextLine(line, sizeof line, &info);
    return line;
  }
  TemporaryFolder drive_;
};

TEST_F(DriveMappingTest, DriveVariableNamesTheFolder) {
  WriteFile(drive_.path() / "Sim" / "M1.ovp", "<m1/>\n");
  ScopedEnv map("TAVRIN_DRIVE_E", drive_.path().string().c_str());
  EXPECT_EQ("<m1/>\n", FirstLine("E:\\Sim\\M1.ovp"));
  EXPECT_EQ("<m1/>\n", FirstLine("e:\\Sim\\M1.ovp"));  // the variable is named by the capital letter
  EXPECT_EQ("<m1/>\n", FirstLine("E:/Sim//M1.ovp"));
  EXPECT_EQ("(not opened)", FirstLine("F:\\Sim\\M1.ovp"));  // another drive, not mapped here
}

TEST_F(DriveMappingTest, ComponentsAreFoundWithoutRegardToCase) {
  WriteFile(drive_.path() / "QvApplication" / "Machines" / "LatheA.OVP", "<a/>\n");
  ScopedEnv map("TAVRIN_DRIVE_C", drive_.path().string().c_str());
  EXPECT_EQ("<a/>\n", FirstLine("C:\\QVAPPLICATION\\machines\\lathea.ovp"));

  // A new file is made in the folder found by case, under the name as given.
  CLibXml writer;
  ASSERT_EQ(1, writer.OpenXmlFileForWrite("C:\\qvapplication\\MACHINES\\NewTemp.ovx"));
  writer.SetStr("<new/>\n");
  writer.CloseXmlFileForWrite();
  EXPECT_EQ("<new/>\n", ReadFile(drive_.path() / "QvApplication" / "Machines" / "NewTemp.ovx"));

  // When the exact name exists it is taken even if another differs only in case.
  WriteFile(drive_.path() / "QvApplication" / "Machines" / "lathea.ovp", "<b/>\n");
  EXPECT_EQ("<b/>\n", FirstLine("C:\\QvApplication\\Machines\\lathea.ovp"));
  EXPECT_EQ("<a/>\n", FirstLine("C:\\QvApplication\\Machines\\LatheA.OVP"));
}

TEST_F(DriveMappingTest, WithoutTheVariableWinesDriveFolderIsUsed) {
  ScopedEnv no_map("TAVRIN_DRIVE_C", nullptr);
  WriteFile(drive_.path() / "prefix" / "dosdevices" / "c:" / "sim.xml", "<wine/>\n");
  {
    ScopedEnv prefix("WINEPREFIX", (drive_.path() / "prefix").string().c_str());
    EXPECT_EQ("<wine/>\n", FirstLine("C:\\sim.xml"));
  }
  WriteFile(drive_.path() / "home" / ".wine" / "dosdevices" / "c:" / "sim.xml", "<home/>\n");
  ScopedEnv no_prefix("WINEPREFIX", nullptr);
  ScopedEnv home("HOME", (drive_.path() / "home").string().c_str());
  EXPECT_EQ("<home/>\n", FirstLine("C:\\SIM.XML"));
}

TEST_F(DriveMappingTest, PathsWithoutADriveAreUsedAsTheyAre) {
  WriteFile(drive_.path() / "plain.xml", "<plain/>\n");
  EXPECT_EQ("<plain/>\n", FirstLine((drive_.path() / "plain.xml").string().c_str()));
  EXPECT_EQ("(not opened)", FirstLine((drive_.path() / "PLAIN.xml").string().c_str()));
}

}  // namespace
}  // namespace tavrin::test
