// The rewrite of the machine and assembly files by SetPosZ: the rebuilt
// matrix lines, everything else kept, and what survives each failure.  The
// work model on top: the workpiece keeps its offset between the two files,
// the "InitPosZErr" message, the origin distance.
#include <gtest/gtest.h>

#include <filesystem>
#include <iterator>
#include <string>

#include "support/file_faults.h"
#include "support/sim_folder.h"
#include "tavrin/simulation/chuck_model.h"
#include "tavrin/simulation/jaw_model.h"
#include "tavrin/simulation/work_model.h"

namespace tavrin::test {
namespace {

namespace fs = std::filesystem;

const char kAssemblyTemp[] = "QvApplication/Qv Crash Preview/Machines/LatheATemp.ovx";
const char kMachineTemp[] = "QvApplication/Qv Crash Preview/Machines/LatheATemp.ovp";

// A left chuck around `matrix_lines` (given with indentation and line ends).
std::string ChuckFile(const std::string& matrix_lines, const std::string& eol = "\n") {
  return "<latheassembly>" + eol + "\t<name>S11</name>" + eol + "\t<fixture>" + eol + matrix_lines + "\t</fixture>" +
         eol + "</latheassembly>" + eol;
}

using RewriteTest = SimFolderTest;

TEST_F(RewriteTest, MatrixLinesAreRebuiltBehindTheirIndentationWithTheirLineEnd) {
  SetFiles(ChuckFile(" \t <matrix>0.1000000000000000055,1e-30,123456789012345678,0,0,1,0,0,0,0,1,0,0,0,7,1</matrix>\r\n",
                     "\r\n"),
           "<latheassembly>\n<name>S11</name>\n<fixture>\n\t\t<matrix>1.0,0,0,0,0,1,0,0,0,0,1,0,10,20,30.5,1</matrix>");
  CLibChuckModel chuck('L');
  EXPECT_EQ(30.5, chuck.GetPosZ());
  ASSERT_EQ(0, chuck.SetPosZ(1.0 / 3.0));
  EXPECT_EQ(Rewritten(ChuckFile(" \t <matrix>0.1,1e-30,1.23456789012346e+17,0,0,1,0,0,0,0,1,0,0,0,0.333333333333333,1"
                                "</matrix>\r\n",
                                "\r\n")),
            Read(kMachineFile));
  // The last line has no line end and gets none.
  EXPECT_EQ(Rewritten("<latheassembly>\n<name>S11</name>\n<fixture>\n"
                      "\t\t<matrix>1,0,0,0,0,1,0,0,0,0,1,0,10,20,0.333333333333333,1</matrix>"),
            Read(kAssemblyFile));
  EXPECT_FALSE(fs::exists(Path(kAssemblyTemp)) || fs::exists(Path(kMachineTemp)));
}

TEST_F(RewriteTest, EveryJawIsMovedAndTheOtherSideStays) {
  auto jaws = [](double first, double second) {
    return "<latheassembly>\n<name>S11</name>\n<linearassembly>\n\t" + Matrix(first) +
           "\n</linearassembly>\n<linearassembly>\n<fixture>\n\t\t" + Matrix(second) +
           "\n</fixture>\n</linearassembly>\n</latheassembly>\n<latheassembly>\n<name>S12</name>\n"
           "<linearassembly>\n" + Matrix(99) + "\n</linearassembly>\n</latheassembly>\n";
  };
  SetFiles(jaws(5, 10), jaws(20, 30));
  CLibJawModel left('L');
  EXPECT_EQ(30.0, left.GetPosZ());  // the last matrix of the last jaw
  ASSERT_EQ(0, left.SetPosZ(12.5));
  EXPECT_EQ(Rewritten(jaws(12.5, 12.5)), Read(kAssemblyFile));
  EXPECT_EQ(Rewritten(jaws(12.5, 12.5)), Read(kMachineFile));
}

TEST_F(RewriteTest, NoByteIsLost) {
  const std::string z7 = "<matrix>1,0,0,0,0,1,0,0,0,0,1,0,0,0,7,1</matrix>";
  auto lines = [&z7](double last) {
    return "\t\t<matrix>1,0,0,0,0,1,0,0,0,0,1,0,0,0,7</matrix>\n"                           // 15 numbers
           "\t\t<matrix>1,0,0,0,0,1,0,0,0,0,1,0,0,0,7,1,9</matrix>\n"                       // 17 numbers
           "\t\t<matrix>1,0,0,0,0,1,0,0,0,0,1,0,0,0,7.00000000000000000000001,1</matrix>\n"  // 25 characters
           "\t\t<matrix>1,0,0,0,0,1,0,0,0,0,1,0,0,0,7,1\n"                                  // no closing tag
           "\t\t<matrix></matrix>\n" +
           z7 + "<!-- more -->\n" + "x" + z7 + "\n" +          // more text around it
           "\t\t" + z7 + std::string(1, '\0') + "tail\n" +  // a NUL byte
           std::string(455, ' ') + Matrix(last) + "\n";     // 503 characters with 7: 17 more would pass 511
  };
  // After a line without markup the scan ends: all after it is copied as it is.
  const std::string tail = "\n" + std::string(700, 'x') + "<fixture>\n" + std::string(3, '\0') +
                           "<matrix>1</matrix>\r\n\t\t" + Matrix(1) + "\nno line end";
  const std::string overlong = "<name>" + std::string(1200, 'n') + "</name>\n";
  const std::string not_rebuilt = lines(7);
  SetFiles(ChuckFile(not_rebuilt) + overlong + tail, ChuckFile(not_rebuilt) + tail);
  CLibChuckModel chuck('L');
  EXPECT_EQ(7.0, chuck.GetPosZ());
  ASSERT_EQ(0, chuck.SetPosZ(1.0 / 3.0));
  EXPECT_EQ(Rewritten(ChuckFile(not_rebuilt) + overlong + tail), Read(kMachineFile));
  EXPECT_EQ(Rewritten(ChuckFile(not_rebuilt) + tail), Read(kAssemblyFile));
  ASSERT_EQ(0, chuck.SetPosZ(8));  // the same length fits
  EXPECT_EQ(Rewritten(ChuckFile(lines(8)) + tail), Read(kAssemblyFile));
}

// Linux only: Windows files have no permission bits to hand on.
TEST_F(RewriteTest, PermissionsOfTheSourceAreKept) {
  if (!FilesHaveModeBits()) GTEST_SKIP() << "no permission bits on this platform";
  const fs::perms mode = fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read;
  fs::permissions(Path(kMachineFile), mode);
  ASSERT_EQ(0, CLibChuckModel('L').SetPosZ(-100));
  EXPECT_EQ(mode, fs::status(Path(kMachineFile)).permissions());
}

TEST_F(RewriteTest, EachFailureLeavesBothFilesWhole) {
  const std::string machine = Read(kMachineFile), assembly = Read(kAssemblyFile);
  {
    ScopedOpenFailure temp_fails("LatheATemp.ovx");
    EXPECT_EQ(-1, CLibChuckModel('L').SetPosZ(1));
  }
  {
    ScopedFlushFailure flush_fails;
    EXPECT_EQ(-1, CLibJawModel('L').SetPosZ(3));
  }
  EXPECT_EQ(machine, Read(kMachineFile));
  EXPECT_EQ(assembly, Read(kAssemblyFile));

  // A failure in the second pass leaves the assembly file rewritten.
  {
    ScopedOpenFailure temp_fails("LatheATemp.ovp");
    EXPECT_EQ(-1, CLibChuckModel('L').SetPosZ(-111));
  }
  EXPECT_EQ(-111.0, CLibChuckModel('L').GetPosZ());
  EXPECT_EQ(machine, Read(kMachineFile));

  // A missing source or an empty "filepath" touches nothing.
  fs::remove(Path(kAssemblyFile));
  EXPECT_EQ(-1, CLibChuckModel('L').SetPosZ(1));
  EXPECT_FALSE(fs::exists(Path(kAssemblyFile)));
  Write(kSettingsFile, "[OVX]\n");
  EXPECT_EQ(-1, CLibJawModel('L').SetPosZ(1));
  EXPECT_EQ(machine, Read(kMachineFile));
}

TEST_F(RewriteTest, AFailedReplaceKeepsTheSourceAndACompleteTemporaryFile) {
  const std::string assembly = Read(kAssemblyFile);
  {
    ScopedReplaceFailure replace_fails;
    EXPECT_EQ(-1, CLibChuckModel('L').SetPosZ(-77));
  }
  EXPECT_EQ(assembly, Read(kAssemblyFile));
  std::string expected = assembly;
  const std::string old_line = Matrix(-120);
  expected.replace(expected.find(old_line), old_line.size(), Matrix(-77));
  EXPECT_EQ(Rewritten(expected), Read(kAssemblyTemp));

  // The next rewrite empties the left-over temporary file and writes it anew.
  Write(kAssemblyTemp, std::string(100000, 'g'));
  ASSERT_EQ(0, CLibChuckModel('L').SetPosZ(-77));
  EXPECT_EQ(Rewritten(expected), Read(kAssemblyFile));
  EXPECT_FALSE(fs::exists(Path(kAssemblyTemp)));
}

TEST_F(RewriteTest, DerivedNamesIgnoreTheMachineFilesOwnExtension) {
  TemporaryFolder elsewhere;
  const fs::path machine = elsewhere.path() / "Y.abc";
  Write(kSettingsFile, "[OVX]\nfilepath=" + machine.string() + "\n");
  WriteFile(machine, ChuckFile("\t\t" + Matrix(1) + "\n"));
  WriteFile(elsewhere.path() / "Y.ovx", ChuckFile("\t\t" + Matrix(1) + "\n"));
  ASSERT_EQ(0, CLibChuckModel('L').SetPosZ(2));
  EXPECT_EQ(Rewritten(ChuckFile("\t\t" + Matrix(2) + "\n")), ReadFile(machine));
  EXPECT_EQ(Rewritten(ChuckFile("\t\t" + Matrix(2) + "\n")), ReadFile(elsewhere.path() / "Y.ovx"));
  EXPECT_EQ(2, std::distance(fs::directory_iterator(elsewhere.path()), fs::directory_iterator()));
}

// Links: on Linux only, where the tests make them.
TEST_F(RewriteTest, LinksAreNeverFollowedAtTheTemporaryNameAndSourcesStayLinks) {
  if (!FilesHaveModeBits()) GTEST_SKIP() << "links are made on Linux only";
  TemporaryFolder elsewhere;
  const fs::path outside = elsewhere.path() / "precious.txt";
  WriteFile(outside, "keep me\n");
  fs::create_symlink(outside, Path(kAssemblyTemp));
  // The machine file is a link to a file in another folder.
  const fs::path target = elsewhere.path() / "LatheA-real.ovp";
  fs::rename(Path(kMachineFile), target);
  fs::create_symlink(target, Path(kMachineFile));

  ASSERT_EQ(0, CLibChuckModel('L').SetPosZ(-66));
  EXPECT_EQ("keep me\n", ReadFile(outside));
  EXPECT_FALSE(fs::is_symlink(Path(kAssemblyFile)));
  EXPECT_TRUE(fs::is_symlink(Path(kMachineFile)));
  EXPECT_NE(std::string::npos, ReadFile(target).find(Matrix(-66)));
  EXPECT_EQ(-66.0, CLibChuckModel('L').GetPosZ());
}

TEST_F(RewriteTest, CrOnlyLineEndsAreKept) {
  SetFiles(ChuckFile("\t\t" + Matrix(1) + "\r", "\r"), ChuckFile("\t\t" + Matrix(1) + "\r", "\r"));
  ASSERT_EQ(0, CLibChuckModel('L').SetPosZ(3));
  EXPECT_EQ(3.0, CLibChuckModel('L').GetPosZ());
  EXPECT_EQ(ChuckFile("\t\t" + Matrix(3) + "\r", "\r"), Read(kMachineFile));
}

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

TEST_F(WorkModelTest, OriginDistanceOfEachSideIsReadAnewOnEveryCall) {
  CLibWorkModel left('L');
  EXPECT_EQ(-35.5, left.GetOriginDist());
  EXPECT_EQ(42.25, CLibWorkModel('R').GetOriginDist());
  Write(kCustomSettings, "[Work Start Pos. Setting]\nWorkOriginL=7.25\nWorkOriginR=abc\n");
  EXPECT_EQ(7.25, left.GetOriginDist());
  EXPECT_EQ(0.0, CLibWorkModel('R').GetOriginDist());  // no number
  fs::remove(Path(kCustomSettings));
  EXPECT_EQ(0.0, left.GetOriginDist());  // no file
}

}  // namespace
}  // namespace tavrin::test
