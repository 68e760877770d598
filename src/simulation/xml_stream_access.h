// What the model scans and the rewrite of the simulation's files need of
// CLibXml beyond its public operations: lines cut also at a lone carriage
// return, the exact bytes of the last line read (NUL bytes included), a
// temporary file created afresh, and whether every read and write succeeded.
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

  // The model scans' next line, without a copy: the line as GetNextLine
  // reads it into a 512-character buffer, except that a carriage return not
  // followed by a line feed ends a line too.  *data points to the line's
  // bytes inside the reader (valid until its next read), *length is their
  // number (0 at the end of the file).  Returns what GetNextLine would
  // return for these bytes (false also for a line without markup).  The tag
  // and text in `info` are those of GetNextLine for every line whose tag is
  // one of the model scans' tags; another line may come with an empty tag
  // and no other part (scan_line.h).  *which is the line's scan tag.
  static bool NextLine(CLibXml& reader, const char** data, std::size_t* length, CLibXmlinf* info, ScanTag* which);
  // True when the line NextLine read last ended with a line end ("\n",
  // "\r\n" or a lone "\r"): a line of kScanLineLimit bytes without one is
  // the first piece of a longer line.
  static bool LastLineEnded(const CLibXml& reader) { return reader.last_ends_line_; }
  // GetNextLine's cut of `length` bytes (up to a NUL byte among them).
  static bool ParseWhole(CLibXml& reader, const char* line, std::size_t length, CLibXmlinf* info);
  // OpenXmlFileForWrite for a temporary file: any file or link at the name
  // is removed and the file created afresh (platform/text_file.h).
  static int OpenFresh(CLibXml& writer, const char* file_name) { return writer.OpenForWrite(file_name, true); }
  // Bytes of the line that the last GetNextLine read, even when it gave null
  // for a line without markup; 0 at the end of the file.
  static std::size_t LastLineLength(const CLibXml& xml) { return xml.last_length_; }
  // Writes `length` bytes verbatim to the writer.
  static bool Write(CLibXml& writer, const char* data, std::size_t length) { return writer.WriteBytes(data, length); }
  // True when a read of `reader` failed (as opposed to reaching the end).
  static bool ReadFailed(const CLibXml& reader) { return reader.read_failed_; }
  // Closes the writer; false when any write, the flush or the close failed.
  static bool FinishWriting(CLibXml& writer) { return writer.FinishWriting(); }
};

}  // namespace tavrin::simulation

#endif
