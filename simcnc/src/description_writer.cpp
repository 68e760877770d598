// Writing the machine description file: the whole machine, in the same form
// a person would write it (bit parameters in binary, PMC bytes in hex, values
// with decimal places as decimal numbers), leaving out what is zero.
#include <algorithm>
#include <sstream>

#include "description_file.h"
#include "scaled_number.h"

namespace tavrin::simcnc::detail {

namespace {

std::string Binary(std::int32_t byte) {
  std::string text = "0b";
  for (int bit = 7; bit >= 0; --bit) {
    text += (byte >> bit & 1) != 0 ? '1' : '0';
    if (bit == 4) text += '_';
  }
  return text;
}

std::string Hex(std::uint8_t byte) {
  const char* digits = "0123456789ABCDEF";
  return std::string("0x") + digits[byte >> 4] + digits[byte & 15];
}

std::string Pair(std::int64_t value, int decimals) {
  return "{ value = " + std::to_string(value) + ", decimals = " + std::to_string(decimals) + " }";
}

// A macro variable as the reader takes it back to the same pair: a whole
// number, a decimal number when its last digit is not 0, a decimal text
// when it is ("2.50"), and the pair itself for decimals outside 0..9.
std::string MacroText(ScaledValue scaled) {
  if (scaled.decimals == 0) return std::to_string(scaled.value);
  if (scaled.decimals < 0 || scaled.decimals > kMaxTextDecimals) return Pair(scaled.value, scaled.decimals);
  const std::string text = ScaledText(scaled.value, scaled.decimals);
  return scaled.value % 10 != 0 ? text : "\"" + text + "\"";
}

// One value of a parameter, for a parameter whose `decimals` key (reals) is
// `common`.
std::string ParamValueText(const Parameter& parameter, std::size_t slot, int common) {
  const std::int32_t value = parameter.values[slot];
  switch (parameter.kind) {
    case ParamKind::Bit:
      return Binary(value);
    case ParamKind::Real: {
      const std::int32_t decimals = parameter.decimals[slot];
      if (decimals != common) return Pair(value, decimals);
      return ScaledText(value, decimals);
    }
    default:
      return std::to_string(value);
  }
}

void WriteParameter(std::ostream& out, short number, const Parameter& parameter) {
  out << "\n[[path.parameter]]\nnumber = " << number << "\nkind = \"" << ParamKindName(parameter.kind) << "\"\n";
  // Reals share the decimals of their first value when those are 0..9; a
  // value with other decimals is written as its pair.
  int common = -1;
  if (parameter.kind == ParamKind::Real && parameter.decimals[0] >= 0 &&
      parameter.decimals[0] <= kMaxTextDecimals) {
    common = parameter.decimals[0];
    out << "decimals = " << common << "\n";
  }
  if (!parameter.per_axis) {
    out << "value = " << ParamValueText(parameter, 0, common) << "\n";
    return;
  }
  // Axes after the last one that differs from zero (with the common
  // decimals) are left out; the reader gives them those.
  std::size_t used = parameter.values.size();
  while (used > 0 && parameter.values[used - 1] == 0 &&
         (parameter.kind != ParamKind::Real || parameter.decimals[used - 1] == std::max(common, 0))) {
    --used;
  }
  out << "axes = [";
  for (std::size_t slot = 0; slot < used; ++slot) out << (slot > 0 ? ", " : "") << ParamValueText(parameter, slot, common);
  out << "]\n";
}

void WritePath(std::ostream& out, const Path& path, std::size_t number) {
  out << "\n[[path]]  # path " << number << "\naxes = [";
  for (std::size_t i = 0; i < path.axes.size(); ++i) out << (i > 0 ? ", " : "") << '"' << AxisNameText(path.axes[i]) << '"';
  out << "]\nfigures = { valid = " << path.valid_digits << ", input = " << path.input_decimals
      << ", output = " << path.output_decimals << " }\nstatus = [";
  std::size_t fields = path.status.size();
  while (fields > 0 && path.status[fields - 1] == 0) --fields;
  for (std::size_t i = 0; i < fields; ++i) out << (i > 0 ? ", " : "") << path.status[i];
  out << "]\n";

  for (const auto& [parameter_number, parameter] : path.parameters) WriteParameter(out, parameter_number, parameter);

  if (!path.macros.empty()) {
    out << "\n[path.macros]\n";
    for (const auto& [variable, scaled] : path.macros) out << variable << " = " << MacroText(scaled) << "\n";
  }

  out << "\n[path.offsets]\ncount = " << path.offsets.size() << "\n";
  for (std::size_t i = 0; i < path.offsets.size(); ++i) {
    const auto& types = path.offsets[i];
    if (std::all_of(types.begin(), types.end(), [](std::int32_t value) { return value == 0; })) continue;
    out << i + 1 << " = [";
    for (std::size_t type = 0; type < types.size(); ++type) out << (type > 0 ? ", " : "") << types[type];
    out << "]\n";
  }
}

}  // namespace

std::string FormatMachine(const Machine& machine) {
  std::ostringstream out;
  out << "# Simulated CNC machine, written by tavrin_simcnc.\n"
         "# The format is described in examples/lathe.toml and simcnc/README.md.\n";
  for (std::size_t i = 0; i < machine.paths.size(); ++i) WritePath(out, machine.paths[i], i + 1);
  out << "\n[pmc]\n";
  for (const PmcArea& area : machine.pmc.areas) {
    for (std::size_t address = 0; address < area.bytes.size(); ++address) {
      if (area.bytes[address] != 0) out << area.letter << address << " = " << Hex(area.bytes[address]) << "\n";
    }
  }
  return out.str();
}

}  // namespace tavrin::simcnc::detail
