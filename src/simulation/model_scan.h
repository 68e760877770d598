// The line-by-line scan that finds the chuck, the jaws or the workpiece of
// one spindle in the simulation's machine and assembly files.
//
// A scan follows the lines' tags (compared exactly):
//   latheassembly, /latheassembly   enter and leave a lathe assembly
//   name (in a lathe assembly)      text S11: side code 0 (left); S12 or S31:
//                                   1 (right); anything else leaves it.  The
//                                   code starts at -1 (unknown) and is kept
//                                   across lathe assemblies.
//   an element's opening tag        opens it in a lathe assembly when the
//                                   elements it must stand outside of are
//                                   closed (model.h: kModelKinds)
//   an element's closing tag        closes it wherever it stands
//   matrix                          a matrix line of the model when inside
//                                   the model's element and the side matches
// The elements are "fixture" for the chuck (outside a stock and a jaw),
// "linearassembly" for the jaws (anywhere) and "stock" for the workpiece
// (outside a jaw); every scan follows all three.  The side matches when the
// code is 0 for a left model or 1 for a right one.
#ifndef TAVRIN_SIMULATION_MODEL_SCAN_H
#define TAVRIN_SIMULATION_MODEL_SCAN_H

#include <iterator>

#include "simulation/model.h"
#include "simulation/scan_line.h"
#include "tavrin/simulation/xml.h"

namespace tavrin::simulation {

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
  // Inside one of the model's elements, on its side as known now.
  bool InModel() const { return (open_ & KindBit(kind_)) != 0 && SideMatches(); }
  // The model's element is the one opened last of those open: a matrix line
  // here is its own, not that of an element opened inside it.
  bool ModelIsInnermost() const {
    for (unsigned kind = 0; kind < std::size(kModelKinds); ++kind) {
      if ((open_ & (1u << kind)) != 0 && opened_[kind] > opened_[static_cast<unsigned>(kind_)]) return false;
    }
    return true;
  }

 private:
  bool SideMatches() const { return (side_ == 0 && left_) || (side_ == 1 && !left_); }

  ModelKind kind_;
  bool left_;
  bool in_lathe_ = false;
  int side_ = -1;
  unsigned open_ = 0;  // the open elements, by KindBit
  unsigned long opened_[std::size(kModelKinds)] = {};  // when each kind's element opened last
  unsigned long openings_ = 0;
};

}  // namespace tavrin::simulation

#endif
