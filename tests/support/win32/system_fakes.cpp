#ifndef WIN32_LEAN_AND_MEAN
#  define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#include <shlobj.h>

#include <cstring>

#include "support/system_fakes.h"

namespace tavrin::test {

namespace {

// --- Shutdown: a stand-in for the token, the privilege and ExitWindowsEx ------

struct ShutdownState {
  std::string failing;
  std::vector<unsigned> requests;
  int open_tokens = 0;
} shutdown_state;

int token_object;
HANDLE const kToken = reinterpret_cast<HANDLE>(&token_object);

BOOL WINAPI FakeGetVersion(LPOSVERSIONINFOA version) {
  version->dwPlatformId = VER_PLATFORM_WIN32_NT;
  return version->dwOSVersionInfoSize == 148;
}
HANDLE WINAPI FakeCurrentProcess() { return reinterpret_cast<HANDLE>(-1); }
BOOL WINAPI FakeOpenToken(HANDLE process, DWORD access, PHANDLE token) {
  if (shutdown_state.failing == "OpenProcessToken" || process != reinterpret_cast<HANDLE>(-1) ||
      access != TOKEN_ADJUST_PRIVILEGES) {
    return FALSE;
  }
  *token = kToken;
  ++shutdown_state.open_tokens;
  return TRUE;
}
BOOL WINAPI FakeLookup(LPCSTR system, LPCSTR name, PLUID luid) {
  if (shutdown_state.failing == "LookupPrivilegeValueA" || system != nullptr ||
      std::strcmp(name, "SeShutdownPrivilege") != 0) {
    return FALSE;
  }
  luid->LowPart = 19;
  luid->HighPart = 0;
  return TRUE;
}
BOOL WINAPI FakeAdjust(HANDLE token, BOOL disable_all, PTOKEN_PRIVILEGES privileges, DWORD, PTOKEN_PRIVILEGES,
                       PDWORD) {
  return shutdown_state.failing != "AdjustTokenPrivileges" && token == kToken && !disable_all &&
         privileges->PrivilegeCount == 1 && privileges->Privileges[0].Luid.LowPart == 19 &&
         privileges->Privileges[0].Attributes == SE_PRIVILEGE_ENABLED;
}
DWORD WINAPI FakeLastError() {
  return shutdown_state.failing == "privilege not held" ? ERROR_NOT_ALL_ASSIGNED : ERROR_SUCCESS;
}
BOOL WINAPI FakeCloseHandle(HANDLE handle) {
  if (handle != kToken) return FALSE;
  --shutdown_state.open_tokens;
  return TRUE;
}
BOOL WINAPI FakeExitWindows(UINT kind, DWORD reason) {
  shutdown_state.requests.push_back(reason == 0 ? kind : 0);
  return TRUE;
}

// --- Folder dialog: a stand-in for the shell's browser ------------------------

struct PickerState {
  const char* answer = nullptr;
  bool as_reference = false;
  bool selection_asked = false;
  int open_lists = 0;
} picker_state;

int list_object;
HWND const kDialog = reinterpret_cast<HWND>(&list_object);

LRESULT WINAPI FakeSendMessage(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  picker_state.selection_asked = window == kDialog && message == BFFM_SETSELECTIONA && wparam == TRUE &&
                                 std::strcmp(reinterpret_cast<const char*>(lparam), "") == 0;
  return 0;
}
PIDLIST_ABSOLUTE WINAPI FakeBrowse(LPBROWSEINFOA info) {
  bool started = info->lpfn != nullptr && info->lpfn(kDialog, BFFM_INITIALIZED, 0, info->lParam) == 0;
  picker_state.as_reference = started && picker_state.selection_asked && info->pidlRoot == nullptr &&
                              info->ulFlags == 0x0009 && std::strcmp(info->lpszTitle, "Reference") == 0 &&
                              info->pszDisplayName != nullptr;
  if (picker_state.answer == nullptr) return nullptr;
  std::strcpy(info->pszDisplayName, "display name");
  ++picker_state.open_lists;
  return reinterpret_cast<PIDLIST_ABSOLUTE>(&list_object);
}
BOOL WINAPI FakePathFromList(PCIDLIST_ABSOLUTE list, LPSTR path) {
  if (list != reinterpret_cast<PCIDLIST_ABSOLUTE>(&list_object)) return FALSE;
  std::strcpy(path, picker_state.answer);
  return TRUE;
}
void WINAPI FakeFree(LPVOID memory) {
  if (memory == &list_object) --picker_state.open_lists;
}

// --- Executable path and user language ----------------------------------------

std::string executable_path;

DWORD WINAPI FakeModuleFileName(HMODULE module, LPSTR buffer, DWORD size) {
  if (module != nullptr || size == 0) return 0;
  DWORD length = static_cast<DWORD>(executable_path.size());
  if (length >= size) length = size;  // cut, as Windows does: the whole buffer
  std::memcpy(buffer, executable_path.data(), length);
  if (length < size) buffer[length] = '\0';
  return length;
}

LANGID user_language = 0x0409;
LANGID WINAPI FakeUserLanguage() { return user_language; }

}  // namespace

FakeShutdown::FakeShutdown()
    : fakes_{{"shutdown:GetVersionExA", &FakeGetVersion},
             {"shutdown:GetCurrentProcess", &FakeCurrentProcess},
             {"shutdown:OpenProcessToken", &FakeOpenToken},
             {"shutdown:LookupPrivilegeValueA", &FakeLookup},
             {"shutdown:AdjustTokenPrivileges", &FakeAdjust},
             {"shutdown:GetLastError", &FakeLastError},
             {"shutdown:CloseHandle", &FakeCloseHandle},
             {"shutdown:ExitWindowsEx", &FakeExitWindows}} {
  shutdown_state = ShutdownState();
}

FakeShutdown::~FakeShutdown() = default;

std::vector<ShutdownStep> FakeShutdown::Steps() {
  return {{"OpenProcessToken", 0}, {"LookupPrivilegeValueA", 0}, {"AdjustTokenPrivileges", 0},
          {"privilege not held", 1}};
}

void FakeShutdown::FailStep(const std::string& name) { shutdown_state.failing = name; }

std::vector<unsigned> FakeShutdown::Requests() const { return shutdown_state.requests; }

bool FakeShutdown::Released() const { return shutdown_state.open_tokens == 0; }

struct FakeFolderPicker::State {
  std::string answer;
  ScopedSyscalls fakes{{"folder:SHBrowseForFolderA", &FakeBrowse},
                       {"folder:SendMessageA", &FakeSendMessage},
                       {"folder:SHGetPathFromIDListA", &FakePathFromList},
                       {"folder:CoTaskMemFree", &FakeFree}};
};

FakeFolderPicker::FakeFolderPicker(const char* folder) : state_(new State) {
  picker_state = PickerState();
  if (folder != nullptr) {
    state_->answer = folder;
    picker_state.answer = state_->answer.c_str();
  }
  installed_ = state_->fakes.installed();
}

FakeFolderPicker::~FakeFolderPicker() = default;

bool FakeFolderPicker::ShownAsReferenceDialog() const {
  return picker_state.as_reference && picker_state.open_lists == 0;
}

ScopedExecutablePath::ScopedExecutablePath(const std::string& path)
    : fake_{{"module:GetModuleFileNameA", &FakeModuleFileName}} {
  executable_path = path;
}

ScopedExecutablePath::~ScopedExecutablePath() = default;

struct ScopedUserLanguage::State {
  LANGID previous;
  ScopedSyscalls fake{{"language:GetUserDefaultLangID", &FakeUserLanguage}};
};

ScopedUserLanguage::ScopedUserLanguage(unsigned short id) : state_(new State{user_language}) { user_language = id; }

ScopedUserLanguage::~ScopedUserLanguage() { user_language = state_->previous; }

bool UserLanguageFromLocale() { return false; }

}  // namespace tavrin::test
