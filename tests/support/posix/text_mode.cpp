#include "support/text_mode.h"

namespace tavrin::test {

std::string AsReadInTextMode(const std::string& bytes) { return bytes; }
std::string AsWrittenInTextMode(const std::string& text) { return text; }

}  // namespace tavrin::test
