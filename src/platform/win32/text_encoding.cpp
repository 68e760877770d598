#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include "platform/text_encoding.h"

#include <windows.h>

#include <string>

#include "platform/syscalls.h"

namespace tavrin::platform {

namespace {
#define TAVRIN_SYSCALLS(CALL, OWN)                 \
  CALL(MultiByteToWideChar, "MultiByteToWideChar") \
  CALL(WideCharToMultiByte, "WideCharToMultiByte")
TAVRIN_SYSCALL_TABLE(TAVRIN_SYSCALLS)
}  // namespace

// UTF-8 to UTF-16, then to the ANSI code page that MessageBoxA and the rest
// of the panel's narrow text use.
std::string PanelTextFromUtf8(const char* utf8) {
  if (utf8 == nullptr) return std::string();
  std::string original(utf8);
  if (original.empty()) return original;

  int wide_length = sys::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8, -1, nullptr, 0);
  if (wide_length <= 0) return original;
  std::wstring wide(static_cast<std::size_t>(wide_length), L'\0');
  if (sys::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8, -1, &wide[0], wide_length) <= 0) return original;

  int narrow_length = sys::WideCharToMultiByte(CP_ACP, 0, wide.c_str(), -1, nullptr, 0, nullptr, nullptr);
  if (narrow_length <= 0) return original;
  std::string narrow(static_cast<std::size_t>(narrow_length), '\0');
  if (sys::WideCharToMultiByte(CP_ACP, 0, wide.c_str(), -1, &narrow[0], narrow_length, nullptr, nullptr) <= 0) {
    return original;
  }
  narrow.resize(static_cast<std::size_t>(narrow_length) - 1);  // without the terminator
  return narrow;
}

}  // namespace tavrin::platform
