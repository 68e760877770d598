#include <errno.h>
#include <iconv.h>

#include <cstdlib>
#include <string>

#include "utf8_text.h"

namespace tavrin::tools {

// A Windows code page number becomes iconv's name for it ("CP932").
bool PanelTextToUtf8(const std::string& text, std::string* utf8) {
  const char* setting = std::getenv("TAVRIN_PANEL_CODE_PAGE");
  if (setting == nullptr || *setting == '\0') return false;
  std::string code_page = setting;
  if (code_page.find_first_not_of("0123456789") == std::string::npos) code_page = "CP" + code_page;
  iconv_t converter = iconv_open("UTF-8", code_page.c_str());
  if (converter == reinterpret_cast<iconv_t>(-1)) return false;
  std::string input = text;
  std::string output(text.size() * 4 + 4, '\0');
  char* in = &input[0];
  std::size_t in_left = input.size();
  char* out = &output[0];
  std::size_t out_left = output.size();
  const bool done = iconv(converter, &in, &in_left, &out, &out_left) != static_cast<std::size_t>(-1) && in_left == 0;
  iconv_close(converter);
  if (!done) return false;
  output.resize(output.size() - out_left);
  *utf8 = output;
  return true;
}

}  // namespace tavrin::tools
