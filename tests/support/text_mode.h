// What text mode does to line ends on this platform: nothing on Linux; on
// Windows a CR LF reads as LF and every LF written becomes CR LF.
#ifndef TAVRIN_TESTS_SUPPORT_TEXT_MODE_H
#define TAVRIN_TESTS_SUPPORT_TEXT_MODE_H

#include <string>

namespace tavrin::test {

std::string AsReadInTextMode(const std::string& bytes);
std::string AsWrittenInTextMode(const std::string& text);

}  // namespace tavrin::test

#endif
