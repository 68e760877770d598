#ifndef WIN32_LEAN_AND_MEAN
#  define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include "platform/syscalls.h"
#include "platform/user_language.h"

namespace tavrin::platform {

namespace {
#define TAVRIN_SYSCALLS(CALL, OWN)                            \
  CALL(GetUserDefaultLangID, "language:GetUserDefaultLangID")
TAVRIN_SYSCALL_TABLE(TAVRIN_SYSCALLS)
}  // namespace

unsigned short UserDefaultLanguage() { return sys::GetUserDefaultLangID(); }

}  // namespace tavrin::platform
