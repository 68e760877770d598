// Text read from the panel's files as UTF-8, for JSON.
//
// Programs on a Windows panel write their settings files in the panel's ANSI
// code page (Shift-JIS on a Japanese panel, cp1252 on a Western one), which
// JSON cannot carry as it is.  Utf8Text leaves valid UTF-8 alone; other text
// is converted from the panel's code page where it is known, and else each
// byte that is not UTF-8 is written as the six characters "\xNN" (hex), so
// that nothing is lost and the output stays valid.
//
// The code page is known on Windows (the system's ANSI code page) and,
// elsewhere, when TAVRIN_PANEL_CODE_PAGE names it: a Windows number (932,
// 1252, ...) or a name that iconv knows (SHIFT_JIS, CP1252, ...).
#ifndef TAVRIN_TOOLS_COMMON_UTF8_TEXT_H
#define TAVRIN_TOOLS_COMMON_UTF8_TEXT_H

#include <string>

namespace tavrin::tools {

bool IsUtf8(const std::string& text);

// `text` as UTF-8 (see above).
std::string Utf8Text(const std::string& text);

// The panel's text converted to UTF-8 by its code page; false when the code
// page is not known or the text is not valid in it.  One file per platform.
bool PanelTextToUtf8(const std::string& text, std::string* utf8);

}  // namespace tavrin::tools

#endif
