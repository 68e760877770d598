#ifndef WIN32_LEAN_AND_MEAN
#  define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include "platform/syscalls.h"
#include "platform/user_language.h"

namespace tavrin::platform {

namespace {
SyscallEntry calls[] = {TAVRIN_SYSCALL_AS("language:GetUserDefaultLangID", GetUserDefaultLangID)};
SyscallGroup group(calls);
}  // namespace

unsigned short UserDefaultLanguage() { return Call<decltype(&::GetUserDefaultLangID)>(calls[0])(); }

}  // namespace tavrin::platform
