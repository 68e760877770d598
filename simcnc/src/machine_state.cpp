#include "machine_state.h"

#include <algorithm>

namespace tavrin::simcnc::detail {

int Parameter::Slot(int axis) const {
  if (!per_axis) return axis == 0 ? 0 : -1;
  return axis >= 1 && axis <= kAxisSlots ? axis - 1 : -1;
}

bool FitParamValue(ParamKind kind, long long value, std::int32_t* stored) {
  switch (kind) {
    case ParamKind::Bit:
      if (value < -128 || value > 255) return false;
      *stored = static_cast<std::uint8_t>(value);
      return true;
    case ParamKind::Byte:
      if (value < -128 || value > 255) return false;
      *stored = static_cast<std::int8_t>(static_cast<std::uint8_t>(value));
      return true;
    case ParamKind::Word:
      if (value < -32768 || value > 65535) return false;
      *stored = static_cast<std::int16_t>(static_cast<std::uint16_t>(value));
      return true;
    case ParamKind::TwoWord:
    case ParamKind::Real:
      if (value < INT32_MIN || value > INT32_MAX) return false;
      *stored = static_cast<std::int32_t>(value);
      return true;
  }
  return false;
}

namespace {
struct KindName {
  ParamKind kind;
  const char* name;
};
constexpr KindName kKindNames[] = {{ParamKind::Bit, "bit"},
                                   {ParamKind::Byte, "byte"},
                                   {ParamKind::Word, "word"},
                                   {ParamKind::TwoWord, "two-word"},
                                   {ParamKind::Real, "real"}};
}  // namespace

const char* ParamKindName(ParamKind kind) {
  for (const KindName& entry : kKindNames) {
    if (entry.kind == kind) return entry.name;
  }
  return "?";
}

bool ParamKindFromName(const std::string& name, ParamKind* kind) {
  for (const KindName& entry : kKindNames) {
    if (name == entry.name) {
      *kind = entry.kind;
      return true;
    }
  }
  return false;
}

ScaledValue Path::Macro(std::int32_t number) const {
  auto found = macros.find(number);
  return found == macros.end() ? ScaledValue{} : found->second;
}

void Path::SetMacro(std::int32_t number, ScaledValue value) {
  if (value.value == 0 && value.decimals == 0) {
    macros.erase(number);
  } else {
    macros[number] = value;
  }
}

void Path::SetOffsetCount(int count) {
  offsets.resize(static_cast<std::size_t>(std::clamp(count, 0, kMaxOffsetCount)));
}

Pmc::Pmc() {
  static constexpr struct {
    char letter;
    short code;
  } kAreas[] = {{'G', 0}, {'F', 1}, {'Y', 2}, {'X', 3}, {'A', 4}, {'R', 5},
                {'T', 6}, {'K', 7}, {'C', 8}, {'D', 9}, {'E', 12}};
  for (const auto& area : kAreas) {
    areas.push_back(PmcArea{area.letter, area.code, std::vector<std::uint8_t>(kPmcAreaSize)});
  }
}

PmcArea* Pmc::ByLetter(char letter) {
  for (PmcArea& area : areas) {
    if (area.letter == letter) return &area;
  }
  return nullptr;
}

const PmcArea* Pmc::ByLetter(char letter) const { return const_cast<Pmc*>(this)->ByLetter(letter); }

PmcArea* Pmc::ByTypeCode(short code) {
  for (PmcArea& area : areas) {
    if (area.type_code == code) return &area;
  }
  return nullptr;
}

Machine::Machine(int path_count) : paths(static_cast<std::size_t>(std::clamp(path_count, 1, kMaxPaths))) {}

Path* Machine::PathNumber(int number) {
  if (number < 1 || number > static_cast<int>(paths.size())) return nullptr;
  return &paths[static_cast<std::size_t>(number - 1)];
}

const Path* Machine::PathNumber(int number) const { return const_cast<Machine*>(this)->PathNumber(number); }

bool AxisNameFromText(const std::string& text, AxisName* name) {
  if (text.empty() || text.size() > 2) return false;
  name->name = text[0];
  name->suffix = text.size() > 1 ? text[1] : '\0';
  return true;
}

std::string AxisNameText(AxisName name) {
  std::string text(1, name.name);
  if (name.suffix != '\0') text += name.suffix;
  return text;
}

}  // namespace tavrin::simcnc::detail
