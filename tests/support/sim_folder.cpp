#include "support/sim_folder.h"

#include <atomic>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <sstream>

#include "tavrin/message.h"

namespace fs = std::filesystem;

namespace tavrin::test {

const char kSimFolder[] = "QvApplication/Qv Crash Preview/";
const char kMachineFile[] = "QvApplication/Qv Crash Preview/Machines/LatheA.ovp";
const char kAssemblyFile[] = "QvApplication/Qv Crash Preview/Machines/LatheA.ovx";
const char kSettingsFile[] = "QvApplication/Qv Crash Preview/Orvex.ini";
const char kCustomSettings[] = "QvApplication/Qv Crash Preview/CustomSetting.ini";

TemporaryFolder::TemporaryFolder() {
  static std::atomic<unsigned> counter{0};
  auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
  path_ = fs::temp_directory_path() /
          ("tavrin-sim-" + std::to_string(stamp) + "-" + std::to_string(++counter));
  fs::create_directories(path_);
}

TemporaryFolder::~TemporaryFolder() {
  std::error_code ignored;
  // Folders that a test made read-only are opened up again first.
  for (auto it = fs::recursive_directory_iterator(path_, ignored); it != fs::recursive_directory_iterator();
       it.increment(ignored)) {
    fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ignored);
  }
  fs::remove_all(path_, ignored);
}

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

namespace {
int CaptureBox(const char* text, const char* /*caption*/, unsigned int style, void* user) {
  auto* test = static_cast<std::pair<std::vector<std::string>*, std::vector<unsigned>*>*>(user);
  test->first->push_back(text != nullptr ? text : "");
  test->second->push_back(style);
  return 1;
}
std::pair<std::vector<std::string>*, std::vector<unsigned>*> capture_target;
}  // namespace

void SimFolderTest::SetUp() {
  if (!DriveLettersAreMapped()) GTEST_SKIP() << "the simulation's folder is on the real drive C: here";
  folder_ = std::make_unique<TemporaryFolder>();
  fs::copy(fs::path(TAVRIN_TEST_SOURCE_DIR) / "examples" / "sim", folder_->path(), fs::copy_options::recursive);
  drive_ = std::make_unique<ScopedEnv>("TAVRIN_DRIVE_C", folder_->path().string().c_str());
  capture_target = {&messages_, &styles_};
  tavrin_set_message_handler(&CaptureBox, &capture_target);
}

void SimFolderTest::TearDown() {
  tavrin_set_message_handler(nullptr, nullptr);
  drive_.reset();
  folder_.reset();
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

}  // namespace tavrin::test
