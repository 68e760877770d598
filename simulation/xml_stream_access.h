// What the rewrite of the simulation's files needs of CLibXml beyond its
// public operations: the exact bytes of the last line read (NUL bytes
// included), the rest of a file copied as it is, and whether every read and
// write succeeded.
#ifndef TAVRIN_SIMULATION_XML_STREAM_ACCESS_H
#define TAVRIN_SIMULATION_XML_STREAM_ACCESS_H

#include <cstddef>

#include "tavrin/simulation/xml.h"

namespace tavrin::simulation {

class XmlStreamAccess {
 public:
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
