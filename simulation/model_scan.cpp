#include "simulation/model_scan.h"

#include <cstring>

namespace tavrin::simulation {

namespace {
bool Is(const char* tag, const char* name) { return std::strcmp(tag, name) == 0; }
}  // namespace

LineRole ModelScan::Feed(const CLibXmlinf& info) {
  const char* tag = info.tag;
  if (tag == nullptr) return LineRole::kOther;

  if (Is(tag, "latheassembly")) {
    in_lathe_ = true;
  } else if (Is(tag, "/latheassembly")) {
    in_lathe_ = false;
  } else if (Is(tag, "name")) {
    if (in_lathe_ && info.text != nullptr) {
      if (Is(info.text, "S11")) {
        side_ = 0;
      } else if (Is(info.text, "S12") || Is(info.text, "S31")) {
        side_ = 1;
      }
    }
  } else if (Is(tag, "linearassembly")) {
    if (in_lathe_) {
      in_jaw_ = true;
      if (kind_ == ModelKind::kJaw && SideMatches()) return LineRole::kModelStart;
    }
  } else if (Is(tag, "/linearassembly")) {
    in_jaw_ = false;
  } else if (kind_ != ModelKind::kJaw && Is(tag, "stock")) {
    if (in_lathe_ && !in_jaw_) {
      in_stock_ = true;
      if (kind_ == ModelKind::kWork && SideMatches()) return LineRole::kModelStart;
    }
  } else if (kind_ != ModelKind::kJaw && Is(tag, "/stock")) {
    in_stock_ = false;
  } else if (kind_ == ModelKind::kChuck && Is(tag, "fixture")) {
    if (in_lathe_ && !in_stock_ && !in_jaw_) {
      in_chuck_ = true;
      if (SideMatches()) return LineRole::kModelStart;
    }
  } else if (kind_ == ModelKind::kChuck && Is(tag, "/fixture")) {
    in_chuck_ = false;
  } else if (Is(tag, "matrix")) {
    bool inside = (kind_ == ModelKind::kChuck && in_chuck_) || (kind_ == ModelKind::kJaw && in_jaw_) ||
                  (kind_ == ModelKind::kWork && in_stock_);
    if (inside && SideMatches()) return LineRole::kModelMatrix;
  }
  return LineRole::kOther;
}

}  // namespace tavrin::simulation
