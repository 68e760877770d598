#include "tavrin/simulation/xml.h"

#include <cstring>
#include <new>

#include "platform/text_file.h"
#include "simulation/scan_line.h"
#include "simulation/xml_stream_access.h"

namespace {

constexpr std::size_t kShortPartLimit = 126;  // tag, attr2Name
constexpr std::size_t kLongPartLimit = 254;   // text, attr1Value, attr2Value

// Copies [begin, end) into `buffer` when the part is well formed and within
// `limit`; the field then points to the buffer, otherwise it stays null.
void TakePart(const char* begin, const char* end, char* buffer, std::size_t limit, char** field) {
  if (begin == nullptr || end == nullptr || end < begin) return;
  std::size_t length = static_cast<std::size_t>(end - begin);
  if (length > limit) return;
  // Tags are mostly a few characters: a plain loop copies them faster than
  // a call.
  if (length <= 16) {
    for (std::size_t i = 0; i < length; ++i) buffer[i] = begin[i];
  } else {
    std::memcpy(buffer, begin, length);
  }
  buffer[length] = '\0';
  *field = buffer;
}

// The first `c` in [from, end); null when there is none or `from` is null.
const char* Find(const char* from, const char* end, char c) {
  if (from == nullptr || from >= end) return nullptr;
  return static_cast<const char*>(std::memchr(from, c, static_cast<std::size_t>(end - from)));
}

// True when the line holds "/>" anywhere; `first_close` is its first '>'.
bool HasSelfClose(const char* line, const char* first_close, const char* end) {
  for (const char* close = first_close; close != nullptr; close = Find(close + 1, end, '>')) {
    if (close > line && close[-1] == '/') return true;
  }
  return false;
}

}  // namespace

CLibXml::CLibXml()
    : read_stream_(nullptr),
      write_stream_(nullptr),
      read_open_(0),
      write_open_(0),
      read_pos_(0),
      read_end_(0),
      last_length_(0),
      last_ends_line_(false),
      read_failed_(false),
      block_has_nul_(false),
      write_fill_(0),
      write_failed_(false),
      read_block_(nullptr),
      write_block_(nullptr) {
  tag_[0] = '\0';
  attr2_name_[0] = '\0';
  text_[0] = '\0';
  attr1_value_[0] = '\0';
  attr2_value_[0] = '\0';
}

CLibXml::CLibXml(const CLibXml& other) : CLibXml() { CopyParts(other); }

CLibXml& CLibXml::operator=(const CLibXml& other) {
  if (this != &other) CopyParts(other);
  return *this;
}

// The streams stay with the object that opened them (see the header).
void CLibXml::CopyParts(const CLibXml& other) {
  std::memcpy(tag_, other.tag_, sizeof tag_);
  std::memcpy(attr2_name_, other.attr2_name_, sizeof attr2_name_);
  std::memcpy(text_, other.text_, sizeof text_);
  std::memcpy(attr1_value_, other.attr1_value_, sizeof attr1_value_);
  std::memcpy(attr2_value_, other.attr2_value_, sizeof attr2_value_);
}

CLibXml::~CLibXml() {
  CloseXmlFileForRead();
  CloseXmlFileForWrite();
}

int CLibXml::OpenXmlFileForRead(const char* file_name) {
  CloseXmlFileForRead();
  if (file_name == nullptr) return 0;
  read_block_ = new (std::nothrow) char[kBlockSize];
  if (read_block_ != nullptr) {
    read_stream_ = tavrin::platform::OpenTextFile(file_name, tavrin::platform::TextFileMode::kRead);
  }
  if (read_stream_ == nullptr) CloseXmlFileForRead();
  read_open_ = read_stream_ != nullptr ? 1 : 0;
  return read_open_;
}

int CLibXml::OpenXmlFileForWrite(const char* file_name) {
  return OpenForWrite(file_name, false);
}

int CLibXml::OpenForWrite(const char* file_name, bool fresh) {
  using tavrin::platform::TextFileMode;
  CloseXmlFileForWrite();
  if (file_name == nullptr) return 0;
  write_block_ = new (std::nothrow) char[kBlockSize];
  if (write_block_ != nullptr) {
    write_stream_ = tavrin::platform::OpenTextFile(file_name, fresh ? TextFileMode::kCreateFresh : TextFileMode::kWrite);
  }
  if (write_stream_ == nullptr) CloseXmlFileForWrite();
  write_open_ = write_stream_ != nullptr ? 1 : 0;
  return write_open_;
}

