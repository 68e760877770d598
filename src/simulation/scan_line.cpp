#include "simulation/scan_line.h"

#include <cstdint>
#include <cstring>

namespace tavrin::simulation {

namespace {

struct TagName {
  char name[16];
  std::size_t length;
  ScanTag tag;
};

// The scan tags by their first character.
constexpr TagName kL[] = {{"latheassembly", 13, ScanTag::kLathe}, {"linearassembly", 14, ScanTag::kLinear}};
constexpr TagName kClosing[] = {{"/latheassembly", 14, ScanTag::kLatheEnd},
                                {"/linearassembly", 15, ScanTag::kLinearEnd},
                                {"/stock", 6, ScanTag::kStockEnd},
                                {"/fixture", 8, ScanTag::kFixtureEnd}};
constexpr TagName kN[] = {{"name", 4, ScanTag::kName}};
constexpr TagName kS[] = {{"stock", 5, ScanTag::kStock}};
constexpr TagName kF[] = {{"fixture", 7, ScanTag::kFixture}};
constexpr TagName kM[] = {{"matrix", 6, ScanTag::kMatrix}};

template <std::size_t N>
const TagName* Names(const TagName (&list)[N], std::size_t* count) {
  *count = N;
  return list;
}

// The scan tags that begin with `first`.
const TagName* NamesFor(char first, std::size_t* count) {
  switch (first) {
    case 'l': return Names(kL, count);
    case '/': return Names(kClosing, count);
    case 'n': return Names(kN, count);
    case 's': return Names(kS, count);
    case 'f': return Names(kF, count);
    case 'm': return Names(kM, count);
    default: *count = 0; return nullptr;
  }
}

// True when the first and the last word of `n` characters (n at least the
// word's size) are the same in both.
template <typename Word>
bool EdgeWordsEqual(const char* a, const char* b, std::size_t n) {
  Word first_a, first_b, last_a, last_b;
  std::memcpy(&first_a, a, sizeof(Word));
  std::memcpy(&first_b, b, sizeof(Word));
  std::memcpy(&last_a, a + n - sizeof(Word), sizeof(Word));
  std::memcpy(&last_b, b + n - sizeof(Word), sizeof(Word));
  return first_a == first_b && last_a == last_b;
}

// True when `text` begins with the name (4 to 15 characters, and `text` has
// at least as many): two overlapping word compares instead of a loop.
bool StartsWith(const char* text, const TagName& name) {
  return name.length >= 8 ? EdgeWordsEqual<std::uint64_t>(text, name.name, name.length)
                          : EdgeWordsEqual<std::uint32_t>(text, name.name, name.length);
}

constexpr std::size_t kTextLimit = 254;

char empty_tag[1] = {'\0'};

}  // namespace

ScanTag ScanTagOf(const char* tag) {
  if (tag == nullptr) return ScanTag::kOther;
  std::size_t count = 0;
  const TagName* names = NamesFor(tag[0], &count);
  std::size_t length = std::strlen(tag);
  for (std::size_t i = 0; i < count; ++i) {
    if (length == names[i].length && StartsWith(tag, names[i])) return names[i].tag;
  }
  return ScanTag::kOther;
}

bool CutScanLine(const char* line, std::size_t length, char* tag_buffer, char* text_buffer, CLibXmlinf* info,
                 ScanTag* which) {
  const char* end = line + length;
  const char* open = line;
  while (open < end && (*open == ' ' || *open == '\t')) ++open;
  // The first '<' stands right after the indentation, and the tag after it.
  if (open + 1 >= end || *open != '<') return false;
  const char* tag = open + 1;

  std::size_t count = 0;
  const TagName* names = NamesFor(*tag, &count);
  const TagName* found = nullptr;
  for (std::size_t i = 0; i < count && found == nullptr; ++i) {
    if (static_cast<std::size_t>(end - tag) <= names[i].length) return false;
    if (!StartsWith(tag, names[i])) continue;
    char after = tag[names[i].length];
    // "<name=..." is a tag of a self-closing line: the full cut decides.
    if (after == '=') return false;
    if (after == '>') found = &names[i];
  }

  *info = CLibXmlinf{nullptr, nullptr, nullptr, nullptr, nullptr};
  if (found == nullptr) {
    // No scan tag can begin here (a tag always begins after the first '<'),
    // so only whether the line has a '>' matters; it usually ends with one.
    const char* last = end;
    while (last > tag && (last[-1] == '\n' || last[-1] == '\r')) --last;
    if (last == tag || (last[-1] != '>' && std::memchr(tag, '>', static_cast<std::size_t>(end - tag)) == nullptr)) {
      return false;
    }
    info->tag = empty_tag;
    *which = ScanTag::kOther;
    return true;
  }

  // The '>' after the tag is the line's first.  A "/>" anywhere after it
  // makes the line self-closing, with other rules: the full cut decides.
  const char* text = tag + found->length + 1;
  std::memcpy(tag_buffer, found->name, sizeof found->name);
  info->tag = tag_buffer;
  *which = found->tag;
  const char* last = end;
  while (last > text && (last[-1] == '\n' || last[-1] == '\r')) --last;
  if (last == text) return true;  // "<tag>" and the line end: no text
  const char* text_end = static_cast<const char*>(std::memchr(text, '<', static_cast<std::size_t>(end - text)));
  const char* after_text = text_end != nullptr ? text_end : end;
  if (std::memchr(text, '>', static_cast<std::size_t>(after_text - text)) != nullptr) return false;
  for (const char* at = after_text; at < end; ++at) {
    if (*at == '>' && at[-1] == '/') return false;
  }
  if (text_end != nullptr && static_cast<std::size_t>(text_end - text) <= kTextLimit) {
    std::size_t text_length = static_cast<std::size_t>(text_end - text);
    std::memcpy(text_buffer, text, text_length);
    text_buffer[text_length] = '\0';
    info->text = text_buffer;
  }
  return true;
}

}  // namespace tavrin::simulation
