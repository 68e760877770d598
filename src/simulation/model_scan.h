// The line-by-line scan that finds the chuck, the jaws or the workpiece of
// one spindle in the simulation's machine and assembly files.
//
// A scan follows the lines' tags (compared exactly):
//   latheassembly, /latheassembly   enter and leave a lathe assembly
//   name (in a lathe assembly)      text S11: side code 0 (left); S12 or S31:
//                                   1 (right); anything else leaves it.  The
//                                   code starts at -1 (unknown) and is kept
//                                   across lathe assemblies.
//   linearassembly, /linearassembly a jaw: opens in a lathe assembly
//   stock, /stock                   the workpiece: opens in a lathe assembly
//                                   outside a jaw (chuck and work scans)
//   fixture, /fixture               the chuck: opens in a lathe assembly
//                                   outside a stock and a jaw (chuck scan)
//   matrix                          a matrix line of the model when inside
//                                   the model's element and the side matches
// The model's element is "fixture" for the chuck, "linearassembly" for the
// jaws and "stock" for the workpiece.  The side matches when the code is 0
// for a left model or 1 for a right one.  Closing tags clear their flag
// wherever they stand.
#ifndef TAVRIN_SIMULATION_MODEL_SCAN_H
#define TAVRIN_SIMULATION_MODEL_SCAN_H

#include "simulation/scan_line.h"
#include "tavrin/simulation/xml.h"

namespace tavrin::simulation {

enum class ModelKind { kChuck, kJaw, kWork };

// What a line is to the model.
enum class LineRole {
  kOther,
  kModelStart,   // the opening line of one of the model's elements, on its side
  kModelMatrix,  // a matrix line of the model, on its side
};

class ModelScan {
 public:
  ModelScan(ModelKind kind, bool left) : kind_(kind), left_(left) {}

  // Updates the state by the line's record and says what the line is.
  LineRole Feed(const CLibXmlinf& info) { return Feed(ScanTagOf(info.tag), info.text); }
  // The same with the record's tag already looked up (scan_line.h).
  LineRole Feed(ScanTag tag, const char* text);

 private:
  bool SideMatches() const { return (side_ == 0 && left_) || (side_ == 1 && !left_); }

  ModelKind kind_;
  bool left_;
  bool in_lathe_ = false;
  int side_ = -1;
  bool in_stock_ = false;
  bool in_jaw_ = false;
  bool in_chuck_ = false;
};

}  // namespace tavrin::simulation

#endif
