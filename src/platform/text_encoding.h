// Text for the operator: the library's own messages are written in UTF-8 and
// handed to the message seam in the panel's narrow code page.
#ifndef TAVRIN_PLATFORM_TEXT_ENCODING_H
#define TAVRIN_PLATFORM_TEXT_ENCODING_H

#include <string>

namespace tavrin::platform {

// The UTF-8 text in the code page that narrow text is shown in on this
// system.  On Windows that is the panel's ANSI code page (Shift-JIS on a
// Japanese panel); characters it lacks become the code page's default
// character.  Elsewhere narrow text is UTF-8 and comes back unchanged.  A
// text that cannot be converted comes back unchanged too.
std::string PanelTextFromUtf8(const char* utf8);

}  // namespace tavrin::platform

#endif
