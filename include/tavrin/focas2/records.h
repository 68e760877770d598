// The records exchanged with FOCAS2, laid out byte for byte as the CNC
// library expects them.  Shared by the NC access layer and the simulated CNC,
// and installed for programs that call a FOCAS2 library directly.
#ifndef TAVRIN_FOCAS2_RECORDS_H
#define TAVRIN_FOCAS2_RECORDS_H

#include <cstddef>
#include <cstdint>

namespace tavrin::focas {

using int32 = std::int32_t;

constexpr int kMaxAxes = 32;

// One real parameter element: value, then its decimal places.
struct RealElement {
  int32 value;
  int32 decimals;
};

// Parameter record of cnc_rdparam / cnc_wrparam: number, axis, 256 data bytes.
struct ParamRecord {
  std::int16_t number;
  std::int16_t axis;
  union {
    std::int8_t byte_data[kMaxAxes];
    std::int16_t word_data[kMaxAxes];
    int32 two_word_data[kMaxAxes];
    RealElement real_data[kMaxAxes];
    unsigned char raw[256];
  } data;
};
static_assert(sizeof(ParamRecord) == 260, "parameter record is 4 + 256 bytes");
static_assert(offsetof(ParamRecord, axis) == 2, "axis follows the number");
static_assert(offsetof(ParamRecord, data) == 4, "data follows the header");
static_assert(sizeof(RealElement) == 8, "a real element is two 32-bit fields");

// PMC record of pmc_rdpmcrng / pmc_wrpmcrng: 8-byte header, 20 data bytes.
struct PmcRecord {
  std::int16_t address_type;
  std::int16_t data_type;
  std::uint16_t start;
  std::uint16_t end;
  union {
    std::int8_t byte_data[20];
    std::int16_t word_data[10];
    int32 two_word_data[5];
  } data;
};
static_assert(sizeof(PmcRecord) == 28, "PMC record is 8 + 20 bytes");
static_assert(offsetof(PmcRecord, start) == 4 && offsetof(PmcRecord, end) == 6, "PMC header");
static_assert(offsetof(PmcRecord, data) == 8, "PMC data follows the header");

// Macro range record of cnc_rdpmacror / cnc_wrpmacror: a 12-byte header
// followed by one 8-byte entry per variable.
struct MacroRangeHeader {
  int32 first;
  std::int16_t unused;
  std::int16_t padding;
  int32 last;
};
struct MacroEntry {
  int32 value;
  std::int16_t decimals;
  std::int16_t padding;
};
static_assert(sizeof(MacroRangeHeader) == 12 && offsetof(MacroRangeHeader, last) == 8, "macro header");
static_assert(sizeof(MacroEntry) == 8 && offsetof(MacroEntry, decimals) == 4, "macro entry");
constexpr std::size_t MacroRangeLength(long count) { return 12 + 8 * static_cast<std::size_t>(count); }

// Single macro record of cnc_rdpmacro.
struct MacroRecord {
  int32 number;
  std::int16_t reserved;
  std::int16_t padding;
  int32 value;
  std::int16_t decimals;
  std::int16_t padding2;
};
static_assert(sizeof(MacroRecord) == 16, "single macro record");
static_assert(offsetof(MacroRecord, value) == 8 && offsetof(MacroRecord, decimals) == 12, "macro record");

// Tool offset record of cnc_rdtofs.
struct OffsetRecord {
  std::int16_t number;
  std::int16_t type;
  int32 value;
};
static_assert(sizeof(OffsetRecord) == 8 && offsetof(OffsetRecord, value) == 4, "offset record");

// Status record of cnc_statinfo: 16 signed 16-bit fields, the mode third.
struct StatusRecord {
  std::int16_t fields[16];
};
constexpr int kStatusModeField = 2;

// Axis name entry of cnc_rdaxisname: name letter and suffix.
struct AxisNameEntry {
  char name;
  char suffix;
};
static_assert(sizeof(AxisNameEntry) == 2, "axis name entry");

}  // namespace tavrin::focas

#endif
