// Directories, strings and numbers of the utilities.
#include <filesystem>
#include <limits>
#include <string>

#include "support/environment.h"
#include "support/sim_folder.h"
#include "tavrin/tavrin.h"

namespace fs = std::filesystem;

namespace tavrin::test {
namespace {

class DirectoryTreeTest : public ::testing::Test {
 protected:
  std::string At(const std::string& relative) const { return (folder_.path() / relative).string(); }
  void Touch(const std::string& relative) const { WriteFile(folder_.path() / relative, relative); }
  bool Exists(const std::string& relative) const { return fs::exists(fs::symlink_status(folder_.path() / relative)); }
  // Files at three depths.
  void MakeTree() const {
    for (const char* file : {"root/a.txt", "root/sub/b.txt", "root/sub/deeper/c"}) Touch(file);
  }

  TemporaryFolder folder_;
};

TEST_F(DirectoryTreeTest, EmptiesTheTreeAndRemovesTheDirectoryOnlyWithFlagOne) {
  MakeTree();
  EXPECT_TRUE(lib_DeleteDirectory(At("root").c_str(), 0));
  ASSERT_TRUE(Exists("root"));
  EXPECT_TRUE(fs::is_empty(At("root")));

  MakeTree();
  EXPECT_TRUE(lib_DeleteDirectory(At("root").c_str(), 1));
  EXPECT_FALSE(Exists("root"));

  EXPECT_FALSE(lib_DeleteDirectory(At("missing").c_str(), 1));
  EXPECT_FALSE(lib_DeleteDirectory(nullptr, 1));
}

TEST_F(DirectoryTreeTest, DotNamedEntriesAndTheirDirectoriesStay) {
  for (const char* file : {"root/x.txt", "root/.keep", "root/sub/y", "root/sub/.hidden/z"}) Touch(file);
  EXPECT_TRUE(lib_DeleteDirectory(At("root").c_str(), 1));
  EXPECT_TRUE(Exists("root/.keep"));
  EXPECT_TRUE(Exists("root/sub/.hidden/z"));
  EXPECT_FALSE(Exists("root/x.txt"));
  EXPECT_FALSE(Exists("root/sub/y"));
}

TEST_F(DirectoryTreeTest, ReadOnlyFileStopsTheCall) {
  Touch("root/sub/locked");
  fs::permissions(At("root/sub/locked"), fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                  fs::perm_options::remove);
  EXPECT_FALSE(lib_DeleteDirectory(At("root").c_str(), 1));
  EXPECT_TRUE(Exists("root/sub/locked"));

  fs::permissions(At("root/sub/locked"), fs::perms::owner_write, fs::perm_options::add);
  EXPECT_TRUE(lib_DeleteDirectory(At("root").c_str(), 1));
  EXPECT_FALSE(Exists("root"));
}

TEST_F(DirectoryTreeTest, LinksAreRemovedAndNeverFollowed) {
  Touch("outside/keep.txt");
  Touch("outside/inner/keep2.txt");
  Touch("root/plain");
  std::error_code error;
  fs::create_directory_symlink(At("outside"), At("root/to_dir"), error);
  if (!error) fs::create_symlink(At("outside/keep.txt"), At("root/to_file"), error);
  if (error) GTEST_SKIP() << "links cannot be made here: " << error.message();

  EXPECT_TRUE(lib_DeleteDirectory(At("root").c_str(), 1));
  EXPECT_FALSE(Exists("root"));
  EXPECT_TRUE(Exists("outside/keep.txt"));
  EXPECT_TRUE(Exists("outside/inner/keep2.txt"));
}

TEST_F(DirectoryTreeTest, OverlongPathsFailWithoutHarm) {
  std::string long_path = At("root") + std::string(300, 'x');
  EXPECT_FALSE(lib_DeleteDirectory(long_path.c_str(), 1));
  // A path that fits whose entry does not: 260 characters in all are too many.
  Touch("root/f");
  std::string root = At("root");
  std::string name(260 - root.size(), 'n');
  std::error_code error;
  WriteFile(fs::path(root) / name, "x");
  if (!fs::exists(fs::path(root) / name, error)) GTEST_SKIP() << "no names that long here";
  EXPECT_FALSE(lib_DeleteDirectory(root.c_str(), 1));
  EXPECT_TRUE(fs::exists(fs::path(root) / name, error));
}

TEST_F(DirectoryTreeTest, WindowsPathsUseTheMappedDrive) {
  if (!DriveLettersAreMapped()) GTEST_SKIP() << "drive letters are the system's own here";
  ScopedEnv drive("TAVRIN_DRIVE_C", folder_.path().string().c_str());
  EXPECT_EQ(1, lib_CreateDirectory("C:\\Panel"));
  EXPECT_EQ(1, lib_CreateDirectory("c:\\panel\\Work"));
  Touch("Panel/Work/w.txt");
  EXPECT_TRUE(lib_DeleteDirectory("C:\\PANEL", 1));
  EXPECT_FALSE(Exists("Panel"));
}

TEST_F(DirectoryTreeTest, CreatesOneDirectoryOnly) {
  EXPECT_NE(0, lib_CreateDirectory(At("new").c_str()));
  EXPECT_TRUE(fs::is_directory(At("new")));
  EXPECT_EQ(1, lib_CreateDirectory(At("new").c_str()));
  EXPECT_EQ(0, lib_CreateDirectory(At("no/parent").c_str()));
  EXPECT_EQ(0, lib_CreateDirectory(nullptr));
}

TEST(ReplaceStr, FirstOccurrenceOnlyInPlace) {
  char text[32] = "abcabc";
  EXPECT_EQ(1, lib_ReplaceStr(text, "b", "XYZ"));
  EXPECT_STREQ("aXYZcabc", text);
  EXPECT_EQ(1, lib_ReplaceStr(text, "XYZc", "-"));
  EXPECT_STREQ("a-abc", text);
  EXPECT_EQ(1, lib_ReplaceStr(text, "a", ""));
  EXPECT_STREQ("-abc", text);
  EXPECT_EQ(0, lib_ReplaceStr(text, "q", "XYZ"));
  EXPECT_EQ(0, lib_ReplaceStr(text, "", "XYZ"));
  EXPECT_EQ(0, lib_ReplaceStr(text, nullptr, "XYZ"));
  EXPECT_STREQ("-abc", text);
}

TEST(RoundValue, HalvesRoundUpOnlyForZeroAndPositiveValuesAndOutOfRangeGivesZero) {
  EXPECT_EQ(0, lib_RoundValue(0.0));
  EXPECT_EQ(1, lib_RoundValue(0.5));
  EXPECT_EQ(0, lib_RoundValue(0.49));
  EXPECT_EQ(-1, lib_RoundValue(-0.2));
  EXPECT_EQ(-3, lib_RoundValue(-2.5));
  // Values without a 32-bit result give zero.
  EXPECT_EQ(0, lib_RoundValue(std::numeric_limits<double>::quiet_NaN()));
  EXPECT_EQ(0, lib_RoundValue(1e12));
  EXPECT_EQ(0, lib_RoundValue(-1e12));
}

TEST(LongPow, SmallExponentsAndWrapping) {
  EXPECT_EQ(1, lib_LongPow(10, 0));
  EXPECT_EQ(1, lib_LongPow(0, 0));
  EXPECT_EQ(10, lib_LongPow(10, 1));
  EXPECT_EQ(10, lib_LongPow(10, -3));
  EXPECT_EQ(-8, lib_LongPow(-2, 3));
  EXPECT_EQ(1410065408, lib_LongPow(10, 10));
}

TEST(DoublePow, NegativeExponentsNeverGiveFractions) {
  EXPECT_EQ(2.0, lib_DoublePow(2, -1));
  EXPECT_EQ(9.0, lib_DoublePow(-3, 2));
  EXPECT_EQ(1.0, lib_DoublePow(5, 0));
  EXPECT_EQ(1e10, lib_DoublePow(10, 10));  // no 32-bit wrap in double
}

}  // namespace
}  // namespace tavrin::test
