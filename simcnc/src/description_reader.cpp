// Reading the machine description file.  Every mistake is reported with the
// place it was found; unknown keys are mistakes too, so that a misspelt key
// does not pass unnoticed.
#include <toml++/toml.h>

#include <cstdint>
#include <initializer_list>
#include <set>
#include <utility>

#include "description_file.h"
#include "scaled_number.h"

namespace tavrin::simcnc::detail {

namespace {

class Reader {
 public:
  Reader(std::string source, std::string* error) : source_(std::move(source)), error_(error) {}

  bool ReadMachine(const toml::table& root, Machine* machine);

 private:
  bool Fail(const toml::source_region& where, const std::string& what);
  bool Fail(const toml::node& node, const std::string& what) { return Fail(node.source(), what); }
  bool CheckKeys(const toml::table& table, std::initializer_list<const char*> allowed, const std::string& context);
  bool Integer(const toml::node& node, long long low, long long high, const std::string& what, long long* out);
  bool Scaled(const toml::node& node, int default_decimals, const std::string& what, ScaledValue* out,
              std::int32_t* decimals);
  bool Number(std::string_view text, const toml::source_region& where, long long low, long long high,
              const std::string& what, long long* out);

  bool ReadPath(const toml::table& table, const std::string& context, Path* path);
  bool ReadFigures(const toml::node& node, const std::string& context, Path* path);
  bool ReadParameter(const toml::node& node, const std::string& context, Path* path);
  bool ReadParamValue(const toml::node& node, const std::string& what, int default_decimals, Parameter* parameter,
                      std::size_t slot);
  bool ReadMacros(const toml::node& node, const std::string& context, Path* path);
  bool ReadOffsets(const toml::node& node, const std::string& context, Path* path);
  bool ReadPmc(const toml::node& node, Pmc* pmc);

