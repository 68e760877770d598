#include "simulation/model_files.h"

#include <cstring>

#include "platform/file_replace.h"
#include "simulation/matrix_line.h"
#include "simulation/xml_stream_access.h"

namespace tavrin::simulation {

static_assert(XmlStreamAccess::kScanLineLimit == kLineBufferSize - 1, "a scan takes the lines of a 512-character buffer");

namespace {

// The lines of a file as the model scans take them (model_files.h).
class ScanLines {
 public:
  explicit ScanLines(CLibXml& reader) : reader_(reader) {}

  // Reads the next line; false at the end of the file or when a read failed.
  bool Next() {
    const bool markup = XmlStreamAccess::NextLine(reader_, &data_, &length_, &info_, &tag_);
    if (length_ == 0) return false;
    if (!in_long_line_) ++number_;
    const bool ended = XmlStreamAccess::LastLineEnded(reader_);
    long_line_ = in_long_line_ || (!ended && length_ == XmlStreamAccess::kScanLineLimit);
    in_long_line_ = long_line_ && !ended;
    takes_ = markup && !long_line_;
    return true;
  }
  bool ReadFailed() const { return XmlStreamAccess::ReadFailed(reader_); }

  const char* data() const { return data_; }
  std::size_t length() const { return length_; }
  const CLibXmlinf& info() const { return info_; }
  ScanTag tag() const { return tag_; }
  long number() const { return number_; }
  // A line the scan follows: one with markup, no piece of a long line.
  bool takes() const { return takes_; }
  // A piece of a line longer than the scans' lines.
  bool long_line() const { return long_line_; }

 private:
  CLibXml& reader_;
  const char* data_ = nullptr;
  std::size_t length_ = 0;
  CLibXmlinf info_{};
  ScanTag tag_ = ScanTag::kOther;
  long number_ = 0;
  bool takes_ = false;
  bool long_line_ = false;
  bool in_long_line_ = false;
};

// Feeds the lines of `file` to a fresh scan and hands each line's role and
// record to `on_line`, until it returns false or the file ends.  False when
// the file cannot be opened.
template <typename OnLine>
bool ScanFile(const char* file, ModelKind kind, bool left, OnLine on_line) {
  CLibXml reader;
  if (reader.OpenXmlFileForRead(file) == 0) return false;
  ModelScan scan(kind, left);
  ScanLines lines(reader);
  while (lines.Next()) {
    if (lines.takes() && !on_line(scan.Feed(lines.tag(), lines.info().text), lines.info())) break;
  }
  return true;
}

// A matrix line of the model rebuilt with `value` into `line` (a buffer of
// kLineBufferSize); false when it holds a NUL byte (the text after it would
// be lost) or RewriteMatrixLine refuses it.
bool RebuildMatrixLine(const ScanLines& lines, short mode, double value, char* line) {
  if (std::memchr(lines.data(), '\0', lines.length()) != nullptr) return false;
  std::memcpy(line, lines.data(), lines.length());
  line[lines.length()] = '\0';
  return RewriteMatrixLine(line, &lines.info(), mode, value) == 0;
}

// Copies the source into the writer, rebuilding the model's matrix lines;
// *old_value gets the value (by mode) of each of them before it is rebuilt.
bool CopyWithNewMatrices(CLibXml& reader, CLibXml& writer, ModelKind kind, bool left, short mode, double value,
                         double* old_value) {
  ModelScan scan(kind, left);
  ScanLines lines(reader);
  char line[kLineBufferSize];
  while (lines.Next()) {
    if (lines.takes() && scan.Feed(lines.tag(), lines.info().text) == LineRole::kModelMatrix) {
      *old_value = MatrixValue(&lines.info(), mode);
      if (RebuildMatrixLine(lines, mode, value, line)) {
        if (!XmlStreamAccess::Write(writer, line, std::strlen(line))) return false;
        continue;
      }
    }
    if (!XmlStreamAccess::Write(writer, lines.data(), lines.length())) return false;
  }
  return !lines.ReadFailed();
}

}  // namespace

bool CountModelElements(const char* file, ModelKind kind, bool left, bool first_only, short* count) {
  return ScanFile(file, kind, left, [&](LineRole role, const CLibXmlinf&) {
    if (role != LineRole::kModelStart) return true;
    if (count != nullptr) ++*count;
    return !first_only;
  });
}

bool ReadModelMatrix(const char* file, ModelKind kind, bool left, short mode, double* value) {
  return ScanFile(file, kind, left, [&](LineRole role, const CLibXmlinf& info) {
    if (role == LineRole::kModelMatrix && value != nullptr) *value = MatrixValue(&info, mode);
    return true;
  });
}

bool WriteRewrittenFile(const char* source, const char* temporary, ModelKind kind, bool left, short mode,
                        double value, double* old_value, bool* opened) {
  double ignored = 0.0;
  *opened = false;
  CLibXml reader;
  if (reader.OpenXmlFileForRead(source) == 0) return false;
  CLibXml writer;
  if (XmlStreamAccess::OpenFresh(writer, temporary) == 0) return false;
  *opened = true;
  bool copied =
      CopyWithNewMatrices(reader, writer, kind, left, mode, value, old_value != nullptr ? old_value : &ignored);
  reader.CloseXmlFileForRead();
  return XmlStreamAccess::FinishWriting(writer) && copied;
}

bool RewriteModelFile(const char* source, const char* temporary, ModelKind kind, bool left, short mode, double value,
                      double* old_value) {
  bool opened = false;
  return WriteRewrittenFile(source, temporary, kind, left, mode, value, old_value, &opened) &&
         tavrin::platform::ReplaceWithTemporary(temporary, source);
}

bool CheckModelFile(const char* source, ModelKind kind, bool left, RewriteCheck* check) {
  CLibXml reader;
  if (reader.OpenXmlFileForRead(source) == 0) return false;
  *check = RewriteCheck{};
  auto problem = [check](long line, const char* what) {
    if (check->problem_line != 0) return;
    check->problem_line = line;
    check->problem = what;
  };
  ModelScan scan(kind, left);
  ScanLines lines(reader);
  char line[kLineBufferSize];
  long opened_at = 0;
  while (lines.Next()) {
    if (lines.long_line() && scan.InModel()) {
      problem(lines.number(), "a line longer than 511 characters inside the model's element is never rewritten");
    }
    if (!lines.takes()) continue;
    const LineRole role = scan.Feed(lines.tag(), lines.info().text);
    if (role == LineRole::kModelStart) opened_at = lines.number();
    if (lines.tag() == InfoOf(kind).close) opened_at = 0;
    if (role != LineRole::kModelMatrix) continue;
    ++check->matrix_lines;
    if (!scan.ModelIsInnermost()) {
      problem(lines.number(), "a matrix line of another element lies inside the model's element (is the model's "
                              "closing tag missing?)");
    } else if (RebuildMatrixLine(lines, 0, 0.0, line)) {
      ++check->rewritable;
    } else if (std::memchr(lines.data(), '\0', lines.length()) != nullptr) {
      problem(lines.number(), "a matrix line of the model holds a NUL byte and is never rewritten");
    } else {
      problem(lines.number(), "a matrix line of the model is not 16 numbers alone on its line, or too long "
                              "once rebuilt, and is never rewritten");
    }
  }
  if (lines.ReadFailed()) return false;
  if (opened_at != 0) problem(opened_at, "the model's element opened here is never closed");
  return true;
}

}  // namespace tavrin::simulation
