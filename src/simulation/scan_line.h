// The tags that the model scans follow (model_scan.h), and a quick cut of a
// line for them.
//
// GetNextLine cuts every line into all its parts; a model scan only needs to
// know which of its tags a line holds and, for some, the line's text.
// CutScanLine recognises the usual shapes of the simulation's lines,
// "<tag>", "<tag>text</tag>" and lines whose tag is no scan tag, with a few
// character tests, and leaves every other line to the full cut.
#ifndef TAVRIN_SIMULATION_SCAN_LINE_H
#define TAVRIN_SIMULATION_SCAN_LINE_H

#include <cstddef>

#include "tavrin/simulation/xml.h"

namespace tavrin::simulation {

enum class ScanTag {
  kOther,  // any other tag, or none
  kLathe,
  kLatheEnd,
  kLinear,
  kLinearEnd,
  kStock,
  kStockEnd,
  kFixture,
  kFixtureEnd,
  kName,
  kMatrix,
};

// The scan tag that a record's tag is (compared exactly); kOther for null.
ScanTag ScanTagOf(const char* tag);

// Cuts `line` ([line, line + length), no NUL byte in it).  True when done:
// the line is one that GetNextLine returns, *which is its scan tag, and
// `info` holds
//   - for a line with a scan tag: that tag and its text, exactly as
//     GetNextLine gives them (copied into the buffers, of 128 and 256
//     characters);
//   - for any other line: an empty tag, every other part null.
// False when the line needs the full cut (`info` is then unspecified).
bool CutScanLine(const char* line, std::size_t length, char* tag_buffer, char* text_buffer, CLibXmlinf* info,
                 ScanTag* which);

}  // namespace tavrin::simulation

#endif
