// GetNextLine with the matrix operations, the model scans' own line reader,
// and the rewrite pass, over arbitrary file contents.
//
// The first byte chooses the line buffer size (2 to 512, 0xFF for 512); the rest is the
// file.  Checked: every line handed out fits its buffer and is terminated;
// the scans' reader gives the same lines, results, scan tags and texts as
// GetNextLine into 512 characters (cut also at a lone carriage return); a rewrite that rebuilds nothing gives back
// the file byte for byte (nothing is ever lost); rewrites of every model with
// a new Z succeed.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include <sys/stat.h>
#include <unistd.h>

#include "platform/syscalls.h"
#include "simulation/matrix_line.h"
#include "simulation/model_files.h"
#include "simulation/xml_stream_access.h"
#include "tavrin/simulation/xml.h"

using tavrin::platform::AsSyscall;

namespace {

std::string Folder() {
  static std::string folder = [] {
    std::string base = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
    return base + "/tavrin-fuzz-" + std::to_string(getpid());
  }();
  return folder;
}

void WriteWhole(const std::string& path, const uint8_t* data, size_t size) {
  FILE* f = std::fopen(path.c_str(), "wb");
  if (f == nullptr) std::abort();
  if (size > 0 && std::fwrite(data, 1, size, f) != size) std::abort();
  std::fclose(f);
}

std::string ReadWhole(const std::string& path) {
  std::string text;
  FILE* f = std::fopen(path.c_str(), "rb");
  if (f == nullptr) return "(missing)";
  char block[4096];
  size_t got;
  while ((got = std::fread(block, 1, sizeof block, f)) > 0) text.append(block, got);
  std::fclose(f);
  return text;
}

int NoFlush(int) { return 0; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  // The files live in memory and are thrown away: flushing them to a disk
  // would only slow the search down.
  static bool ready = (mkdir(Folder().c_str(), 0700),
                       tavrin_set_syscall("fsync", AsSyscall(&NoFlush)), true);
  (void)ready;
  const short buffer_size = static_cast<short>(2 + (data[0] * 2) % 511);  // 0xFF: 512
  const std::string source = Folder() + "/m.ovp";
  const std::string temporary = Folder() + "/mTemp.ovp";
  WriteWhole(source, data + 1, size - 1);

  CLibXml reader;
  if (reader.OpenXmlFileForRead(source.c_str()) != 1) std::abort();
  char line[tavrin::simulation::kLineBufferSize];
  CLibXmlinf info;
  size_t total = 0;
  while (reader.GetNextLine(line, buffer_size, &info) != nullptr || line[0] != '\0') {
    size_t length = std::strlen(line);
    if (length > static_cast<size_t>(buffer_size - 1)) std::abort();
    total += length;
    if (total > size) std::abort();
    if (info.tag != nullptr && std::strlen(info.tag) > 126) std::abort();
    if (info.text != nullptr && std::strlen(info.text) > 254) std::abort();
    if (info.tag != nullptr && std::strcmp(info.tag, "matrix") == 0) {
      tavrin::simulation::MatrixValue(&info, 0);
      char copy[tavrin::simulation::kLineBufferSize];
      std::memcpy(copy, line, length + 1);
      if (tavrin::simulation::RewriteMatrixLine(copy, &info, 0, -12.5) == 0 &&
          std::strlen(copy) >= tavrin::simulation::kLineBufferSize) {
        std::abort();
      }
    }
    line[0] = '\0';
  }
  reader.CloseXmlFileForRead();

  // The scans' reader against GetNextLine, line by line.  It cuts lines
  // also after a carriage return without a line feed: where the file has
  // one, each of its lines is checked against GetNextLine's cut of the same
  // bytes instead.
  using tavrin::simulation::ScanTag;
  using tavrin::simulation::XmlStreamAccess;
  const uint8_t* body = data + 1;
  bool lone_return = false;
  for (size_t i = 0; i + 1 < size; ++i) {
    if (body[i] == '\r' && (i + 2 >= size || body[i + 1] != '\n')) lone_return = true;
  }
  CLibXml full, quick;
  if (full.OpenXmlFileForRead(source.c_str()) != 1 || quick.OpenXmlFileForRead(source.c_str()) != 1) std::abort();
  size_t covered = 0;
  for (;;) {
    CLibXmlinf full_info, quick_info;
    const char* data = nullptr;
    size_t length = 0;
    ScanTag tag = ScanTag::kOther;
    bool quick_got = XmlStreamAccess::NextLine(quick, &data, &length, &quick_info, &tag);
    if (length > XmlStreamAccess::kScanLineLimit || std::memcmp(data, body + covered, length) != 0) std::abort();
    covered += length;
    bool full_got;
    if (lone_return) {
      std::string copy(data, length);
      full_got = length > 0 && XmlStreamAccess::ParseWhole(full, copy.data(), copy.size(), &full_info);
    } else {
      full_got = full.GetNextLine(line, sizeof line, &full_info) != nullptr;
      if (length != XmlStreamAccess::LastLineLength(full) || std::memcmp(data, line, length) != 0) std::abort();
    }
    if (length == 0) break;
    if (full_got != quick_got) std::abort();
    if (!full_got) continue;
    if (tag != tavrin::simulation::ScanTagOf(full_info.tag)) std::abort();
    if (tag == ScanTag::kOther) continue;
    if ((full_info.text == nullptr) != (quick_info.text == nullptr)) std::abort();
    if (full_info.text != nullptr && std::strcmp(full_info.text, quick_info.text) != 0) std::abort();
  }
  if (covered != size - 1) std::abort();

  // Mode 1 rebuilds nothing: the file must come back unchanged.
  using tavrin::simulation::ModelKind;
  const std::string original(reinterpret_cast<const char*>(data + 1), size - 1);
  if (!tavrin::simulation::RewriteModelFile(source.c_str(), temporary.c_str(), ModelKind::kWork, data[0] & 1, 1, 0.0)) {
    std::abort();
  }
  if (ReadWhole(source) != original) std::abort();

  // Mode 0 rebuilds the model's matrix lines; each model in turn.
  for (ModelKind kind : {ModelKind::kChuck, ModelKind::kJaw, ModelKind::kWork}) {
    // The pass reads the old Z as a scan of the file would.
    double scanned = 0.0, old = 0.0;
    tavrin::simulation::ReadModelMatrix(source.c_str(), kind, data[0] & 2, 0, &scanned);
    if (!tavrin::simulation::RewriteModelFile(source.c_str(), temporary.c_str(), kind, data[0] & 2, 0, 7.0, &old)) {
      std::abort();
    }
    if (std::memcmp(&scanned, &old, sizeof old) != 0) std::abort();
  }
  double z = 0.0;
  tavrin::simulation::ReadModelMatrix(source.c_str(), ModelKind::kChuck, data[0] & 2, 0, &z);
  // The check before a move counts no more rebuildable lines than there are.
  tavrin::simulation::RewriteCheck check;
  if (!tavrin::simulation::CheckModelFile(source.c_str(), ModelKind::kJaw, data[0] & 4, &check)) std::abort();
  if (check.rewritable > check.matrix_lines) std::abort();
  return 0;
}
