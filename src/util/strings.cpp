// Replacing the first occurrence of a text in place.
#include "tavrin/util/strings.h"

#include <cstring>

extern "C" int TAVRIN_CALL lib_ReplaceStr(char* text, const char* search, const char* replacement) {
  if (text == nullptr || search == nullptr || replacement == nullptr || search[0] == '\0') return 0;
  char* found = std::strstr(text, search);
  if (found == nullptr) return 0;
  std::size_t search_length = std::strlen(search);
  std::size_t replacement_length = std::strlen(replacement);
  char* rest = found + search_length;
  // The rest, with its terminator, moves to where the replacement will end.
  std::memmove(found + replacement_length, rest, std::strlen(rest) + 1);
  std::memcpy(found, replacement, replacement_length);
  return 1;
}
