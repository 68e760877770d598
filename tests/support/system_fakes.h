// Stand-ins for the system behind the utilities: shutdown, the folder
// dialog, the executable's path and the user's language.  Each object
// replaces the platform layer's system calls for its life, so that no test
// ever powers off, restarts or opens a window.
#ifndef TAVRIN_TESTS_SUPPORT_SYSTEM_FAKES_H
#define TAVRIN_TESTS_SUPPORT_SYSTEM_FAKES_H

#include <memory>
#include <string>
#include <vector>

#include "support/scoped_syscalls.h"

namespace tavrin::test {

// A step of the shutdown request that a test can make fail, and what
// lib_ShutdownWindows answers when it does.
struct ShutdownStep {
  std::string name;
  int result;
};

// Shutdown with every system call behind it faked: requests are recorded,
// never made.  Windows: the token and privilege calls and ExitWindowsEx;
// Linux: the bus and logind.
class FakeShutdown {
 public:
  FakeShutdown();
  ~FakeShutdown();

  // False when some call could not be replaced: the test must stop.
  bool Installed() const { return fakes_.installed(); }
  // The steps before the request, in order, that can fail.
  static std::vector<ShutdownStep> Steps();
  // Only the named step fails from now on.
  void FailStep(const std::string& name);
  // The requests the system accepted, as Windows shutdown kinds: 2 restart,
  // 8 power off, plus 4 forced.
  std::vector<unsigned> Requests() const;
  // True when everything the requests took (token, bus) was given back.
  bool Released() const;

 private:
  ScopedSyscalls fakes_;
};

// The platform's own folder dialog with the operator's answer faked:
// `folder`, or a cancel when null.  Linux: a stand-in zenity on PATH and a
// display; Windows: the shell's browse calls.
class FakeFolderPicker {
 public:
  explicit FakeFolderPicker(const char* folder);
  ~FakeFolderPicker();

  bool Installed() const { return installed_; }
  // True when the dialog was shown as the folder dialog of the panel: titled
  // "Reference", folders only (and on Windows flags 9, no root, the empty
  // initial selection asked for).
  bool ShownAsReferenceDialog() const;

 private:
  struct State;
  std::unique_ptr<State> state_;
  bool installed_ = false;
};

// The library sees its executable at `path` (a native path).
class ScopedExecutablePath {
 public:
  explicit ScopedExecutablePath(const std::string& path);
  ~ScopedExecutablePath();
  bool Installed() const { return fake_.installed(); }

 private:
  ScopedSyscalls fake_;
};

// The library sees the user's language as the Windows identifier `id`
// (Linux: LC_ALL set to a matching locale; Windows: GetUserDefaultLangID).
class ScopedUserLanguage {
 public:
  explicit ScopedUserLanguage(unsigned short id);
  ~ScopedUserLanguage();

 private:
  struct State;
  std::unique_ptr<State> state_;
};

// True where the user's language comes from the locale variables (Linux).
bool UserLanguageFromLocale();

}  // namespace tavrin::test

#endif
