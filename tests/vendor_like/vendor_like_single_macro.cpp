// cnc_rdpmacro and cnc_wrpmacro, made of the library's own exported range
// calls, cnc_rdpmacror and cnc_wrpmacror, as the CNC maker's Linux library
// makes them.  The range calls are defined in another file and declared with
// default visibility, so these calls go through the dynamic linker (a
// JUMP_SLOT relocation each): the library reaches its own range calls only
// when the process's lookup order finds them there first.
#include <cstring>

#include "vendor_like_library.h"

using namespace vendor_like;
using tavrin::focas::MacroEntry;
using tavrin::focas::MacroRangeHeader;
using tavrin::focas::MacroRecord;

namespace {

// The range record of one variable.
struct OneVariable {
  MacroRangeHeader header;
  MacroEntry entry;
};
static_assert(sizeof(OneVariable) == tavrin::focas::MacroRangeLength(1), "range record of one variable");

}  // namespace

extern "C" {

short cnc_rdpmacro(unsigned short handle, int32 number, void* record) {
  EnterCall("cnc_rdpmacro");
  OneVariable range{};
  range.header.first = number;
  range.header.last = number;
  short code;
  {
    OwnCall inner;
    code = cnc_rdpmacror(handle, number, number, sizeof range, &range);
  }
  if (code != kOk) return code;
  if (record == nullptr) return kData;
  MacroRecord single{};
  single.number = number;
  single.value = range.entry.value;
  single.decimals = range.entry.decimals;
  std::memcpy(record, &single, sizeof single);
  return kOk;
}

short cnc_wrpmacro(unsigned short handle, int32 number, int32 value, short decimals) {
  EnterCall("cnc_wrpmacro");
  OneVariable range{};
  range.header.first = number;
  range.header.last = number;
  range.entry.value = value;
  range.entry.decimals = decimals;
  OwnCall inner;
  return cnc_wrpmacror(handle, sizeof range, &range);
}

}  // extern "C"
