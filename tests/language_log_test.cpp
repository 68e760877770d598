#include <filesystem>
#include <map>
#include <sstream>
#include <string>
#include <thread>

#include "support/child_process.h"
#include "support/environment.h"
#include "support/sim_folder.h"
#include "support/system_fakes.h"
#include "support/test_support.h"

namespace fs = std::filesystem;

namespace tavrin::test {
namespace {

constexpr unsigned short kJapanese = 0x0411, kTaiwan = 0x0404, kPrc = 0x0804, kEnglish = 0x0409,
                         kHongKong = 0x0C04;

class LanguageTest : public CncTest {
 protected:
  void SetUp() override {
    CncTest::SetUp();
    for (short number : {7364, 7240, 3281}) sim::DefineParam(1, number, sim::ParamKind::Byte, false);
  }
  BYTE Language(int p7364, int p7240, int p3281, unsigned short user) {
    sim::SetParam(1, 7364, 0, p7364);
    sim::SetParam(1, 7240, 0, p7240);
    sim::SetParam(1, 3281, 0, p3281);
    ScopedUserLanguage language(user);
    return lib_GetLanguage(handle_);
  }
};

TEST_F(LanguageTest, DecisionTable) {
  EXPECT_EQ(1, Language(0x02, 9, 1, kJapanese));   // 7364 bit 1: the code is 3281
  EXPECT_EQ(0, Language(0x02, 9, 1, kEnglish));
  EXPECT_EQ(15, Language(0xFD, 15, 2, kPrc));      // bit 1 clear: 7240
  EXPECT_EQ(4, Language(0, 4, 2, kTaiwan));
  EXPECT_EQ(0, Language(0, 4, 2, kJapanese));
  EXPECT_EQ(0, Language(0, 15, 2, kHongKong));
  EXPECT_EQ(1, Language(0, 0, 1, kJapanese));      // 7240 holds 0: 3281
  EXPECT_EQ(6, Language(0, 0, 6, kEnglish));
  EXPECT_EQ(200, Language(0x02, 0, 200, kPrc));    // codes are unsigned bytes
}

TEST_F(LanguageTest, SelectsPathOneFirstAndIgnoresItsFailure) {
  EXPECT_EQ(6, Language(0, 0, 6, kEnglish));
  EXPECT_EQ((std::vector<std::string>{"cnc_setpath", "cnc_rdparam", "cnc_rdparam", "cnc_rdparam"}), CallNames());
  EXPECT_EQ(std::vector<long long>{1}, CallsOf(sim::Call::cnc_setpath)[0].args);
  sim::FailNext(sim::Call::cnc_setpath, EW_PATH);  // not noticed
  EXPECT_EQ(6, Language(0, 0, 6, kEnglish));
}

TEST_F(LanguageTest, EveryFailedReadGivesZero) {
  for (int read = 1; read <= 3; ++read) {
    sim::FailNth(sim::Call::cnc_rdparam, read, EW_HANDLE);
    EXPECT_EQ(0, Language(0, 0, 6, kEnglish)) << "read " << read;
    sim::ClearFailures();
  }
  sim::FailNth(sim::Call::cnc_rdparam, 2, EW_NUMBER);
  EXPECT_EQ(0, Language(0x02, 0, 6, kEnglish));
}

TEST(UserLanguage, JapaneseSettingAndLocaleOrder) {
  {
    ScopedUserLanguage japanese(kJapanese);
    EXPECT_TRUE(lib_IsJapaneseSetting());
  }
  ScopedUserLanguage english(kEnglish);
  EXPECT_FALSE(lib_IsJapaneseSetting());
  if (!UserLanguageFromLocale()) GTEST_SKIP() << "the user's language is the system's own here";
  ScopedEnv all("LC_ALL", "");
  ScopedEnv messages("LC_MESSAGES", "ja_JP.eucJP@x");
  ScopedEnv lang("LANG", "de_DE.UTF-8");
  EXPECT_TRUE(lib_IsJapaneseSetting());
  ScopedEnv no_messages("LC_MESSAGES", nullptr);
  EXPECT_FALSE(lib_IsJapaneseSetting());
  ScopedEnv japanese_lang("LANG", "ja");
  EXPECT_TRUE(lib_IsJapaneseSetting());
}

class LogTest : public ::testing::Test {
 protected:
  // The log's lines, without line ends.
  std::vector<std::string> Lines(const std::string& name) const {
    std::istringstream in(ReadFile(folder_.path() / name));
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) {
      if (!line.empty() && line.back() == '\r') line.pop_back();
      lines.push_back(line);
    }
    return lines;
  }
  TemporaryFolder folder_;
};

TEST_F(LogTest, AppendsEachTextAsOneLineBesideTheExecutable) {
  ScopedExecutablePath executable((folder_.path() / "Operator.exe").string());
  ASSERT_TRUE(executable.Installed());
  lib_OutputLog("abc");
  lib_OutputLog("def");
  lib_OutputLog("%d %s %n");
  EXPECT_EQ((std::vector<std::string>{"abc", "def", "%d %s %n"}), Lines("Operator_Log.txt"));
}

TEST_F(LogTest, ExecutableWithoutExtensionAndUnwritableLog) {
  {
    ScopedExecutablePath executable((folder_.path() / "panel.d" / "operator").string());
    fs::create_directories(folder_.path() / "panel.d");
    lib_OutputLog("x");
    EXPECT_EQ(std::vector<std::string>{"x"}, Lines("panel.d/operator_Log.txt"));
  }
  ScopedExecutablePath nowhere((folder_.path() / "missing" / "operator").string());
  lib_OutputLog("dropped");
  EXPECT_FALSE(fs::exists(folder_.path() / "missing"));
  lib_OutputLog(nullptr);
}

constexpr int kWriters = 8;
constexpr int kLinesEach = 500;
const int kWriterIds[kWriters] = {0, 1, 2, 3, 4, 5, 6, 7};

bool WriteLines(void* id) {
  const int writer = *static_cast<const int*>(id);
  std::string padding(60, static_cast<char>('a' + writer));
  for (int i = 0; i < kLinesEach; ++i) lib_OutputLog((std::to_string(writer) + ":" + padding).c_str());
  return true;
}

// The writers are child processes where the platform can fork, else threads.
TEST_F(LogTest, ConcurrentWritersLeaveEveryLineWhole) {
  ScopedExecutablePath executable((folder_.path() / "Operator.exe").string());
  std::vector<long> children;
  std::vector<std::thread> threads;
  for (const int& id : kWriterIds) {
    if (ChildProcessesSupported()) children.push_back(StartChild(&WriteLines, const_cast<int*>(&id)));
    else threads.emplace_back(&WriteLines, const_cast<int*>(&id));
  }
  for (long child : children) EXPECT_TRUE(child >= 0 && ChildSucceeded(child));
  for (std::thread& thread : threads) thread.join();
  std::map<std::string, int> counts;
  for (const std::string& line : Lines("Operator_Log.txt")) ++counts[line];
  ASSERT_EQ(static_cast<std::size_t>(kWriters), counts.size());
  for (int writer = 0; writer < kWriters; ++writer) {
    EXPECT_EQ(kLinesEach, counts[std::to_string(writer) + ":" + std::string(60, static_cast<char>('a' + writer))]);
  }
}

}  // namespace
}  // namespace tavrin::test
