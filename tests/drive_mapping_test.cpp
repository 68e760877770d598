// Windows paths off Windows: drive letters onto folders, case-insensitive
// look-up, Wine's drive folders.  Not on Windows, whose drive letters and
// paths are the system's own: these tests skip there.
#include <gtest/gtest.h>

#include <string>

#include "support/environment.h"
#include "support/sim_folder.h"
#include "tavrin/configuration.h"
#include "tavrin/simulation/xml.h"

namespace tavrin::test {
namespace {

class DriveMappingTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!DriveLettersAreMapped()) GTEST_SKIP() << "drive letters are the system's own here";
  }
  // The first line of the file that `path` names, or "(not opened)".
  static std::string FirstLine(const std::string& path) {
    CLibXml xml;
    char line[512] = "(not opened)";
    CLibXmlinf info;
    if (xml.OpenXmlFileForRead(path.c_str()) != 0) xml.GetNextLine(line, sizeof line, &info);
    return line;
  }
  std::string In(const char* relative) const { return (drive_.path() / relative).string(); }
  TemporaryFolder drive_;
};

TEST_F(DriveMappingTest, DriveVariablesNameFoldersAndCaseIsFoundAsWindowsWould) {
  WriteFile(In("Sim/LatheA.OVP"), "<a/>\n");
  ScopedEnv map("TAVRIN_DRIVE_E", drive_.path().string().c_str());
  for (const char* path : {"E:\\Sim\\LatheA.OVP", "e:\\SIM\\lathea.ovp", "E:/sim//LatheA.ovp"}) {
    EXPECT_EQ("<a/>\n", FirstLine(path)) << path;
  }
  EXPECT_EQ("(not opened)", FirstLine("F:\\Sim\\LatheA.OVP"));  // not mapped here
  // ".." may climb inside the drive's folder, never out of it.
  EXPECT_EQ("<a/>\n", FirstLine("E:\\Sim\\..\\Sim\\.\\LatheA.OVP"));
  WriteFile(drive_.path().parent_path() / "outside.ovp", "<out/>\n");
  EXPECT_EQ("(not opened)", FirstLine("E:\\..\\" + drive_.path().parent_path().filename().string() + "\\outside.ovp"));
  EXPECT_EQ("(not opened)", FirstLine("E:\\Sim\\..\\..\\outside.ovp"));

  // When the exact name exists it is taken, even if another differs only in case.
  WriteFile(In("Sim/lathea.ovp"), "<b/>\n");
  EXPECT_EQ("<b/>\n", FirstLine("E:\\Sim\\lathea.ovp"));
  EXPECT_EQ("<a/>\n", FirstLine("E:\\Sim\\LatheA.OVP"));

  // A new file is made in the folder found by case, under the name as given.
  CLibXml writer;
  ASSERT_EQ(1, writer.OpenXmlFileForWrite("E:\\SIM\\NewTemp.ovx"));
  writer.SetStr("<new/>\n");
  writer.CloseXmlFileForWrite();
  EXPECT_EQ("<new/>\n", ReadFile(In("Sim/NewTemp.ovx")));
}

// The application's own setting wins over the variable, and clearing it lets
// the variable decide again; a non-letter or an overlong folder is refused.
TEST_F(DriveMappingTest, ASetDriveFolderWinsOverTheVariableUntilCleared) {
  WriteFile(In("by-call/sim.xml"), "<call/>\n");
  WriteFile(In("by-variable/sim.xml"), "<variable/>\n");
  ScopedEnv map("TAVRIN_DRIVE_G", In("by-variable").c_str());
  ASSERT_EQ(1, lib_SetDriveFolder('g', In("by-call").c_str()));
  EXPECT_EQ("<call/>\n", FirstLine("G:\\sim.xml"));
  EXPECT_EQ(1, lib_SetDriveFolder('G', nullptr));
  EXPECT_EQ("<variable/>\n", FirstLine("G:\\sim.xml"));

  EXPECT_EQ(0, lib_SetDriveFolder('1', In("by-call").c_str()));
  std::string overlong(TAVRIN_SETTING_PATH_MAX + 1, 'x');
  EXPECT_EQ(0, lib_SetDriveFolder('G', overlong.c_str()));
  EXPECT_EQ(0, lib_SetSimulationProgram(overlong.c_str()));
  EXPECT_EQ("<variable/>\n", FirstLine("G:\\sim.xml")) << "a refused call changes nothing";
}

TEST_F(DriveMappingTest, WithoutTheVariableWinesDriveFolderIsUsedAndOtherPathsAsTheyAre) {
  ScopedEnv no_map("TAVRIN_DRIVE_C", nullptr);
  WriteFile(In("prefix/dosdevices/c:/sim.xml"), "<wine/>\n");
  WriteFile(In("home/.wine/dosdevices/c:/sim.xml"), "<home/>\n");
  ScopedEnv home("HOME", In("home").c_str());
  {
    ScopedEnv prefix("WINEPREFIX", In("prefix").c_str());
    EXPECT_EQ("<wine/>\n", FirstLine("C:\\sim.xml"));
  }
  ScopedEnv no_prefix("WINEPREFIX", nullptr);
  EXPECT_EQ("<home/>\n", FirstLine("C:\\SIM.XML"));
  EXPECT_EQ("<home/>\n", FirstLine(In("home/.wine/dosdevices/c:/sim.xml")));
  EXPECT_EQ("(not opened)", FirstLine(In("home/.wine/dosdevices/c:/SIM.xml")));
}

}  // namespace
}  // namespace tavrin::test
