#include <windows.h>

#include <string>

#include "utf8_text.h"

namespace tavrin::tools {

// The panel's ANSI code page to UTF-16, then to UTF-8; invalid bytes fail.
bool PanelTextToUtf8(const std::string& text, std::string* utf8) {
  if (text.empty()) {
    utf8->clear();
    return true;
  }
  const int size = static_cast<int>(text.size());
  int wide_length = MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, text.data(), size, nullptr, 0);
  if (wide_length <= 0) return false;
  std::wstring wide(static_cast<std::size_t>(wide_length), L'\0');
  MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, text.data(), size, &wide[0], wide_length);
  int length = WideCharToMultiByte(CP_UTF8, 0, wide.data(), wide_length, nullptr, 0, nullptr, nullptr);
  if (length <= 0) return false;
  utf8->assign(static_cast<std::size_t>(length), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.data(), wide_length, &(*utf8)[0], length, nullptr, nullptr);
  return true;
}

}  // namespace tavrin::tools
