#include "simulation/model_files.h"

#include <cstring>

#include "platform/file_replace.h"
#include "simulation/matrix_line.h"
#include "simulation/xml_stream_access.h"

namespace tavrin::simulation {

static_assert(XmlStreamAccess::kScanLineLimit == kLineBufferSize - 1, "a scan takes the lines of a 512-character buffer");

namespace {

// Feeds the lines of `file` to a fresh scan and hands each line's role and
// record to `on_line`, until it returns false or the scan ends.  False when
// the file cannot be opened.
template <typename OnLine>
bool ScanFile(const char* file, ModelKind kind, bool left, OnLine on_line) {
  CLibXml reader;
  if (reader.OpenXmlFileForRead(file) == 0) return false;
  ModelScan scan(kind, left);
  const char* data = nullptr;
  std::size_t length = 0;
  CLibXmlinf info;
  ScanTag tag = ScanTag::kOther;
  while (XmlStreamAccess::NextLine(reader, &data, &length, &info, &tag)) {
    if (!on_line(scan.Feed(tag, info.text), info)) break;
  }
  return true;
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

namespace {

// Copies the source into the writer, rebuilding the model's matrix lines;
// *old_value gets the value (by mode) of each of them before it is rebuilt.
bool CopyWithNewMatrices(CLibXml& reader, CLibXml& writer, ModelKind kind, bool left, short mode, double value,
                         double* old_value) {
  ModelScan scan(kind, left);
  CLibXmlinf info;
  ScanTag tag = ScanTag::kOther;
  for (;;) {
    const char* data = nullptr;
    std::size_t length = 0;
    if (!XmlStreamAccess::NextLine(reader, &data, &length, &info, &tag)) {
      if (XmlStreamAccess::ReadFailed(reader)) return false;
      if (length == 0) return true;  // the end of the file
      // A line without markup ends the scan; it and all after it are copied
      // as they are.
      return XmlStreamAccess::Write(writer, data, length) && XmlStreamAccess::CopyRest(reader, writer);
    }
    // A line with a NUL byte is never rebuilt: the text after the NUL would be lost.
    const bool matrix = scan.Feed(tag, info.text) == LineRole::kModelMatrix;
    if (matrix) *old_value = MatrixValue(&info, mode);
    if (matrix && std::memchr(data, '\0', length) == nullptr) {
      char line[kLineBufferSize];
      std::memcpy(line, data, length);
      line[length] = '\0';
      if (RewriteMatrixLine(line, &info, mode, value) == 0) {
        if (!XmlStreamAccess::Write(writer, line, std::strlen(line))) return false;
        continue;
      }
    }
    if (!XmlStreamAccess::Write(writer, data, length)) return false;
  }
}

}  // namespace

bool RewriteModelFile(const char* source, const char* temporary, ModelKind kind, bool left, short mode, double value,
                      double* old_value) {
  double ignored = 0.0;
  bool copied;
  {
    CLibXml reader;
    if (reader.OpenXmlFileForRead(source) == 0) return false;
    CLibXml writer;
    if (writer.OpenXmlFileForWrite(temporary) == 0) return false;
    copied = CopyWithNewMatrices(reader, writer, kind, left, mode, value, old_value != nullptr ? old_value : &ignored);
    reader.CloseXmlFileForRead();
    copied = XmlStreamAccess::FinishWriting(writer) && copied;
  }
  return copied && tavrin::platform::ReplaceWithTemporary(temporary, source);
}

}  // namespace tavrin::simulation
