#include "support/sim_folder.h"

#include <atomic>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <sstream>

#include "support/text_mode.h"
#include "tavrin/message.h"

namespace fs = std::filesystem;

namespace tavrin::test {

const char kSimFolder[] = "QvApplication/Qv Crash Preview/";
const char kMachineFile[] = "QvApplication/Qv Crash Preview/Machines/LatheA.ovp";
const char kAssemblyFile[] = "QvApplication/Qv Crash Preview/Machines/LatheA.ovx";
const char kSettingsFile[] = "QvApplication/Qv Crash Preview/Orvex.ini";
const char kCustomSettings[] = "QvApplication/Qv Crash Preview/CustomSetting.ini";

namespace {

// Opens up folders that a test made read-only, then removes everything.
void RemoveTree(const fs::path& path) {
  std::error_code ignored;
  for (auto it = fs::recursive_directory_iterator(path, ignored); it != fs::recursive_directory_iterator();
       it.increment(ignored)) {
    fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ignored);
  }
  fs::remove_all(path, ignored);
}

// The mark that says a C:\QvApplication was made by these tests.
const char kOwnMark[] = "QvApplication/made-by-tavrin-tests";

int CaptureBox(const char* text, const char* /*caption*/, unsigned int style, void* user) {
  auto* test = static_cast<SimFolderTest*>(user);
  test->RecordBox(text != nullptr ? text : "", style);
  return 1;
}

}  // namespace

TemporaryFolder::TemporaryFolder() {
  static std::atomic<unsigned> counter{0};
  auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
  path_ = fs::temp_directory_path() /
          ("tavrin-sim-" + std::to_string(stamp) + "-" + std::to_string(++counter));
  fs::create_directories(path_);
}

TemporaryFolder::~TemporaryFolder() { RemoveTree(path_); }

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream contents;
  contents << in.rdbuf();
  return contents.str();
}

void WriteFile(const fs::path& path, const std::string& contents) {
  fs::create_directories(path.parent_path());
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << contents;
}

void SimFolderTest::SetUp() {
  if (DriveLettersAreMapped()) {
    folder_ = std::make_unique<TemporaryFolder>();
    drive_c_ = folder_->path();
    drive_ = std::make_unique<ScopedEnv>("TAVRIN_DRIVE_C", drive_c_.string().c_str());
  } else {
    drive_c_ = "C:/";
    if (fs::exists(Path("QvApplication")) && !fs::exists(Path(kOwnMark))) {
      drive_c_.clear();
      GTEST_SKIP() << "C:\\QvApplication belongs to an installed simulation; it is left alone";
    }
    RemoveTree(Path("QvApplication"));
    WriteFile(Path(kOwnMark), "");
  }
  fs::copy(fs::path(TAVRIN_TEST_SOURCE_DIR) / "examples" / "sim", drive_c_,
           fs::copy_options::recursive | fs::copy_options::overwrite_existing);
  tavrin_set_message_handler(&CaptureBox, this);
}

void SimFolderTest::TearDown() {
  tavrin_set_message_handler(nullptr, nullptr);
  drive_.reset();
  folder_.reset();
  if (!DriveLettersAreMapped() && !drive_c_.empty()) RemoveTree(Path("QvApplication"));
}

void SimFolderTest::SetFiles(const std::string& machine, const std::string& assembly) const {
  Write(kMachineFile, machine);
  Write(kAssemblyFile, assembly);
}

std::string Matrix(double z) {
  char text[160];
  std::snprintf(text, sizeof text, "<matrix>1,0,0,0,0,1,0,0,0,0,1,0,0,0,%.15g,1</matrix>", z);
  return text;
}

std::string Rewritten(const std::string& text) { return AsWrittenInTextMode(AsReadInTextMode(text)); }

}  // namespace tavrin::test
