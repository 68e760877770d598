// The control API's description of the machine: paths, parameters, PMC
// bytes, macro variables, offsets, figures, status and axis names.  Calls
// naming a path the machine lacks do nothing (and answer false).
#include <algorithm>
#include <mutex>

#include "simulator.h"

namespace tavrin::simcnc {

using detail::Machine;
using detail::Parameter;
using detail::Path;
using detail::Sim;
using detail::Simulator;

namespace {

std::unique_lock<std::mutex> Lock() { return std::unique_lock<std::mutex>(Sim().mutex); }

Parameter* FindParam(int path, short number) {
  Path* found = Sim().machine.PathNumber(path);
  if (found == nullptr) return nullptr;
  auto parameter = found->parameters.find(number);
  return parameter == found->parameters.end() ? nullptr : &parameter->second;
}

}  // namespace

void Reset(int paths) {
  auto lock = Lock();
  Simulator& sim = Sim();
  sim.machine = Machine(paths);
  sim.handles.clear();  // the handle counter runs on, so old handles stay unknown
  sim.last_ethernet = EthernetOpen{"", 0, 0};
  sim.failures.Clear();
  sim.journal.Clear();
  sim.journal.set_enabled(true);
}

int PathCount() {
  auto lock = Lock();
  return static_cast<int>(Sim().machine.paths.size());
}

void DefineParam(int path, short number, ParamKind kind, bool per_axis, int decimals) {
  auto lock = Lock();
  Path* found = Sim().machine.PathNumber(path);
  if (found == nullptr) return;
  Parameter parameter;
  parameter.kind = kind;
  parameter.per_axis = per_axis;
  if (kind == ParamKind::Real) parameter.decimals.fill(decimals);
  found->parameters[number] = parameter;
}

bool SetParam(int path, short number, short axis, std::int32_t value, int decimals) {
  auto lock = Lock();
  Parameter* parameter = FindParam(path, number);
  if (parameter == nullptr) return false;
  const int slot = parameter->Slot(axis);
  std::int32_t stored = 0;
  if (slot < 0 || !detail::FitParamValue(parameter->kind, value, &stored)) return false;
  parameter->values[static_cast<std::size_t>(slot)] = stored;
  if (parameter->kind == ParamKind::Real && decimals >= 0) {
    parameter->decimals[static_cast<std::size_t>(slot)] = decimals;
  }
  return true;
}

bool GetParam(int path, short number, short axis, std::int32_t* value, int* decimals) {
  auto lock = Lock();
  const Parameter* parameter = FindParam(path, number);
  if (parameter == nullptr) return false;
  const int slot = parameter->Slot(axis);
  if (slot < 0) return false;
  if (value != nullptr) *value = parameter->values[static_cast<std::size_t>(slot)];
  if (decimals != nullptr) *decimals = parameter->decimals[static_cast<std::size_t>(slot)];
  return true;
}

bool GetParamKind(int path, short number, ParamKind* kind, bool* per_axis) {
  auto lock = Lock();
  const Parameter* parameter = FindParam(path, number);
  if (parameter == nullptr) return false;
  if (kind != nullptr) *kind = parameter->kind;
  if (per_axis != nullptr) *per_axis = parameter->per_axis;
  return true;
}

int AxisCount(int path) {
  auto lock = Lock();
  const Path* found = Sim().machine.PathNumber(path);
  return found == nullptr ? 0 : static_cast<int>(found->axes.size());
}

bool SetPmcByte(char letter, unsigned address, std::uint8_t value) {
  auto lock = Lock();
  detail::PmcArea* area = Sim().machine.pmc.ByLetter(letter);
  if (area == nullptr || address >= area->bytes.size()) return false;
  area->bytes[address] = value;
  return true;
}

bool GetPmcByte(char letter, unsigned address, std::uint8_t* value) {
  auto lock = Lock();
  const detail::PmcArea* area = Sim().machine.pmc.ByLetter(letter);
  if (area == nullptr || address >= area->bytes.size()) return false;
  if (value != nullptr) *value = area->bytes[address];
  return true;
}

unsigned PmcAreaSize(char letter) {
  auto lock = Lock();
  const detail::PmcArea* area = Sim().machine.pmc.ByLetter(letter);
  return area == nullptr ? 0 : static_cast<unsigned>(area->bytes.size());
}

bool SetMacro(int path, std::int32_t number, std::int32_t value, short decimals) {
  auto lock = Lock();
  Path* found = Sim().machine.PathNumber(path);
  if (found == nullptr || number < detail::kMacroFirst || number > detail::kMacroLast) return false;
  found->SetMacro(number, detail::ScaledValue{value, decimals});
  return true;
}

bool GetMacro(int path, std::int32_t number, std::int32_t* value, short* decimals) {
  auto lock = Lock();
  const Path* found = Sim().machine.PathNumber(path);
  if (found == nullptr || number < detail::kMacroFirst || number > detail::kMacroLast) return false;
  const detail::ScaledValue scaled = found->Macro(number);
  if (value != nullptr) *value = scaled.value;
  if (decimals != nullptr) *decimals = scaled.decimals;
  return true;
}

void SetOffsetCount(int path, int count) {
  auto lock = Lock();
  Path* found = Sim().machine.PathNumber(path);
  if (found != nullptr) found->SetOffsetCount(count);
}

namespace {
std::int32_t* OffsetSlot(int path, short number, short type) {
  Path* found = Sim().machine.PathNumber(path);
  if (found == nullptr || number < 1 || static_cast<std::size_t>(number) > found->offsets.size()) return nullptr;
  if (type < 0 || type >= detail::kOffsetTypes) return nullptr;
  return &found->offsets[static_cast<std::size_t>(number - 1)][static_cast<std::size_t>(type)];
}
}  // namespace

bool SetOffset(int path, short number, short type, std::int32_t value) {
  auto lock = Lock();
  std::int32_t* slot = OffsetSlot(path, number, type);
  if (slot == nullptr) return false;
  *slot = value;
  return true;
}

bool GetOffset(int path, short number, short type, std::int32_t* value) {
  auto lock = Lock();
  const std::int32_t* slot = OffsetSlot(path, number, type);
  if (slot == nullptr) return false;
  if (value != nullptr) *value = *slot;
  return true;
}

void SetFigures(int path, short valid_digits, short input_decimals, short output_decimals) {
  auto lock = Lock();
  Path* found = Sim().machine.PathNumber(path);
  if (found == nullptr) return;
  found->valid_digits = valid_digits;
  found->input_decimals = input_decimals;
  found->output_decimals = output_decimals;
}

void SetStatusField(int path, int index, short value) {
  auto lock = Lock();
  Path* found = Sim().machine.PathNumber(path);
  if (found == nullptr || index < 0 || index >= detail::kStatusFields) return;
  found->status[static_cast<std::size_t>(index)] = value;
}

void SetAxisNames(int path, const std::vector<std::string>& names) {
  auto lock = Lock();
  Path* found = Sim().machine.PathNumber(path);
  if (found == nullptr) return;
  found->axes.clear();
  for (const std::string& text : names) {
    detail::AxisName name;
    if (found->axes.size() == detail::kAxisSlots) break;
    if (detail::AxisNameFromText(text.substr(0, 2), &name)) found->axes.push_back(name);
  }
}

}  // namespace tavrin::simcnc
