#include "simulation/model_scan.h"

#include <cstring>
#include <iterator>

namespace tavrin::simulation {

LineRole ModelScan::Feed(ScanTag tag, const char* text) {
  switch (tag) {
    case ScanTag::kLathe:
      in_lathe_ = true;
      return LineRole::kOther;
    case ScanTag::kLatheEnd:
      in_lathe_ = false;
      return LineRole::kOther;
    case ScanTag::kName:
      if (in_lathe_ && text != nullptr) {
        if (std::strcmp(text, "S11") == 0) {
          side_ = 0;
        } else if (std::strcmp(text, "S12") == 0 || std::strcmp(text, "S31") == 0) {
          side_ = 1;
        }
      }
      return LineRole::kOther;
    case ScanTag::kMatrix:
      return (open_ & KindBit(kind_)) != 0 && SideMatches() ? LineRole::kModelMatrix : LineRole::kOther;
    case ScanTag::kOther:
      return LineRole::kOther;
    default:
      break;
  }
  // The opening or closing line of an element of one of the kinds.
  for (unsigned kind = 0; kind < std::size(kModelKinds); ++kind) {
    const ModelKindInfo& element = kModelKinds[kind];
    const unsigned bit = 1u << kind;
    if (tag == element.close) open_ &= ~bit;
    if (tag != element.open || !in_lathe_ || (open_ & element.outside) != 0) continue;
    open_ |= bit;
    opened_[kind] = ++openings_;
    if (bit == KindBit(kind_) && SideMatches()) return LineRole::kModelStart;
  }
  return LineRole::kOther;
}

}  // namespace tavrin::simulation
