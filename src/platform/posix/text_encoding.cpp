#include "platform/text_encoding.h"

namespace tavrin::platform {

// Terminals and desktops here show narrow text as UTF-8.
std::string PanelTextFromUtf8(const char* utf8) { return utf8 != nullptr ? utf8 : ""; }

}  // namespace tavrin::platform
