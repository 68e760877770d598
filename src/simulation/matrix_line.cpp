#include "simulation/matrix_line.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace tavrin::simulation {

bool ReadMatrixNumbers(const CLibXmlinf* info, double numbers[kMatrixNumbers]) {
  if (info == nullptr || info->text == nullptr) return false;
  const char* cursor = info->text;
  for (int i = 0; i < kMatrixNumbers; ++i) {
    std::size_t length = std::strcspn(cursor, ",\n");
    if (length > kMatrixNumberLimit) return false;
    char field[kMatrixNumberLimit + 1];
    std::memcpy(field, cursor, length);
    field[length] = '\0';
    numbers[i] = std::atof(field);
    cursor += length;
    bool last = i == kMatrixNumbers - 1;
    if (*cursor == '\0') return last;  // the text ended: exactly 16 only at the last
    if (last) return false;            // a 17th field follows
    ++cursor;                          // skip the comma or line feed
  }
  return false;
}

double MatrixValue(const CLibXmlinf* info, short mode) {
  double numbers[kMatrixNumbers];
  if (!ReadMatrixNumbers(info, numbers)) return 0.0;
  return mode == 0 ? numbers[kMatrixZIndex] : 0.0;
}

short RewriteMatrixLine(char* line, const CLibXmlinf* info, short mode, double value) {
  double n[kMatrixNumbers];
  if (line == nullptr || !ReadMatrixNumbers(info, n) || mode != 0) return -1;
  n[kMatrixZIndex] = value;

  const char* terminator = static_cast<const char*>(std::memchr(line, '\0', kLineBufferSize));
  if (terminator == nullptr) return -1;
  std::size_t old_length = static_cast<std::size_t>(terminator - line);
  const char* line_end = "";
  if (old_length >= 2 && line[old_length - 2] == '\r' && line[old_length - 1] == '\n') {
    line_end = "\r\n";
  } else if (old_length >= 1 && line[old_length - 1] == '\n') {
    line_end = "\n";
  } else if (old_length >= 1 && line[old_length - 1] == '\r') {
    line_end = "\r";
  }

  char rebuilt[kLineBufferSize];
  // The old line's indentation, as StrIndent takes it.  Only a line that is
  // nothing but indentation, the element and its line end is rebuilt: any
  // other text on it would be lost.
  std::size_t indent = std::strspn(line, " \t");
  static const char kOpen[] = "<matrix>";
  static const char kClose[] = "</matrix>";
  const std::size_t text_length = std::strlen(info->text);
  const std::size_t body_length = old_length - std::strlen(line_end);
  if (body_length != indent + (sizeof kOpen - 1) + text_length + (sizeof kClose - 1) ||
      std::strncmp(line + indent, kOpen, sizeof kOpen - 1) != 0 ||
      std::strncmp(line + body_length - (sizeof kClose - 1), kClose, sizeof kClose - 1) != 0) {
    return -1;
  }
  if (indent >= sizeof rebuilt) return -1;
  std::memcpy(rebuilt, line, indent);
  int written = std::snprintf(rebuilt + indent, sizeof rebuilt - indent,
                              "<matrix>%.15g,%.15g,%.15g,%.15g,%.15g,%.15g,%.15g,%.15g,%.15g,%.15g,%.15g,%.15g,"
                              "%.15g,%.15g,%.15g,%.15g</matrix>%s",
                              n[0], n[1], n[2], n[3], n[4], n[5], n[6], n[7], n[8], n[9], n[10], n[11], n[12], n[13],
                              n[14], n[15], line_end);
  if (written < 0 || static_cast<std::size_t>(written) >= sizeof rebuilt - indent) return -1;
  std::memcpy(line, rebuilt, indent + static_cast<std::size_t>(written) + 1);
  return 0;
}

}  // namespace tavrin::simulation
