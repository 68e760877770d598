// CLibXml: the line reader and writer of the simulation's XML files.
//
// The simulation's machine and assembly files hold one element per line.
// CLibXml reads them a line at a time and cuts each line into a CLibXmlinf
// record (tag, element text, up to two attribute values), and writes lines
// back verbatim.  It is no XML parser: the rules below are all it knows.
//
// GetNextLine(line, size, info) reads at most size - 1 characters, the line
// feed included when it fits (a longer line comes in pieces, each taken as a
// line of its own), and fills `info`:
//   - null result, `info` untouched: no file open for reading;
//   - null result, every field null: end of file, read error, or a line
//     without '<' or without '>' (an empty line, for instance);
//   - a line holding "/>" and an '=':
//       tag        after the first '<' up to the first '=' ("a b" for <a b="1"/>)
//       attr1Value between the line's first and second '"'
//       attr2Name  from two characters after the second '"' to before the
//                  second '=' (only when there is a second '=')
//       attr2Value between the next two '"' after the second '='
//   - a line holding "/>" and no '=': tag after the first '<' up to the next
//     '>' ("fixture/" for <fixture/>);
//   - any other line: tag after the first '<' up to the next '>', text after
//     the line's first '>' up to the next '<' (null when there is none).
// A part longer than its buffer allows (tag and attr2Name 126 characters,
// text and the values 254) stays null; so does a part whose closing
// character is missing or stands before its opening one.  The rest of the
// line is still parsed.  The fields point into this object's buffers and stay
// valid until its next GetNextLine or its destruction.
//
// Files are opened in the platform's text mode by name.  Names may be Windows
// paths: off Windows, X:\... is looked up in the folder named by the
// environment variable TAVRIN_DRIVE_X, else in Wine's folder for the drive.  Lines keep their own line ends in memory off Windows
// (a CR LF line holds "\r\n").  Opening a direction that is already open
// closes the old stream first.  A copy takes the buffers and the last line's
// parts but no stream: the original keeps and closes its own, so that every
// stream is closed exactly once.
//
// Reads and writes go through a block of kBlockSize bytes for each open
// direction, taken from the heap when the file is opened and given back when
// it is closed; an open fails (0) when the block cannot be had.
#ifndef TAVRIN_SIMULATION_XML_H
#define TAVRIN_SIMULATION_XML_H

#include <cstddef>
#include <cstdio>

#include "tavrin/export.h"

namespace tavrin::simulation {
class XmlStreamAccess;
}

// The parts of the line that GetNextLine read last; null when the line has none.
struct CLibXmlinf {
  char* tag;
  char* attr2Name;
  char* text;
  char* attr1Value;
  char* attr2Value;
};

class TAVRIN_CLASS CLibXml {
 public:
  CLibXml();
  CLibXml(const CLibXml& other);
  CLibXml& operator=(const CLibXml& other);
  virtual ~CLibXml();

  // 1 when the file was opened, else 0 (the flag follows the result).
  int OpenXmlFileForRead(const char* file_name);
  // Creates or empties the file.  1 when opened, else 0.
  int OpenXmlFileForWrite(const char* file_name);
  void CloseXmlFileForRead();
  // Writes out what is still held and closes the file.
  void CloseXmlFileForWrite();

  // See above.  Returns `line` or null; a null line or info, or a size below
  // 2, gives null without reading.
  char* GetNextLine(char* line, short size, CLibXmlinf* info);
  // Writes `text` verbatim; the number of characters written, 0 when no file
  // is open for writing (or the text is null, or the file cannot be written).
  int SetStr(const char* text);
  // Copies the leading blanks and tabs of `line` into `target` and
  // terminates it: `target` must hold that run and one more character.
  void StrIndent(char* target, const char* line);

  static constexpr std::size_t kBlockSize = 262144;

 private:
  friend class tavrin::simulation::XmlStreamAccess;

  std::size_t NextPiece(std::size_t max, const char** data);
  int OpenForWrite(const char* file_name, bool fresh);
  std::size_t CutAtLoneReturn(const char* data, std::size_t length, bool* ends_line);
  bool ParseLine(const char* line, std::size_t length, CLibXmlinf* info);
  bool WriteBytes(const char* data, std::size_t length);
  bool FlushWrites();
  bool FinishWriting();  // CloseXmlFileForWrite that tells whether all reached the file
  void CopyParts(const CLibXml& other);

  std::FILE* read_stream_;
  std::FILE* write_stream_;
  char tag_[128];
  char attr2_name_[128];
  char text_[256];
  char attr1_value_[256];
  char attr2_value_[256];
  int read_open_;
  int write_open_;

  // Read-ahead: read_block_[read_pos_, read_end_) is read but not yet taken.
  std::size_t read_pos_;
  std::size_t read_end_;
  std::size_t last_length_;  // bytes of the last line read, NUL bytes included
  bool last_ends_line_;      // the model scans' last line ended with a line end
  bool read_failed_;
  bool block_has_nul_;  // a NUL byte somewhere in read_block_[0, read_end_)
  // Write-behind: write_block_[0, write_fill_) waits for the file.
  std::size_t write_fill_;
  bool write_failed_;
  char* read_block_;   // kBlockSize bytes while a file is open for reading
  char* write_block_;  // kBlockSize bytes while a file is open for writing
};

#endif
