#include "tavrin/simulation/xml.h"

#include <cstring>

#include "platform/text_file.h"
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
  std::memcpy(buffer, begin, length);
  buffer[length] = '\0';
  *field = buffer;
}

const char* After(const char* from, char c) { return from == nullptr ? nullptr : std::strchr(from, c); }

}  // namespace

CLibXml::CLibXml()
    : read_stream_(nullptr),
      write_stream_(nullptr),
      read_open_(0),
      write_open_(0),
      read_pos_(0),
      read_end_(0),
      last_length_(0),
      read_failed_(false),
      write_fill_(0),
      write_failed_(false) {
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
  read_stream_ = file_name != nullptr ? tavrin::platform::OpenTextFile(file_name, tavrin::platform::TextFileMode::kRead)
                                      : nullptr;
  read_open_ = read_stream_ != nullptr ? 1 : 0;
  return read_open_;
}

int CLibXml::OpenXmlFileForWrite(const char* file_name) {
  CloseXmlFileForWrite();
  write_stream_ = file_name != nullptr
                      ? tavrin::platform::OpenTextFile(file_name, tavrin::platform::TextFileMode::kWrite)
                      : nullptr;
  write_open_ = write_stream_ != nullptr ? 1 : 0;
  return write_open_;
}

void CLibXml::CloseXmlFileForRead() {
  if (read_stream_ != nullptr) std::fclose(read_stream_);
  read_stream_ = nullptr;
  read_open_ = 0;
  read_pos_ = read_end_ = last_length_ = 0;
  read_failed_ = false;
}

void CLibXml::CloseXmlFileForWrite() { FinishWriting(); }

bool CLibXml::FinishWriting() {
  bool ok = true;
  if (write_stream_ != nullptr) {
    ok = FlushWrites() && !write_failed_;
    if (std::fclose(write_stream_) != 0) ok = false;
  }
  write_stream_ = nullptr;
  write_open_ = 0;
  write_fill_ = 0;
  write_failed_ = false;
  return ok;
}

bool CLibXml::Refill() {
  read_pos_ = 0;
  read_end_ = std::fread(read_block_, 1, kBlockSize, read_stream_);
  if (read_end_ == 0 && std::ferror(read_stream_)) read_failed_ = true;
  return read_end_ > 0;
}

// Takes the next line out of the read-ahead block, as fgets would: at most
// `max` characters, up to and including a line feed.
std::size_t CLibXml::ReadLine(char* line, std::size_t max) {
  std::size_t copied = 0;
  while (copied < max) {
    if (read_pos_ == read_end_ && !Refill()) break;
    std::size_t want = read_end_ - read_pos_;
    if (want > max - copied) want = max - copied;
    const char* start = read_block_ + read_pos_;
    const char* feed = static_cast<const char*>(std::memchr(start, '\n', want));
    std::size_t take = feed != nullptr ? static_cast<std::size_t>(feed - start) + 1 : want;
    std::memcpy(line + copied, start, take);
    copied += take;
    read_pos_ += take;
    if (feed != nullptr) break;
  }
  line[copied] = '\0';
  return copied;
}

char* CLibXml::GetNextLine(char* line, short size, CLibXmlinf* info) {
  if (read_open_ == 0) return nullptr;
  if (line == nullptr || info == nullptr || size < 2) return nullptr;
  *info = CLibXmlinf{nullptr, nullptr, nullptr, nullptr, nullptr};

  last_length_ = ReadLine(line, static_cast<std::size_t>(size) - 1);
  if (last_length_ == 0 || read_failed_) return nullptr;

  const char* first_open = std::strchr(line, '<');
  const char* first_close = std::strchr(line, '>');
  if (first_open == nullptr || first_close == nullptr) return nullptr;

  if (std::strstr(line, "/>") != nullptr) {
    const char* equals = std::strchr(line, '=');
    if (equals == nullptr) {
      TakePart(first_open + 1, After(first_open + 1, '>'), tag_, kShortPartLimit, &info->tag);
      return line;
    }
    TakePart(first_open + 1, equals, tag_, kShortPartLimit, &info->tag);
    const char* quote1 = std::strchr(line, '"');
    const char* quote2 = After(quote1 != nullptr ? quote1 + 1 : nullptr, '"');
    if (quote2 == nullptr) return line;
    TakePart(quote1 + 1, quote2, attr1_value_, kLongPartLimit, &info->attr1Value);
    const char* equals2 = std::strchr(equals + 1, '=');
    if (equals2 == nullptr) return line;
    // The name starts two characters after the second quote (past the blank
    // that separates the attributes); check that both exist before going there.
    if (quote2[1] != '\0' && quote2[2] != '\0') {
      TakePart(quote2 + 2, equals2, attr2_name_, kShortPartLimit, &info->attr2Name);
    }
    const char* quote3 = std::strchr(equals2 + 1, '"');
    const char* quote4 = After(quote3 != nullptr ? quote3 + 1 : nullptr, '"');
    if (quote4 != nullptr) TakePart(quote3 + 1, quote4, attr2_value_, kLongPartLimit, &info->attr2Value);
    return line;
  }

  TakePart(first_open + 1, After(first_open + 1, '>'), tag_, kShortPartLimit, &info->tag);
  TakePart(first_close + 1, After(first_close + 1, '<'), text_, kLongPartLimit, &info->text);
  return line;
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

namespace tavrin::simulation {

bool XmlStreamAccess::CopyRest(CLibXml& reader, CLibXml& writer) {
  if (reader.read_open_ == 0) return true;
  for (;;) {
    if (reader.read_pos_ < reader.read_end_) {
      if (!writer.WriteBytes(reader.read_block_ + reader.read_pos_, reader.read_end_ - reader.read_pos_)) return false;
      reader.read_pos_ = reader.read_end_;
    }
    if (!reader.Refill()) return !reader.read_failed_;
  }
}

}  // namespace tavrin::simulation
