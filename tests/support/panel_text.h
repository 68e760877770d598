// The library's own messages reach the message seam in the code page the
// system shows narrow text in: UTF-8 here, the ANSI code page on Windows.
#ifndef TAVRIN_TESTS_SUPPORT_PANEL_TEXT_H
#define TAVRIN_TESTS_SUPPORT_PANEL_TEXT_H

#include <string>

namespace tavrin::test {

// The UTF-8 text as a message handler on this system receives it.
std::string AsPanelText(const char* utf8);

}  // namespace tavrin::test

#endif
