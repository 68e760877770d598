#include "support/panel_text.h"

namespace tavrin::test {

std::string AsPanelText(const char* utf8) { return utf8; }

}  // namespace tavrin::test