void CLibXml::CloseXmlFileForRead() {
  if (read_stream_ != nullptr) std::fclose(read_stream_);
  read_stream_ = nullptr;
  delete[] read_block_;
  read_block_ = nullptr;
  read_open_ = 0;
  read_pos_ = read_end_ = last_length_ = 0;
  read_failed_ = false;
  block_has_nul_ = false;
}

void CLibXml::CloseXmlFileForWrite() { FinishWriting(); }

bool CLibXml::FinishWriting() {
  bool ok = true;
  if (write_stream_ != nullptr) {
    ok = FlushWrites() && !write_failed_;
    if (std::fclose(write_stream_) != 0) ok = false;
  }
  write_stream_ = nullptr;
  delete[] write_block_;
  write_block_ = nullptr;
  write_open_ = 0;
  write_fill_ = 0;
  write_failed_ = false;
  return ok;
}

// The next line as fgets would take it (at most `max` characters, up to and
// including a line feed), left in the read-ahead block: a piece that runs
// past the block's end is first moved to the block's front and the block
// filled up behind it, so that every piece lies whole in the block.
std::size_t CLibXml::NextPiece(std::size_t max, const char** data) {
  std::size_t available = read_end_ - read_pos_;
  const char* start = read_block_ + read_pos_;
  const char* feed = static_cast<const char*>(std::memchr(start, '\n', available < max ? available : max));
  if (feed == nullptr && available < max && read_stream_ != nullptr) {
    std::memmove(read_block_, start, available);
    std::size_t got = std::fread(read_block_ + available, 1, kBlockSize - available, read_stream_);
    if (got == 0 && std::ferror(read_stream_)) read_failed_ = true;
    read_pos_ = 0;
    read_end_ = available + got;
    block_has_nul_ = std::memchr(read_block_, '\0', read_end_) != nullptr;
    start = read_block_;
    available = read_end_;
    feed = static_cast<const char*>(std::memchr(start, '\n', available < max ? available : max));
  }
  std::size_t take = feed != nullptr ? static_cast<std::size_t>(feed - start) + 1 : (available < max ? available : max);
  read_pos_ += take;
  *data = start;
  return take;
}

char* CLibXml::GetNextLine(char* line, short size, CLibXmlinf* info) {
  if (read_open_ == 0) return nullptr;
  if (line == nullptr || info == nullptr || size < 2) return nullptr;
  const char* data = nullptr;
  last_length_ = NextPiece(static_cast<std::size_t>(size) - 1, &data);
  std::memcpy(line, data, last_length_);
  line[last_length_] = '\0';
  if (last_length_ == 0 || read_failed_) {
    *info = CLibXmlinf{nullptr, nullptr, nullptr, nullptr, nullptr};
    return nullptr;
  }
  // The parts are found in the line as a C string: up to its first NUL.
  std::size_t text_length = block_has_nul_ ? std::strlen(line) : last_length_;
  return ParseLine(line, text_length, info) ? line : nullptr;
}

bool CLibXml::ParseLine(const char* line, std::size_t length, CLibXmlinf* info) {
  *info = CLibXmlinf{nullptr, nullptr, nullptr, nullptr, nullptr};
  const char* end = line + length;
  // Lines mostly begin with their indentation and the '<'.
  const char* first_open = line;
  while (first_open < end && (*first_open == ' ' || *first_open == '\t')) ++first_open;
  if (first_open == end || *first_open != '<') first_open = Find(first_open, end, '<');
  const char* first_close = Find(line, end, '>');
  if (first_open == nullptr || first_close == nullptr) return false;
  // The tag runs to the first '>' after the '<': usually the line's first.
  const char* tag_end = first_close > first_open ? first_close : Find(first_open + 1, end, '>');

  if (HasSelfClose(line, first_close, end)) {
    const char* equals = Find(line, end, '=');
    if (equals == nullptr) {
      TakePart(first_open + 1, tag_end, tag_, kShortPartLimit, &info->tag);
      return true;
    }
    TakePart(first_open + 1, equals, tag_, kShortPartLimit, &info->tag);
    const char* quote1 = Find(line, end, '"');
    const char* quote2 = quote1 != nullptr ? Find(quote1 + 1, end, '"') : nullptr;
    if (quote2 == nullptr) return true;
    TakePart(quote1 + 1, quote2, attr1_value_, kLongPartLimit, &info->attr1Value);
    const char* equals2 = Find(equals + 1, end, '=');
    if (equals2 == nullptr) return true;
    // The name starts two characters after the second quote (past the blank
    // that separates the attributes); check that both exist before going there.
    if (quote2 + 2 < end) TakePart(quote2 + 2, equals2, attr2_name_, kShortPartLimit, &info->attr2Name);
    const char* quote3 = Find(equals2 + 1, end, '"');
    const char* quote4 = quote3 != nullptr ? Find(quote3 + 1, end, '"') : nullptr;
    if (quote4 != nullptr) TakePart(quote3 + 1, quote4, attr2_value_, kLongPartLimit, &info->attr2Value);
    return true;
  }

  TakePart(first_open + 1, tag_end, tag_, kShortPartLimit, &info->tag);
  TakePart(first_close + 1, Find(first_close + 1, end, '<'), text_, kLongPartLimit, &info->text);
  return true;
}

