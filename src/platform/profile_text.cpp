#include "platform/profile_text.h"

#include <cstring>

namespace tavrin::platform {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// A piece of the file: [begin, end).
struct Span {
  const char* begin;
  const char* end;
};

Span Trim(Span s) {
  while (s.begin < s.end && IsBlank(*s.begin)) ++s.begin;
  while (s.end > s.begin && IsBlank(s.end[-1])) --s.end;
  return s;
}

// Compares a piece of the file with a name, ignoring the case of ASCII
// letters; the name is trimmed of blanks first, as Windows does.
bool SameName(Span piece, const char* name) {
  std::size_t name_length = std::strlen(name);
  Span wanted = Trim(Span{name, name + name_length});
  std::size_t length = static_cast<std::size_t>(piece.end - piece.begin);
  if (length != static_cast<std::size_t>(wanted.end - wanted.begin)) return false;
  for (std::size_t i = 0; i < length; ++i) {
    if (Lower(piece.begin[i]) != Lower(wanted.begin[i])) return false;
  }
  return true;
}

std::size_t CopyBounded(Span value, char* buffer, std::size_t size) {
  if (buffer == nullptr || size == 0) return 0;
  std::size_t length = static_cast<std::size_t>(value.end - value.begin);
  if (length > size - 1) length = size - 1;
  std::memcpy(buffer, value.begin, length);
  buffer[length] = '\0';
  return length;
}

}  // namespace

std::size_t CopyProfileDefault(const char* text, char* buffer, std::size_t size) {
  if (text == nullptr) text = "";
  Span value{text, text + std::strlen(text)};
  while (value.end > value.begin && IsBlank(value.end[-1])) --value.end;
  return CopyBounded(value, buffer, size);
}

bool FindProfileValue(const char* data, std::size_t length, const char* section, const char* key, char* buffer,
                      std::size_t size, std::size_t* copied) {
  if (data == nullptr || section == nullptr || key == nullptr) return false;
  const char* cursor = data;
  const char* const end = data + length;
  if (length >= 3 && std::memcmp(data, "\xEF\xBB\xBF", 3) == 0) cursor += 3;

  bool seen_section = false;  // the first section of the name has begun
  while (cursor < end) {
    const char* line_end = static_cast<const char*>(std::memchr(cursor, '\n', static_cast<std::size_t>(end - cursor)));
    if (line_end == nullptr) line_end = end;
    Span line{cursor, line_end};
    cursor = line_end < end ? line_end + 1 : end;
    if (line.end > line.begin && line.end[-1] == '\r') --line.end;
    line = Trim(line);
    if (line.begin == line.end || *line.begin == ';') continue;

    if (*line.begin == '[') {
      // A section line: the name runs to the last ']' (or the line's end).
      if (seen_section) return false;  // only the first section of the name counts
      Span name{line.begin + 1, line.end};
      const char* close = name.end;
      while (close > name.begin && close[-1] != ']') --close;
      if (close > name.begin) name.end = close - 1;
      if (SameName(Trim(name), section)) seen_section = true;
      continue;
    }
    if (!seen_section) continue;
    const char* equals = static_cast<const char*>(std::memchr(line.begin, '=', static_cast<std::size_t>(line.end - line.begin)));
    if (equals == nullptr) continue;
    if (!SameName(Trim(Span{line.begin, equals}), key)) continue;

    Span value = Trim(Span{equals + 1, line.end});
    std::size_t value_length = static_cast<std::size_t>(value.end - value.begin);
    if (value_length >= 2 && (*value.begin == '"' || *value.begin == '\'') && value.end[-1] == *value.begin) {
      ++value.begin;
      --value.end;
    }
    std::size_t count = CopyBounded(value, buffer, size);
    if (copied != nullptr) *copied = count;
    return true;
  }
  return false;
}

}  // namespace tavrin::platform
