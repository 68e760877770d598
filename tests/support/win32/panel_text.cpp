#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include "support/panel_text.h"

#include <windows.h>

namespace tavrin::test {

std::string AsPanelText(const char* utf8) {
  wchar_t wide[512];
  char narrow[1024];
  if (MultiByteToWideChar(CP_UTF8, 0, utf8, -1, wide, 512) <= 0) return utf8;
  if (WideCharToMultiByte(CP_ACP, 0, wide, -1, narrow, sizeof narrow, nullptr, nullptr) <= 0) return utf8;
  return narrow;
}

}  // namespace tavrin::test
