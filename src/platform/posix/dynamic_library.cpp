#include <dlfcn.h>

#include "platform/platform.h"
#include "platform/syscalls.h"

namespace tavrin::platform {

namespace {
#define TAVRIN_SYSCALLS(CALL, OWN) \
  CALL(dlopen, "dlopen")           \
  CALL(dlsym, "dlsym")
TAVRIN_SYSCALL_TABLE(TAVRIN_SYSCALLS)
}  // namespace

void* OpenSharedLibrary(const char* path) {
  if (path == nullptr) return nullptr;
  return sys::dlopen(path, RTLD_NOW | RTLD_LOCAL);
}

// The sanitizer runtimes intercept dlopen and refuse RTLD_DEEPBIND.
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
constexpr int kOwnSymbolsFirst = 0;
#elif defined(__has_feature)
#  if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer) || __has_feature(memory_sanitizer)
constexpr int kOwnSymbolsFirst = 0;
#  else
constexpr int kOwnSymbolsFirst = RTLD_DEEPBIND;
#  endif
#else
constexpr int kOwnSymbolsFirst = RTLD_DEEPBIND;
#endif

void* OpenSelfContainedLibrary(const char* path, std::string* error) {
  if (path == nullptr) return nullptr;
  void* library = sys::dlopen(path, RTLD_NOW | RTLD_LOCAL | kOwnSymbolsFirst);
  if (library == nullptr && error != nullptr) {
    const char* text = dlerror();
    *error = text != nullptr ? text : "the loader gave no reason";
  }
  return library;
}

void* FindSharedSymbol(void* library, const char* name) {
  if (library == nullptr || name == nullptr) return nullptr;
  return sys::dlsym(library, name);
}

const char* DefaultFocasLibraryName() { return "libfwlib32.so"; }

}  // namespace tavrin::platform
