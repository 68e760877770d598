// The state of the simulated machine: its paths with their parameters, macro
// variables, tool offsets, figures, status and axes, and the PMC they share.
// Plain data with the few rules that keep it valid; the lock and the FOCAS2
// answers live elsewhere.
#ifndef TAVRIN_SIMCNC_MACHINE_STATE_H
#define TAVRIN_SIMCNC_MACHINE_STATE_H

#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "tavrin/simcnc.h"

namespace tavrin::simcnc::detail {

constexpr int kMaxPaths = 10;
constexpr int kAxisSlots = 32;        // values of a per-axis parameter; axis names of a path
constexpr std::int32_t kMacroFirst = 1;
constexpr std::int32_t kMacroLast = 99999;
constexpr int kOffsetTypes = 10;      // X, Z, R, T, Y, each wear and geometry
constexpr int kDefaultOffsetCount = 64;
constexpr int kMaxOffsetCount = 999;
constexpr int kStatusFields = 16;
constexpr unsigned kPmcAreaSize = 10000;

// A parameter: one value (axis 0) or one per axis (axes 1..32, index axis-1).
// Values are kept in their kind's width: bit 0..255, byte -128..127, word
// -32768..32767; decimals matter for reals only.
struct Parameter {
  ParamKind kind = ParamKind::Byte;
  bool per_axis = false;
  std::array<std::int32_t, kAxisSlots> values{};
  std::array<std::int32_t, kAxisSlots> decimals{};

  // The slot of an axis selector (0 for no axis, 1..32 per axis), or -1 when
  // the selector does not fit the parameter.
  int Slot(int axis) const;
};

// Brings `value` into the width of `kind`: false when it does not fit, bytes
// being accepted both signed (-128..127) and unsigned (0..255) and words
// likewise (-32768..65535); *stored is the value as the CNC keeps it.
bool FitParamValue(ParamKind kind, long long value, std::int32_t* stored);
const char* ParamKindName(ParamKind kind);  // "bit", "byte", "word", "two-word", "real"
bool ParamKindFromName(const std::string& name, ParamKind* kind);

// A macro variable or real value as the CNC keeps it: value / 10^decimals.
struct ScaledValue {
  std::int32_t value = 0;
  std::int16_t decimals = 0;
};

struct AxisName {
  char name = 0;
  char suffix = 0;
};

struct Path {
  std::map<short, Parameter> parameters;
  std::map<std::int32_t, ScaledValue> macros;  // only variables that are not 0 with 0 decimals
  std::vector<std::array<std::int32_t, kOffsetTypes>> offsets =
      std::vector<std::array<std::int32_t, kOffsetTypes>>(kDefaultOffsetCount);
  short valid_digits = 9;
  short input_decimals = 3;
  short output_decimals = 3;
  std::array<short, kStatusFields> status{};
  std::vector<AxisName> axes;

  ScaledValue Macro(std::int32_t number) const;
  void SetMacro(std::int32_t number, ScaledValue value);
  void SetOffsetCount(int count);  // keeps the values of the offsets that remain
};

// One PMC area: its address letter, FOCAS2 address type code and bytes.
struct PmcArea {
  char letter;
  short type_code;
  std::vector<std::uint8_t> bytes;
};

struct Pmc {
  Pmc();
  std::vector<PmcArea> areas;  // in the order G F Y X A R T K C D E

  PmcArea* ByLetter(char letter);
  const PmcArea* ByLetter(char letter) const;
  PmcArea* ByTypeCode(short code);
};

struct Machine {
  explicit Machine(int path_count = 1);
  std::vector<Path> paths;
  Pmc pmc;

  // The path numbered 1..N, or null.
  Path* PathNumber(int number);
  const Path* PathNumber(int number) const;
};

// Axis name text ("X", "Z1") to an entry and back.  False for a name that is
// empty or longer than two characters.
bool AxisNameFromText(const std::string& text, AxisName* name);
std::string AxisNameText(AxisName name);

}  // namespace tavrin::simcnc::detail

#endif
