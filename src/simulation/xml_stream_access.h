// What the rewrite of the simulation's files needs of CLibXml beyond its
// public operations: the exact bytes of the last line read (NUL bytes
// included), the rest of a file copied as it is, and whether every read and
// write succeeded.
#ifndef TAVRIN_SIMULATION_XML_STREAM_ACCESS_H
#define TAVRIN_SIMULATION_XML_STREAM_ACCESS_H

#include <cstddef>

#include "simulation/scan_line.h"
#include "tavrin/simulation/xml.h"

namespace tavrin::simulation {

class XmlStreamAccess {
 public:
  // The longest line a scan takes at once: what GetNextLine gives into a
  // 512-character buffer.
  static constexpr std::size_t kScanLineLimit = 511;

  // GetNextLine into a 512-character buffer without the copy: *data points
  // to the line's bytes inside the reader (valid until its next read),
  // *length is their number (0 at the end of the file).  Returns what
  // GetNextLine would return (false also for a line without markup).  The
  // tag and text in `info` are those of GetNextLine for every line whose tag
  // is one of the model scans' tags; another line may come with an empty tag
  // and no other part (scan_line.h).  *which is the line's scan tag.
  static bool NextLine(CLibXml& reader, const char** data, std::size_t* length, CLibXmlinf* info, ScanTag* which);
  // Bytes of the line that the last GetNextLine read, even when it gave null
  // for a line without markup; 0 at the end of the file.
  static std::size_t LastLineLength(const CLibXml& xml) { return xml.last_length_; }
  // Writes `length` bytes verbatim to the writer.
  static bool Write(CLibXml& writer, const char* data, std::size_t length) { return writer.WriteBytes(data, length); }
  // Copies everything that `reader` has not yet handed out to `writer`.
  static bool CopyRest(CLibXml& reader, CLibXml& writer);
  // True when a read of `reader` failed (as opposed to reaching the end).
  static bool ReadFailed(const CLibXml& reader) { return reader.read_failed_; }
  // Closes the writer; false when any write, the flush or the close failed.
  static bool FinishWriting(CLibXml& writer) { return writer.FinishWriting(); }
};

}  // namespace tavrin::simulation

#endif