  std::string source_;
  std::string* error_;
};

bool Reader::Fail(const toml::source_region& where, const std::string& what) {
  if (error_ != nullptr) {
    *error_ = source_;
    if (where.begin.line != 0) {
      *error_ += ":" + std::to_string(where.begin.line) + ":" + std::to_string(where.begin.column);
    }
    *error_ += ": " + what;
  }
  return false;
}

bool Reader::CheckKeys(const toml::table& table, std::initializer_list<const char*> allowed,
                       const std::string& context) {
  for (auto&& [key, value] : table) {
    bool known = false;
    for (const char* name : allowed) known = known || key.str() == name;
    if (!known) {
      std::string list;
      for (const char* name : allowed) list += std::string(list.empty() ? "" : ", ") + name;
      return Fail(key.source(), context + "unknown key '" + std::string(key.str()) + "' (known: " + list + ")");
    }
  }
  return true;
}

bool Reader::Integer(const toml::node& node, long long low, long long high, const std::string& what,
                     long long* out) {
  const auto* integer = node.as_integer();
  if (integer == nullptr) return Fail(node, what + " must be a whole number");
  const long long value = integer->get();
  if (value < low || value > high) {
    return Fail(node, what + " " + std::to_string(value) + " is outside " + std::to_string(low) + ".." +
                          std::to_string(high));
  }
  *out = value;
  return true;
}

// A number key of a table ("10434", "1"): digits only, within low..high.
bool Reader::Number(std::string_view text, const toml::source_region& where, long long low, long long high,
                    const std::string& what, long long* out) {
  long long value = 0;
  bool digits = !text.empty() && text.size() <= 9;
  for (char c : text) {
    digits = digits && c >= '0' && c <= '9';
    if (digits) value = value * 10 + (c - '0');
  }
  if (!digits || value < low || value > high) {
    return Fail(where, what + " '" + std::string(text) + "' is not a number in " + std::to_string(low) + ".." +
                           std::to_string(high));
  }
  *out = value;
  return true;
}

// A value with decimal places: a whole number, a number with a fraction, a
// decimal text ("2.50", keeping its places), or { value = m, decimals = d }
// giving the CNC's pair itself.  With default_decimals 0..9 the value is
// brought to that many places (the pair form excepted).
bool Reader::Scaled(const toml::node& node, int default_decimals, const std::string& what, ScaledValue* out,
                    std::int32_t* decimals) {
  std::int64_t value = 0;
  int places = 0;
  if (const auto* table = node.as_table()) {
    if (!CheckKeys(*table, {"value", "decimals"}, what + ": ")) return false;
    const toml::node* m = table->get("value");
    const toml::node* d = table->get("decimals");
    if (m == nullptr || d == nullptr) return Fail(node, what + " needs both value and decimals");
    long long whole = 0;
    long long count = 0;
    if (!Integer(*m, INT32_MIN, INT32_MAX, what + " value", &whole)) return false;
    if (!Integer(*d, INT16_MIN, INT16_MAX, what + " decimals", &count)) return false;
    *out = ScaledValue{static_cast<std::int32_t>(whole), static_cast<std::int16_t>(count)};
    *decimals = static_cast<std::int32_t>(count);
    return true;
  }
  const std::string places_text =
      default_decimals >= 0 ? std::to_string(default_decimals) : std::to_string(kMaxTextDecimals);
  if (const auto* integer = node.as_integer()) {
    value = integer->get();
    if (default_decimals > 0 && !Rescale(&value, 0, default_decimals)) return Fail(node, what + " is too large");
    places = default_decimals > 0 ? default_decimals : 0;
  } else if (const auto* floating = node.as_floating_point()) {
    if (!ScaleDouble(floating->get(), default_decimals, &value, &places)) {
      return Fail(node, what + " has more than " + places_text + " decimal places, or is too large");
    }
  } else if (const auto* text = node.as_string()) {
    if (!ParseDecimalText(text->get(), &value, &places)) {
      return Fail(node, what + " \"" + text->get() + "\" is not a decimal number such as \"2.50\"");
    }
    if (default_decimals >= 0) {
      if (!Rescale(&value, places, default_decimals)) {
        return Fail(node, what + " has more than " + places_text + " decimal places");
      }
      places = default_decimals;
    }
  } else {
    return Fail(node, what + " must be a number, a decimal text or { value = ..., decimals = ... }");
  }
  if (value < INT32_MIN || value > INT32_MAX) return Fail(node, what + " does not fit in 32 bits");
  *out = ScaledValue{static_cast<std::int32_t>(value), static_cast<std::int16_t>(places)};
  *decimals = places;
  return true;
}

bool Reader::ReadMachine(const toml::table& root, Machine* machine) {
  if (!CheckKeys(root, {"path", "pmc"}, "")) return false;
  const toml::array* paths = root["path"].as_array();
  if (paths == nullptr || paths->empty()) {
    return Fail(root.source(), "the machine needs at least one [[path]] table");
  }
  if (paths->size() > static_cast<std::size_t>(kMaxPaths)) {
    return Fail((*paths)[kMaxPaths], "a machine has at most " + std::to_string(kMaxPaths) + " paths");
  }
  Machine result(static_cast<int>(paths->size()));
  for (std::size_t i = 0; i < paths->size(); ++i) {
    const std::string context = "path " + std::to_string(i + 1);
    const toml::table* table = (*paths)[i].as_table();
    if (table == nullptr) return Fail((*paths)[i], context + " must be a table");
    if (!ReadPath(*table, context, &result.paths[i])) return false;
  }
  if (const toml::node* pmc = root.get("pmc")) {
    if (!ReadPmc(*pmc, &result.pmc)) return false;
  }
  *machine = std::move(result);
  return true;
}

bool Reader::ReadPath(const toml::table& table, const std::string& context, Path* path) {
  if (!CheckKeys(table, {"axes", "figures", "status", "parameter", "macros", "offsets"}, context + ": ")) {
    return false;
  }
  if (const toml::node* axes = table.get("axes")) {
    const toml::array* names = axes->as_array();
    if (names == nullptr) return Fail(*axes, context + ": axes must be a list of names such as [\"X\", \"Z\"]");
    if (names->size() > static_cast<std::size_t>(kAxisSlots)) return Fail(*axes, context + ": at most 32 axes");
    for (const toml::node& entry : *names) {
      AxisName name;
      const auto* text = entry.as_string();
      if (text == nullptr || !AxisNameFromText(text->get(), &name)) {
        return Fail(entry, context + ": an axis name is one letter with an optional suffix, such as \"X\" or \"Z2\"");
      }
      path->axes.push_back(name);
    }
  }
  if (const toml::node* figures = table.get("figures")) {
    if (!ReadFigures(*figures, context, path)) return false;
  }
  if (const toml::node* status = table.get("status")) {
    const toml::array* fields = status->as_array();
    if (fields == nullptr || fields->size() > path->status.size()) {
      return Fail(*status, context + ": status must be a list of at most 16 whole numbers");
    }
    for (std::size_t i = 0; i < fields->size(); ++i) {
      long long value = 0;
      if (!Integer((*fields)[i], INT16_MIN, INT16_MAX, context + ": status field " + std::to_string(i), &value)) {
        return false;
      }
      path->status[i] = static_cast<short>(value);
    }
  }
  if (const toml::node* parameters = table.get("parameter")) {
    const toml::array* list = parameters->as_array();
    if (list == nullptr) return Fail(*parameters, context + ": parameters are [[path.parameter]] tables");
    for (const toml::node& entry : *list) {
      if (!ReadParameter(entry, context, path)) return false;
    }
  }
  if (const toml::node* macros = table.get("macros")) {
    if (!ReadMacros(*macros, context, path)) return false;
  }
  if (const toml::node* offsets = table.get("offsets")) {
    if (!ReadOffsets(*offsets, context, path)) return false;
  }
  return true;
}

bool Reader::ReadFigures(const toml::node& node, const std::string& context, Path* path) {
  const toml::table* table = node.as_table();
  if (table == nullptr) return Fail(node, context + ": figures must be { valid = .., input = .., output = .. }");
  if (!CheckKeys(*table, {"valid", "input", "output"}, context + ": figures: ")) return false;
  const std::pair<const char*, short*> fields[] = {
      {"valid", &path->valid_digits}, {"input", &path->input_decimals}, {"output", &path->output_decimals}};
  for (const auto& [name, target] : fields) {
    if (const toml::node* field = table->get(name)) {
      long long value = 0;
      if (!Integer(*field, INT16_MIN, INT16_MAX, context + ": figures " + name, &value)) return false;
      *target = static_cast<short>(value);
    }
  }
  return true;
}

bool Reader::ReadParameter(const toml::node& node, const std::string& context, Path* path) {
  const toml::table* table = node.as_table();
  if (table == nullptr) return Fail(node, context + ": a parameter must be a table");
  if (!CheckKeys(*table, {"number", "kind", "decimals", "value", "axes"}, context + ": parameter: ")) return false;
  const toml::node* number_node = table->get("number");
  if (number_node == nullptr) return Fail(node, context + ": a parameter needs its number");
  long long number = 0;
  if (!Integer(*number_node, 0, INT16_MAX, context + ": parameter number", &number)) return false;
  const std::string what = context + ": parameter " + std::to_string(number);
  if (path->parameters.count(static_cast<short>(number)) != 0) return Fail(*number_node, what + " is given twice");

  Parameter parameter;
  const auto* kind = table->get_as<std::string>("kind");
  if (kind == nullptr || !ParamKindFromName(kind->get(), &parameter.kind)) {
    return Fail(kind != nullptr ? static_cast<const toml::node&>(*kind) : node,
                what + ": kind must be one of \"bit\", \"byte\", \"word\", \"two-word\", \"real\"");
  }
  long long decimals = -1;
  if (const toml::node* given = table->get("decimals")) {
    if (parameter.kind != ParamKind::Real) return Fail(*given, what + ": only real parameters have decimals");
    if (!Integer(*given, 0, kMaxTextDecimals, what + ": decimals", &decimals)) return false;
  }
  parameter.decimals.fill(parameter.kind == ParamKind::Real && decimals > 0 ? static_cast<std::int32_t>(decimals) : 0);

  const toml::node* value = table->get("value");
  const toml::node* axes = table->get("axes");
  if ((value == nullptr) == (axes == nullptr)) {
    return Fail(node, what + ": give either value (a parameter of no axis) or axes (one value per axis)");
  }
  parameter.per_axis = axes != nullptr;
  if (value != nullptr) {
    if (!ReadParamValue(*value, what, static_cast<int>(decimals), &parameter, 0)) return false;
  } else {
    const toml::array* list = axes->as_array();
    if (list == nullptr || list->size() > static_cast<std::size_t>(kAxisSlots)) {
      return Fail(*axes, what + ": axes must be a list of at most 32 values, axis 1 first");
    }
    for (std::size_t i = 0; i < list->size(); ++i) {
      const std::string axis = what + ", axis " + std::to_string(i + 1);
      if (!ReadParamValue((*list)[i], axis, static_cast<int>(decimals), &parameter, i)) return false;
    }
  }
  path->parameters[static_cast<short>(number)] = parameter;
  return true;
}

bool Reader::ReadParamValue(const toml::node& node, const std::string& what, int default_decimals,
                            Parameter* parameter, std::size_t slot) {
  if (parameter->kind == ParamKind::Real) {
    ScaledValue scaled;
    if (!Scaled(node, default_decimals, what, &scaled, &parameter->decimals[slot])) return false;
    parameter->values[slot] = scaled.value;
    return true;
  }
  const auto* integer = node.as_integer();
  if (integer == nullptr) return Fail(node, what + ": the value must be a whole number");
  if (!FitParamValue(parameter->kind, integer->get(), &parameter->values[slot])) {
    return Fail(node, what + ": " + std::to_string(integer->get()) + " does not fit a " +
                          ParamKindName(parameter->kind) + " parameter");
  }
  return true;
}

bool Reader::ReadMacros(const toml::node& node, const std::string& context, Path* path) {
  const toml::table* table = node.as_table();
  if (table == nullptr) return Fail(node, context + ": macros must be a table of number = value");
  for (auto&& [key, value] : *table) {
    long long number = 0;
    if (!Number(key.str(), key.source(), kMacroFirst, kMacroLast, context + ": macro variable", &number)) return false;
    ScaledValue scaled;
    std::int32_t decimals = 0;
    if (!Scaled(value, -1, context + ": macro variable " + std::to_string(number), &scaled, &decimals)) return false;
    path->SetMacro(static_cast<std::int32_t>(number), scaled);
  }
  return true;
}

bool Reader::ReadOffsets(const toml::node& node, const std::string& context, Path* path) {
  const toml::table* table = node.as_table();
  if (table == nullptr) return Fail(node, context + ": offsets must be a table");
  long long count = kDefaultOffsetCount;
  if (const toml::node* given = table->get("count")) {
    if (!Integer(*given, 0, kMaxOffsetCount, context + ": offset count", &count)) return false;
  }
  path->SetOffsetCount(static_cast<int>(count));
  for (auto&& [key, value] : *table) {
    if (key.str() == "count") continue;
    long long number = 0;
    if (!Number(key.str(), key.source(), 1, count, context + ": offset number (up to the count)", &number)) return false;
    const std::string what = context + ": offset " + std::to_string(number);
    const toml::array* types = value.as_array();
    if (types == nullptr || types->size() > static_cast<std::size_t>(kOffsetTypes)) {
      return Fail(value, what + " must be a list of at most 10 values, type 0 first");
    }
    for (std::size_t type = 0; type < types->size(); ++type) {
      long long entry = 0;
      if (!Integer((*types)[type], INT32_MIN, INT32_MAX, what + " type " + std::to_string(type), &entry)) {
        return false;
      }
      path->offsets[static_cast<std::size_t>(number - 1)][type] = static_cast<std::int32_t>(entry);
    }
  }
  return true;
}

// PMC bytes by address, "D9550" = 0x04, or a list of bytes from that address
// on, "E7996" = [0x65, 0, 0, 0].  Each byte may be given once.
bool Reader::ReadPmc(const toml::node& node, Pmc* pmc) {
  const toml::table* table = node.as_table();
  if (table == nullptr) return Fail(node, "pmc must be a table of address = byte");
  std::set<std::pair<char, unsigned>> given;
  for (auto&& [key, value] : *table) {
    const std::string address(key.str());
    PmcArea* area = address.empty() ? nullptr : pmc->ByLetter(address[0]);
    long long start = 0;
    if (area == nullptr) {
      return Fail(key.source(), "pmc: '" + address + "' is not an address such as D9550 (letters G F Y X A R T K C D E)");
    }
    if (!Number(address.substr(1), key.source(), 0, static_cast<long long>(area->bytes.size()) - 1,
                "pmc: " + address + ": byte address", &start)) {
      return false;
    }
    const toml::array* list = value.as_array();
    const std::size_t count = list != nullptr ? list->size() : 1;
    if (count == 0 || start + static_cast<long long>(count) > static_cast<long long>(area->bytes.size())) {
      return Fail(value, "pmc: " + address + ": the bytes must be at least one and lie inside the area");
    }
    for (std::size_t i = 0; i < count; ++i) {
      const toml::node& byte = list != nullptr ? (*list)[i] : value;
      const auto at = static_cast<unsigned>(start + static_cast<long long>(i));
      const std::string name = area->letter + std::to_string(at);
      long long stored = 0;
      if (!Integer(byte, 0, 255, "pmc: " + name, &stored)) return false;
      if (!given.insert({area->letter, at}).second) return Fail(byte, "pmc: " + name + " is given twice");
      area->bytes[at] = static_cast<std::uint8_t>(stored);
    }
  }
  return true;
}

}  // namespace

bool ParseMachine(const std::string& text, const std::string& source, Machine* machine, std::string* error) {
  toml::table root;
  try {
    root = toml::parse(text, source);
  } catch (const toml::parse_error& failure) {
    if (error != nullptr) {
      const auto& where = failure.source().begin;
      *error = source + ":" + std::to_string(where.line) + ":" + std::to_string(where.column) + ": " +
               std::string(failure.description());
    }
    return false;
  }
  return Reader(source, error).ReadMachine(root, machine);
}

}  // namespace tavrin::simcnc::detail
