#include "tavrin/nc/macro_vars.h"

#include <cmath>
#include <cstring>
#include <memory>
#include <new>

#include "focas2/focas2.h"
#include "nc/scaling.h"
#include "tavrin/nc/return_codes.h"
#include "tavrin/util/numeric.h"

namespace focas = tavrin::focas;

namespace {

struct CncValue {
  std::int32_t value;
  short decimals;
};

// m / 10^d, where a negative d divides by 10 (lib_DoublePow's rule).
double Decode(const focas::MacroEntry& entry) { return entry.value / lib_DoublePow(10, entry.decimals); }

// The fewest decimal places, at most 9, at which the value is whole within
// 0.0000001, unless one more place would take it beyond 99,999,999.
CncValue Encode(double x) {
  double v = x;
  short d = 0;
  while (!(std::fabs(std::fmod(v, 1.0)) < 0.0000001)) {
    double t = v * 10.0;
    if (std::fabs(t) > 99999999.0) break;
    v = t;
    if (++d == 9) break;
  }
  return CncValue{tavrin::TruncateToInt32(v), d};
}

// The last variable of a run, wrapping like the CNC's 32-bit arithmetic.
focas::int32 LastOf(focas::int32 first, short count) {
  return static_cast<focas::int32>(static_cast<std::uint32_t>(first) + static_cast<std::uint32_t>(count) - 1u);
}

bool CountValid(short count) { return count >= 1 && count <= TAVRIN_PCODE_MAX_COUNT; }

// A zeroed macro range record for `count` variables, owned by the caller's
// scope; null when it cannot be allocated.
std::unique_ptr<unsigned char[]> NewRangeRecord(focas::int32 first, short count) {
  std::size_t length = focas::MacroRangeLength(count);
  std::unique_ptr<unsigned char[]> record(new (std::nothrow) unsigned char[length]);
  if (record == nullptr) return record;
  std::memset(record.get(), 0, length);
  focas::MacroRangeHeader header{};
  std::memcpy(&header, record.get(), sizeof header);
  header.first = first;
  header.last = LastOf(first, count);
  std::memcpy(record.get(), &header, sizeof header);
  return record;
}

focas::MacroEntry EntryAt(const unsigned char* record, int i) {
  focas::MacroEntry entry;
  std::memcpy(&entry, record + sizeof(focas::MacroRangeHeader) + sizeof(focas::MacroEntry) * i, sizeof entry);
  return entry;
}

}  // namespace

extern "C" short TAVRIN_CALL lib_ReadPCode(unsigned short handle, tavrin_long number, double* value) {
  unsigned char record[focas::MacroRangeLength(1)] = {};
  focas::MacroRangeHeader header{number, 0, 0, number};
  std::memcpy(record, &header, sizeof header);
  short code = focas::cnc_rdpmacror(handle, number, number, static_cast<unsigned short>(sizeof record), record);
  double result = code == 0 ? Decode(EntryAt(record, 0)) : 0.0;
  if (value != nullptr) *value = result;
  return code;
}

extern "C" short TAVRIN_CALL lib_ReadPluralPCode(unsigned short handle, tavrin_long first, short count,
                                                 double* values) {
  if (values == nullptr) return TAVRIN_PCODE_NO_OUTPUT;
  if (!CountValid(count)) return DLL_FOCAS2_FUNCRET_INIT;
  std::unique_ptr<unsigned char[]> record = NewRangeRecord(first, count);
  if (record == nullptr) return EW_BUFFER;
  auto length = static_cast<unsigned short>(focas::MacroRangeLength(count));
  short code = focas::cnc_rdpmacror(handle, first, LastOf(first, count), length, record.get());
  if (code != 0) return code;
  for (int i = 0; i < count; ++i) values[i] = Decode(EntryAt(record.get(), i));
  return 0;
}

extern "C" short TAVRIN_CALL lib_WritePCode(unsigned short handle, tavrin_long number, double value) {
  CncValue cnc = Encode(value);
  return focas::cnc_wrpmacro(handle, number, cnc.value, cnc.decimals);
}

extern "C" short TAVRIN_CALL lib_WritePluralPCode(unsigned short handle, tavrin_long first, short count,
                                                  double value) {
  if (!CountValid(count)) return DLL_FOCAS2_FUNCRET_INIT;
  CncValue cnc = Encode(value);
  std::unique_ptr<unsigned char[]> record = NewRangeRecord(first, count);
  if (record == nullptr) return EW_BUFFER;
  focas::MacroEntry entry{cnc.value, cnc.decimals, 0};
  for (int i = 0; i < count; ++i) {
    std::memcpy(record.get() + sizeof(focas::MacroRangeHeader) + sizeof entry * i, &entry, sizeof entry);
  }
  return focas::cnc_wrpmacror(handle, static_cast<unsigned short>(focas::MacroRangeLength(count)), record.get());
}
