// A simulation folder for tests: a copy of examples/sim/ in a fresh
// temporary folder that stands for drive C: (TAVRIN_DRIVE_C) for as long as
// the object lives.  Message boxes are captured instead of shown.
#ifndef TAVRIN_TESTS_SUPPORT_SIM_FOLDER_H
#define TAVRIN_TESTS_SUPPORT_SIM_FOLDER_H

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "support/environment.h"

namespace tavrin::test {

// Where the example's files lie, relative to the drive's folder.
extern const char kSimFolder[];        // "QvApplication/Qv Crash Preview/"
extern const char kMachineFile[];      // ".../Machines/LatheA.ovp"
extern const char kAssemblyFile[];     // ".../Machines/LatheA.ovx"
extern const char kSettingsFile[];     // ".../Orvex.ini"
extern const char kCustomSettings[];   // ".../CustomSetting.ini"

// A fresh temporary folder, removed with everything in it at the end.
class TemporaryFolder {
 public:
  TemporaryFolder();
  ~TemporaryFolder();
  TemporaryFolder(const TemporaryFolder&) = delete;
  TemporaryFolder& operator=(const TemporaryFolder&) = delete;
  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

// Whole-file helpers (bytes as they are).
std::string ReadFile(const std::filesystem::path& path);
void WriteFile(const std::filesystem::path& path, const std::string& contents);

class SimFolderTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  std::filesystem::path Path(const std::string& relative) const { return folder_->path() / relative; }
  std::string Read(const std::string& relative) const { return ReadFile(Path(relative)); }
  void Write(const std::string& relative, const std::string& contents) const { WriteFile(Path(relative), contents); }
  // Replaces the machine file and the assembly file.
  void SetFiles(const std::string& machine, const std::string& assembly) const;

  std::unique_ptr<TemporaryFolder> folder_;
  std::unique_ptr<ScopedEnv> drive_;
  std::vector<std::string> messages_;  // texts of the boxes shown
  std::vector<unsigned> styles_;
};

// True where drive letters are mapped onto folders (everywhere but Windows,
// whose C: drive is the real one); the simulation-folder tests skip elsewhere.
bool DriveLettersAreMapped();

// A matrix line's text with Z (and the rest 1 or 0), e.g. "<matrix>1,0,...,Z,1</matrix>".
std::string Matrix(double z);

}  // namespace tavrin::test

#endif