bool CLibXml::FlushWrites() {
  if (write_fill_ > 0) {
    if (std::fwrite(write_block_, 1, write_fill_, write_stream_) != write_fill_) write_failed_ = true;
    write_fill_ = 0;
  }
  return !write_failed_;
}

bool CLibXml::WriteBytes(const char* data, std::size_t length) {
  if (write_open_ == 0 || write_failed_) return false;
  if (length > kBlockSize - write_fill_) {
    if (!FlushWrites()) return false;
    if (length >= kBlockSize) {
      if (std::fwrite(data, 1, length, write_stream_) != length) write_failed_ = true;
      return !write_failed_;
    }
  }
  std::memcpy(write_block_ + write_fill_, data, length);
  write_fill_ += length;
  return true;
}

int CLibXml::SetStr(const char* text) {
  if (write_open_ == 0 || text == nullptr) return 0;
  std::size_t length = std::strlen(text);
  return WriteBytes(text, length) ? static_cast<int>(length) : 0;
}

void CLibXml::StrIndent(char* target, const char* line) {
  if (target == nullptr) return;
  std::size_t length = 0;
  if (line != nullptr) {
    while (line[length] == ' ' || line[length] == '\t') ++length;
    std::memcpy(target, line, length);
  }
  target[length] = '\0';
}

// A carriage return not followed by a line feed ends a line too (files
// written with CR-only line ends): the piece is cut after the first such one
// and the rest stays in the block for the next read.  *ends_line tells
// whether the piece ends with a line end; for a CR that is the piece's last
// byte the next byte decides, seen in the block or else by peeking at the
// stream.
std::size_t CLibXml::CutAtLoneReturn(const char* data, std::size_t length, bool* ends_line) {
  const char* end = data + length;
  *ends_line = end[-1] == '\n';
  for (const char* cr = static_cast<const char*>(std::memchr(data, '\r', length)); cr != nullptr;
       cr = static_cast<const char*>(std::memchr(cr + 1, '\r', static_cast<std::size_t>(end - cr - 1)))) {
    if (cr + 1 < end) {
      if (cr[1] == '\n') return length;  // the CR LF that ends the piece
      std::size_t keep = static_cast<std::size_t>(cr + 1 - data);
      read_pos_ -= length - keep;
      *ends_line = true;
      return keep;
    }
    int next = EOF;
    if (read_pos_ < read_end_) {
      next = static_cast<unsigned char>(read_block_[read_pos_]);
    } else if (read_stream_ != nullptr) {
      next = std::fgetc(read_stream_);
      if (next != EOF) std::ungetc(next, read_stream_);
    }
    *ends_line = next != '\n';
    return length;
  }
  return length;
}

namespace tavrin::simulation {

bool XmlStreamAccess::NextLine(CLibXml& reader, const char** data, std::size_t* length, CLibXmlinf* info,
                               ScanTag* which) {
  *length = reader.read_open_ != 0 ? reader.NextPiece(kScanLineLimit, data) : 0;
  reader.last_ends_line_ = false;
  if (*length > 0) *length = reader.CutAtLoneReturn(*data, *length, &reader.last_ends_line_);
  reader.last_length_ = *length;
  if (*length == 0 || reader.read_failed_) {
    *info = CLibXmlinf{nullptr, nullptr, nullptr, nullptr, nullptr};
    return false;
  }
  if (!reader.block_has_nul_ &&
      CutScanLine(*data, *length, reader.tag_, reader.text_, info, which)) {
    return true;
  }
  bool got = ParseWhole(reader, *data, *length, info);
  *which = ScanTagOf(info->tag);
  return got;
}

bool XmlStreamAccess::ParseWhole(CLibXml& reader, const char* line, std::size_t length, CLibXmlinf* info) {
  const char* nul = static_cast<const char*>(std::memchr(line, '\0', length));
  return reader.ParseLine(line, nul != nullptr ? static_cast<std::size_t>(nul - line) : length, info);
}

}  // namespace tavrin::simulation
