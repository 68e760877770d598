#include "simulation/model_scan.h"

#include <cstring>

namespace tavrin::simulation {

LineRole ModelScan::Feed(ScanTag tag, const char* text) {
  switch (tag) {
    case ScanTag::kLathe:
      in_lathe_ = true;
      break;
    case ScanTag::kLatheEnd:
      in_lathe_ = false;
      break;
    case ScanTag::kName:
      if (in_lathe_ && text != nullptr) {
        if (std::strcmp(text, "S11") == 0) {
          side_ = 0;
        } else if (std::strcmp(text, "S12") == 0 || std::strcmp(text, "S31") == 0) {
          side_ = 1;
        }
      }
      break;
    case ScanTag::kLinear:
      if (in_lathe_) {
        in_jaw_ = true;
        if (kind_ == ModelKind::kJaw && SideMatches()) return LineRole::kModelStart;
      }
      break;
    case ScanTag::kLinearEnd:
      in_jaw_ = false;
      break;
    case ScanTag::kStock:
      if (kind_ != ModelKind::kJaw && in_lathe_ && !in_jaw_) {
        in_stock_ = true;
        if (kind_ == ModelKind::kWork && SideMatches()) return LineRole::kModelStart;
      }
      break;
    case ScanTag::kStockEnd:
      if (kind_ != ModelKind::kJaw) in_stock_ = false;
      break;
    case ScanTag::kFixture:
      if (kind_ == ModelKind::kChuck && in_lathe_ && !in_stock_ && !in_jaw_) {
        in_chuck_ = true;
        if (SideMatches()) return LineRole::kModelStart;
      }
      break;
    case ScanTag::kFixtureEnd:
      if (kind_ == ModelKind::kChuck) in_chuck_ = false;
      break;
    case ScanTag::kMatrix: {
      bool inside = (kind_ == ModelKind::kChuck && in_chuck_) || (kind_ == ModelKind::kJaw && in_jaw_) ||
                    (kind_ == ModelKind::kWork && in_stock_);
      if (inside && SideMatches()) return LineRole::kModelMatrix;
      break;
    }
    case ScanTag::kOther:
      break;
  }
  return LineRole::kOther;
}

}  // namespace tavrin::simulation
