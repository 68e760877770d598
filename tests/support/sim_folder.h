// A simulation folder for tests: a fresh copy of examples/sim/ on drive C:
// for as long as a test runs, with message boxes captured instead of shown.
// Where drive letters are mapped (DriveLettersAreMapped) drive C: is a fresh
// temporary folder named by TAVRIN_DRIVE_C; on Windows it is the real C:,
// where the library's fixed folder C:\QvApplication is written (the test
// runs use a throwaway Wine prefix).  A C:\QvApplication that these tests did
// not make is never touched: the tests skip instead.
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
 public:
  void RecordBox(const std::string& text, unsigned style) {
    messages_.push_back(text);
    styles_.push_back(style);
  }

 protected:
  void SetUp() override;
  void TearDown() override;

  std::filesystem::path Path(const std::string& relative) const { return drive_c_ / relative; }
  std::string Read(const std::string& relative) const { return ReadFile(Path(relative)); }
  void Write(const std::string& relative, const std::string& contents) const { WriteFile(Path(relative), contents); }
  // Replaces the machine file and the assembly file.
  void SetFiles(const std::string& machine, const std::string& assembly) const;

  std::filesystem::path drive_c_;
  std::unique_ptr<TemporaryFolder> folder_;
  std::unique_ptr<ScopedEnv> drive_;
  std::vector<std::string> messages_;  // texts of the boxes shown
  std::vector<unsigned> styles_;
};

// True where drive letters are mapped onto folders (everywhere but Windows,
// whose drive letters are the system's own).
bool DriveLettersAreMapped();
// True where files carry permission bits that a replace must hand on (not
// Windows, where a file's security comes from its folder).
bool FilesHaveModeBits();

// A matrix line's text with Z (and the rest 1 or 0), e.g. "<matrix>1,0,...,Z,1</matrix>".
std::string Matrix(double z);
// What a file holding `text` holds after the library has rewritten it in
// text mode: the same bytes on Linux, every line end CR LF on Windows.
std::string Rewritten(const std::string& text);

}  // namespace tavrin::test

#endif
