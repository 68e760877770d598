#include <windows.h>

#include <string>

#include "platform/platform.h"
#include "platform/syscalls.h"

namespace tavrin::platform {

namespace {
#define TAVRIN_SYSCALLS(CALL, OWN)       \
  CALL(LoadLibraryA, "LoadLibraryA")     \
  CALL(GetProcAddress, "GetProcAddress")
TAVRIN_SYSCALL_TABLE(TAVRIN_SYSCALLS)
}  // namespace

void* OpenSharedLibrary(const char* path) {
  if (path == nullptr) return nullptr;
  return reinterpret_cast<void*>(sys::LoadLibraryA(path));
}

// A DLL's calls to its own functions never go through the loader, so the
// plain load keeps them inside it already.
void* OpenSelfContainedLibrary(const char* path, std::string* error) {
  void* library = OpenSharedLibrary(path);
  if (library == nullptr && error != nullptr) {
    DWORD code = GetLastError();
    char text[512] = "";
    DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0, text,
                                  sizeof text, nullptr);
    while (length > 0 && (text[length - 1] == '\n' || text[length - 1] == '\r' || text[length - 1] == ' ')) {
      text[--length] = '\0';
    }
    *error = length > 0 ? std::string(text) : "Windows error " + std::to_string(code);
  }
  return library;
}

void* FindSharedSymbol(void* library, const char* name) {
  if (library == nullptr || name == nullptr) return nullptr;
  return reinterpret_cast<void*>(
      sys::GetProcAddress(static_cast<HMODULE>(library), name));
}

const char* DefaultFocasLibraryName() { return "Fwlib32.dll"; }

}  // namespace tavrin::platform
