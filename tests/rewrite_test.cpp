// The rewrite of the machine and assembly files by SetPosZ: the rebuilt
// matrix line, everything else kept byte for byte, and what survives each
// failure.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "support/environment.h"
#include "support/file_faults.h"
#include "support/sim_folder.h"
#include "tavrin/simulation/chuck_model.h"
#include "tavrin/simulation/jaw_model.h"

namespace tavrin::test {
namespace {

namespace fs = std::filesystem;

const char kAssemblyTemp[] = "QvApplication/Qv Crash Preview/Machines/LatheATemp.ovx";
const char kMachineTemp[] = "QvApplication/Qv Crash Preview/Machines/LatheATemp.ovp";

// A left chuck around `matrix_line` (given with its indentation and line end).
std::string ChuckFile(const std::string& matrix_line, const std::string& eol = "\n") {
  return "<latheassembly>" + eol + "\t<name>S11</name>" + eol + "\t<fixture>" + eol + matrix_line + "\t</fixture>" +
         eol + "</latheassembly>" + eol;
}

using RewriteTest = SimFolderTest;

TEST_F(RewriteTest, MatrixLineIsRebuiltBehindItsIndentation) {
  SetFiles(ChuckFile("\t\t<matrix>1,0,0,0,0,1,0,0,0,0,1,0,10,20,30.5,1</matrix>\n"),
           ChuckFile("\t\t<matrix>1.0,0,0,0,0,1,0,0,0,0,1,0,10,20,30.5,1</matrix>\n"));
  CLibChuckModel chuck('L');
  EXPECT_EQ(30.5, chuck.GetPosZ());
  ASSERT_EQ(0, chuck.SetPosZ(-125.25));
  std::string expected = ChuckFile("\t\t<matrix>1,0,0,0,0,1,0,0,0,0,1,0,10,20,-125.25,1</matrix>\n");
  EXPECT_EQ(expected, Read(kAssemblyFile));
  EXPECT_EQ(expected, Read(kMachineFile));
  EXPECT_EQ(-125.25, chuck.GetPosZ());
  EXPECT_FALSE(fs::exists(Path(kAssemblyTemp)));
  EXPECT_FALSE(fs::exists(Path(kMachineTemp)));
}

TEST_F(RewriteTest, NumbersAreWrittenWithFifteenDigitsAndLineEndsAreKept) {
  SetFiles(ChuckFile("  <matrix>0.1000000000000000055,1e-30,123456789012345678,0,0,1,0,0,0,0,1,0,0,0,7,1</matrix>\r\n",
                     "\r\n"),
           "<latheassembly>\n<name>S11</name>\n<fixture>\n \t <matrix>1,0,0,0,0,1,0,0,0,0,1,0,0,0,7,1</matrix>");
  ASSERT_EQ(0, CLibChuckModel('L').SetPosZ(1.0 / 3.0));
  EXPECT_EQ(ChuckFile("  <matrix>0.1,1e-30,1.23456789012346e+17,0,0,1,0,0,0,0,1,0,0,0,0.333333333333333,1</matrix>\r\n",
                      "\r\n"),
            Read(kMachineFile));
  // The last line has no line end and gets none.
  EXPECT_EQ("<latheassembly>\n<name>S11</name>\n<fixture>\n \t <matrix>1,0,0,0,0,1,0,0,0,0,1,0,0,0,0.333333333333333,1</matrix>",
            Read(kAssemblyFile));
}

TEST_F(RewriteTest, MalformedMatrixLinesAreLeftAsTheyAre) {
  std::string lines =
      "\t\t<matrix>1,0,0,0,0,1,0,0,0,0,1,0,0,0,7</matrix>\n"           // 15 numbers
      "\t\t<matrix>1,0,0,0,0,1,0,0,0,0,1,0,0,0,7,1,9</matrix>\n"       // 17 numbers
      "\t\t<matrix>1,0,0,0,0,1,0,0,0,0,1,0,0,0,7.00000000000000000000001,1</matrix>\n"  // 24 characters
      "\t\t<matrix>1,0,0,0,0,1,0,0,0,0,1,0,0,0,7,1\n"                  // no closing tag: no text
      "\t\t<matrix></matrix>\n"
      "\t\t<matrix>1,0,0,0,0,1,0,0,0,0,1,0,0,0,7,1</matrix><!-- more -->\n"  // more after the closing tag
      "\t\tx<matrix>1,0,0,0,0,1,0,0,0,0,1,0,0,0,7,1</matrix>\n";              // more before the opening tag
  SetFiles(ChuckFile(lines), ChuckFile(lines));
  CLibChuckModel chuck('L');
  EXPECT_EQ(7.0, chuck.GetPosZ());  // the last ones are read but ...
  ASSERT_EQ(0, chuck.SetPosZ(5));  // ... none is rebuilt
  EXPECT_EQ(ChuckFile(lines), Read(kAssemblyFile));
  EXPECT_EQ(ChuckFile(lines), Read(kMachineFile));
  SetFiles(ChuckFile("\t\t<matrix></matrix>\n"), ChuckFile("\t\t<matrix>1,2,3</matrix>\n"));
  EXPECT_EQ(0.0, chuck.GetPosZ());  // no matrix reads as 0.0
}

TEST_F(RewriteTest, AMatrixLineThatWouldOutgrowTheLineBufferIsLeftAsItIs) {
  std::string line = std::string(455, ' ') + "<matrix>1,0,0,0,0,1,0,0,0,0,1,0,0,0,7,1</matrix>\n";  // 503 characters
  SetFiles(ChuckFile(line), ChuckFile(line));
  CLibChuckModel chuck('L');
  EXPECT_EQ(7.0, chuck.GetPosZ());
  ASSERT_EQ(0, chuck.SetPosZ(1.0 / 3.0));  // 17 characters more would pass 511
  EXPECT_EQ(ChuckFile(line), Read(kAssemblyFile));
  ASSERT_EQ(0, chuck.SetPosZ(8));  // the same length fits
  EXPECT_EQ(8.0, chuck.GetPosZ());
}

TEST_F(RewriteTest, NothingIsLostAfterTheScanEnds) {
  std::string tail = "\n" + std::string(700, 'x') + "<fixture>\n" + std::string(3, '\0') + "<matrix>1</matrix>\r\n" +
                     "\t\t" + Matrix(1) + "\nno line end";
  std::string head = "<latheassembly>\n<name>S11</name>\n<fixture>\n\t\t" + Matrix(2) + "\n";
  std::string overlong = "<name>" + std::string(1200, 'n') + "</name>\n";
  SetFiles(head + overlong + tail, head + tail);
  ASSERT_EQ(0, CLibChuckModel('L').SetPosZ(3));
  std::string new_head = "<latheassembly>\n<name>S11</name>\n<fixture>\n\t\t" + Matrix(3) + "\n";
  EXPECT_EQ(new_head + overlong + tail, Read(kMachineFile));
  EXPECT_EQ(new_head + tail, Read(kAssemblyFile));
}

TEST_F(RewriteTest, LinesWithNulBytesAreNeverRebuilt) {
  std::string nul_line = "\t\t" + Matrix(4) + std::string(1, '\0') + "tail\n";
  SetFiles(ChuckFile(nul_line), ChuckFile(nul_line));
  ASSERT_EQ(0, CLibChuckModel('L').SetPosZ(9));
  EXPECT_EQ(ChuckFile(nul_line), Read(kMachineFile));
}

TEST_F(RewriteTest, PermissionsOfTheSourceAreKept) {
  fs::permissions(Path(kMachineFile), fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  ASSERT_EQ(0, CLibChuckModel('L').SetPosZ(-100));
  EXPECT_EQ(fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read,
            fs::status(Path(kMachineFile)).permissions());
}

// Failures, in the order of the rewrite.
TEST_F(RewriteTest, EmptyFilepathTouchesNothing) {
  Write(kSettingsFile, "[OVX]\n");
  std::string machine = Read(kMachineFile), assembly = Read(kAssemblyFile);
  EXPECT_EQ(-1, CLibChuckModel('L').SetPosZ(1));
  EXPECT_EQ(-1, CLibJawModel('L').SetPosZ(1));
  EXPECT_EQ(machine, Read(kMachineFile));
  EXPECT_EQ(assembly, Read(kAssemblyFile));
}

TEST_F(RewriteTest, FirstPassThatCannotOpenChangesNothing) {
  std::string machine = Read(kMachineFile), assembly = Read(kAssemblyFile);
  {
    ScopedOpenFailure temp_fails("LatheATemp.ovx");
    EXPECT_EQ(-1, CLibChuckModel('L').SetPosZ(1));
  }
  EXPECT_EQ(machine, Read(kMachineFile));
  EXPECT_EQ(assembly, Read(kAssemblyFile));

  fs::remove(Path(kAssemblyFile));
  EXPECT_EQ(-1, CLibChuckModel('L').SetPosZ(1));
  EXPECT_EQ(machine, Read(kMachineFile));
  EXPECT_FALSE(fs::exists(Path(kAssemblyTemp)));
}

TEST_F(RewriteTest, SecondPassThatCannotOpenLeavesTheAssemblyFileRewritten) {
  std::string machine = Read(kMachineFile);
  ScopedOpenFailure temp_fails("LatheATemp.ovp");
  EXPECT_EQ(-1, CLibChuckModel('L').SetPosZ(-111));
  EXPECT_EQ(-111.0, CLibChuckModel('L').GetPosZ());
  EXPECT_EQ(machine, Read(kMachineFile));
}

TEST_F(RewriteTest, FailedReplaceKeepsTheSourceAndACompleteTemporaryFile) {
  std::string assembly = Read(kAssemblyFile);
  {
    ScopedReplaceFailure replace_fails;
    EXPECT_EQ(-1, CLibChuckModel('L').SetPosZ(-77));
  }
  EXPECT_EQ(assembly, Read(kAssemblyFile));
  ASSERT_TRUE(fs::exists(Path(kAssemblyTemp)));
  std::string expected = assembly;
  std::string old_line = "<matrix>1,0,0,0,0,1,0,0,0,0,1,0,0,0,-120,1</matrix>";
  expected.replace(expected.find(old_line), old_line.size(), Matrix(-77));
  EXPECT_EQ(expected, Read(kAssemblyTemp));

  // The next rewrite empties the left-over temporary file and writes it anew.
  WriteFile(Path(kAssemblyTemp), std::string(100000, 'g'));
  ASSERT_EQ(0, CLibChuckModel('L').SetPosZ(-77));
  EXPECT_EQ(expected, Read(kAssemblyFile));
  EXPECT_FALSE(fs::exists(Path(kAssemblyTemp)));
}

TEST_F(RewriteTest, FailedFlushKeepsTheSource) {
  std::string assembly = Read(kAssemblyFile);
  ScopedFlushFailure flush_fails;
  EXPECT_EQ(-1, CLibJawModel('L').SetPosZ(3));
  EXPECT_EQ(assembly, Read(kAssemblyFile));
}

TEST_F(RewriteTest, DerivedNamesIgnoreTheMachineFilesOwnExtension) {
  TemporaryFolder drive_d;
  ScopedEnv map_d("TAVRIN_DRIVE_D", drive_d.path().string().c_str());
  Write(kSettingsFile, "[OVX]\nfilepath=D:\\X\\Y.abc\n");
  std::string file = ChuckFile("\t\t" + Matrix(1) + "\n");
  WriteFile(drive_d.path() / "X" / "Y.abc", file);
  WriteFile(drive_d.path() / "X" / "Y.ovx", file);
  {
    ScopedReplaceFailure replace_fails;  // leaves the temporary files to be seen
    EXPECT_EQ(-1, CLibChuckModel('L').SetPosZ(2));
    EXPECT_TRUE(fs::exists(drive_d.path() / "X" / "YTemp.ovx"));
  }
  ASSERT_EQ(0, CLibChuckModel('L').SetPosZ(2));
  EXPECT_EQ(ChuckFile("\t\t" + Matrix(2) + "\n"), ReadFile(drive_d.path() / "X" / "Y.abc"));
  EXPECT_EQ(ChuckFile("\t\t" + Matrix(2) + "\n"), ReadFile(drive_d.path() / "X" / "Y.ovx"));
  EXPECT_FALSE(fs::exists(drive_d.path() / "X" / "YTemp.ovp"));
}

}  // namespace
}  // namespace tavrin::test
