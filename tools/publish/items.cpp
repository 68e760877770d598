#include "items.h"

#include <toml++/toml.h>

#include <cstdint>
#include <fstream>
#include <set>
#include <sstream>

#include "tavrin/nc/cnc_params.h"
#include "tavrin/nc/macro_vars.h"
#include "tavrin/nc/pmc.h"
#include "tavrin/nc/tool_offsets.h"

namespace tavrin::cli::publish {

const char* const kOffsetFields[10] = {"wear-x",     "wear-z",     "wear-r",     "wear-t",     "wear-y",
                                       "geometry-x", "geometry-z", "geometry-r", "geometry-t", "geometry-y"};

namespace {

struct ParamType {
  const char* name;
  short code;
};
const ParamType kParamTypes[] = {{"bit", TAVRIN_PARAM_BIT},     {"byte", TAVRIN_PARAM_BYTE},
                                 {"word", TAVRIN_PARAM_WORD},   {"two-word", TAVRIN_PARAM_2WORD},
                                 {"real", TAVRIN_PARAM_REAL}};

class Reader {
 public:
  Reader(std::string source, std::string* error) : source_(std::move(source)), error_(error) {}

  bool ReadAll(const toml::table& root, std::vector<Item>* items);

 private:
  bool Fail(const toml::source_region& where, const std::string& what) {
    *error_ = source_ + ":" + std::to_string(where.begin.line) + ":" + std::to_string(where.begin.column) + ": " + what;
    return false;
  }
  bool ReadItem(const toml::table& table, Item* item);
  bool Text(const toml::table& table, const char* key, bool required, std::string* out);
  bool Whole(const toml::table& table, const char* key, long long low, long long high, long long* out);
  bool ReadParam(const toml::table& table, Item* item);
  bool ReadPmc(const toml::table& table, Item* item);
  bool ReadOffset(const toml::table& table, Item* item);

  std::string source_;
  std::string* error_;
  std::string context_;
};

bool ValidName(const std::string& name) {
  if (name.empty() || name.size() > kMaxItemName) return false;
  for (char c : name) {
    bool ok = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' || c == '-' ||
              c == '.';
    if (!ok) return false;
  }
  return true;
}

bool Reader::ReadAll(const toml::table& root, std::vector<Item>* items) {
  for (auto&& [key, value] : root) {
    if (key.str() != "item") return Fail(key.source(), "unknown key '" + std::string(key.str()) + "' (items are [[item]] tables)");
  }
  const toml::node* list = root.get("item");
  if (list == nullptr) return true;  // an empty file publishes the machine's own topics only
  const toml::array* array = list->as_array();
  if (array == nullptr) return Fail(list->source(), "'item' must be [[item]] tables");
  std::set<std::string> names;
  std::vector<Item> read;
  for (const toml::node& node : *array) {
    const toml::table* table = node.as_table();
    if (table == nullptr) return Fail(node.source(), "'item' must be [[item]] tables");
    if (read.size() == kMaxItems) return Fail(node.source(), "more than " + std::to_string(kMaxItems) + " items");
    Item item;
    item.line = static_cast<int>(node.source().begin.line);
    if (!ReadItem(*table, &item)) return false;
    if (!names.insert(item.name).second) return Fail(node.source(), "item '" + item.name + "': the name is used twice");
    read.push_back(item);
  }
  *items = std::move(read);
  return true;
}

bool Reader::Text(const toml::table& table, const char* key, bool required, std::string* out) {
  const toml::node* node = table.get(key);
  if (node == nullptr) {
    if (required) return Fail(table.source(), context_ + "needs '" + key + "'");
    return true;
  }
  if (!node->is_string()) return Fail(node->source(), context_ + "'" + key + "' must be text");
  *out = **node->as_string();
  return true;
}

bool Reader::Whole(const toml::table& table, const char* key, long long low, long long high, long long* out) {
  const toml::node* node = table.get(key);
  if (node == nullptr) return Fail(table.source(), context_ + "needs '" + key + "'");
  if (!node->is_integer() || **node->as_integer() < low || **node->as_integer() > high) {
    return Fail(node->source(), context_ + "'" + key + "' must be a whole number from " + std::to_string(low) + " to " +
                                    std::to_string(high));
  }
  *out = **node->as_integer();
  return true;
}

bool Reader::ReadItem(const toml::table& table, Item* item) {
  context_ = "item: ";
  if (!Text(table, "name", true, &item->name)) return false;
  if (!ValidName(item->name)) {
    return Fail(table.get("name")->source(), "item name '" + item->name + "': use 1 to " + std::to_string(kMaxItemName) +
                                                 " letters, digits, '_', '-' or '.'");
  }
  context_ = "item '" + item->name + "': ";
  std::string kind;
  if (!Text(table, "kind", true, &kind)) return false;
  std::vector<const char*> keys;
  if (kind == "param") {
    item->kind = Item::kParam;
    keys = {"name", "kind", "number", "type", "axis"};
  } else if (kind == "pmc") {
    item->kind = Item::kPmc;
    keys = {"name", "kind", "address", "type"};
  } else if (kind == "macro") {
    item->kind = Item::kMacro;
    keys = {"name", "kind", "number"};
  } else if (kind == "offset") {
    item->kind = Item::kOffset;
    keys = {"name", "kind", "number", "field"};
  } else {
    return Fail(table.get("kind")->source(), context_ + "unknown kind '" + kind + "' (param, pmc, macro or offset)");
  }
  for (auto&& [key, value] : table) {
    bool known = false;
    for (const char* allowed : keys) known = known || key.str() == allowed;
    if (!known) return Fail(key.source(), context_ + "unknown key '" + std::string(key.str()) + "' for kind " + kind);
  }
  switch (item->kind) {
    case Item::kParam: return ReadParam(table, item);
    case Item::kPmc: return ReadPmc(table, item);
    case Item::kOffset: return ReadOffset(table, item);
    case Item::kMacro: break;
  }
  long long number = 0;
  if (!Whole(table, "number", 1, 99999, &number)) return false;
  item->number = static_cast<long>(number);
  return true;
}

bool Reader::ReadParam(const toml::table& table, Item* item) {
  const toml::node* number = table.get("number");
  if (number == nullptr) return Fail(table.source(), context_ + "needs 'number'");
  std::string text;
  if (number->is_integer()) {
    text = std::to_string(**number->as_integer());
  } else if (number->is_string()) {
    text = **number->as_string();
  } else {
    return Fail(number->source(), context_ + "'number' is a parameter number such as 1420, or \"3115.0\" for a bit");
  }
  std::string error;
  if (!ParseParamNumber(text, &item->param, &error)) return Fail(number->source(), context_ + error);
  std::string type;
  if (!Text(table, "type", true, &type)) return false;
  bool known = false;
  for (const ParamType& t : kParamTypes) {
    if (type == t.name) {
      item->param_type = t.code;
      known = true;
    }
  }
  if (!known) return Fail(table.get("type")->source(), context_ + "unknown type '" + type + "' (bit, byte, word, two-word, real)");
  bool bit_type = item->param_type == TAVRIN_PARAM_BIT;
  if (bit_type != (item->param.bit >= 0)) {
    return Fail(number->source(), context_ + (bit_type ? "a bit parameter is written \"NUMBER.BIT\", such as \"3115.0\""
                                                        : "only bit parameters take .BIT"));
  }
  long long axis = 0;
  if (table.get("axis") != nullptr && !Whole(table, "axis", 0, 32, &axis)) return false;
  item->axis = static_cast<short>(axis);
  return true;
}

bool Reader::ReadPmc(const toml::table& table, Item* item) {
  std::string address;
  if (!Text(table, "address", true, &address)) return false;
  std::string error;
  if (!ParsePmcAddress(address, &item->pmc, &error)) return Fail(table.get("address")->source(), context_ + error);
  std::string type = "byte";
  if (!Text(table, "type", false, &type)) return false;
  if (type == "byte") {
    item->pmc_bytes = 1;
  } else if (type == "word") {
    item->pmc_bytes = 2;
  } else if (type == "two-word") {
    item->pmc_bytes = 4;
  } else {
    return Fail(table.get("type")->source(), context_ + "unknown type '" + type + "' (byte, word, two-word)");
  }
  if (item->pmc.bit >= 0 && table.get("type") != nullptr) {
    return Fail(table.get("type")->source(), context_ + "a bit address (" + item->pmc.Text() + ") takes no type");
  }
  return true;
}

bool Reader::ReadOffset(const toml::table& table, Item* item) {
  long long number = 0;
  if (!Whole(table, "number", 1, 999, &number)) return false;
  item->number = static_cast<long>(number);
  std::string field;
  if (!Text(table, "field", true, &field)) return false;
  for (int i = 0; i < 10; ++i) {
    if (field == kOffsetFields[i]) {
      item->field = i;
      return true;
    }
  }
  return Fail(table.get("field")->source(), context_ + "unknown field '" + field + "' (wear-x, wear-z, wear-r, wear-t, "
                                                       "wear-y, geometry-x, geometry-z, geometry-r, geometry-t, geometry-y)");
}

}  // namespace

bool ParseItems(const std::string& text, const std::string& source, std::vector<Item>* items, std::string* error) {
  toml::table root;
  try {
    root = toml::parse(text, source);
  } catch (const toml::parse_error& failure) {
    const auto& where = failure.source().begin;
    *error = source + ":" + std::to_string(where.line) + ":" + std::to_string(where.column) + ": " +
             std::string(failure.description());
    return false;
  }
  return Reader(source, error).ReadAll(root, items);
}

bool LoadItems(const std::string& path, std::vector<Item>* items, std::string* error) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    *error = path + ": cannot be read";
    return false;
  }
  std::ostringstream text;
  text << in.rdbuf();
  return ParseItems(text.str(), path, items, error);
}

short ReadItem(unsigned short handle, const Item& item, Json* value) {
  short code = 0;
  switch (item.kind) {
    case Item::kParam: {
      short number = item.param.number;
      switch (item.param_type) {
        case TAVRIN_PARAM_BIT: {
          bool bit = false;
          code = lib_ReadCncParam_Bit(handle, number, item.param.bit, item.axis, &bit);
          if (code == 0) *value = bit;
          return code;
        }
        case TAVRIN_PARAM_BYTE: {
          char byte = 0;
          code = lib_ReadCncParam_Byte(handle, number, item.axis, &byte);
          if (code == 0) *value = static_cast<int>(static_cast<signed char>(byte));
          return code;
        }
        case TAVRIN_PARAM_WORD: {
          short word = 0;
          code = lib_ReadCncParam_Word(handle, number, item.axis, &word);
          if (code == 0) *value = word;
          return code;
        }
        case TAVRIN_PARAM_2WORD: {
          tavrin_long two = 0;
          code = lib_ReadCncParam_2Word(handle, number, item.axis, &two);
          if (code == 0) *value = two;
          return code;
        }
        default: {
          double real = 0.0;
          code = lib_ReadCncParam_Real(handle, number, item.axis, &real);
          if (code == 0) *value = real;
          return code;
        }
      }
    }
    case Item::kPmc: {
      const PmcAddress& a = item.pmc;
      if (a.bit >= 0) {
        bool bit = false;
        code = lib_ReadPmcParam_Bit(handle, a.letter, a.byte, a.bit, &bit);
        if (code == 0) *value = bit;
      } else if (item.pmc_bytes == 1) {
        char byte = 0;
        code = lib_ReadPmcParam_Byte(handle, a.letter, a.byte, &byte);
        if (code == 0) *value = static_cast<int>(static_cast<unsigned char>(byte));
      } else if (item.pmc_bytes == 2) {
        short word = 0;
        code = lib_ReadPmcParam_Word(handle, a.letter, a.byte, &word);
        if (code == 0) *value = word;
      } else {
        tavrin_long two = 0;
        code = lib_ReadPmcParam_2Word(handle, a.letter, a.byte, &two);
        if (code == 0) *value = two;
      }
      return code;
    }
    case Item::kMacro: {
      double macro = 0.0;
      code = lib_ReadPCode(handle, static_cast<tavrin_long>(item.number), &macro);
      if (code == 0) *value = macro;
      return code;
    }
    case Item::kOffset: break;
  }
  using Read = short(TAVRIN_CALL*)(unsigned short, short, double*);
  static const Read kReads[10] = {lib_ReadOffsetWearX,     lib_ReadOffsetWearZ,     lib_ReadOffsetWearR,     nullptr,
                                  lib_ReadOffsetWearY,     lib_ReadOffsetGeometryX, lib_ReadOffsetGeometryZ,
                                  lib_ReadOffsetGeometryR, nullptr,                 lib_ReadOffsetGeometryY};
  auto number = static_cast<short>(item.number);
  if (kReads[item.field] == nullptr) {  // T values are whole numbers
    tavrin_long t = 0;
    code = item.field == 3 ? lib_ReadOffsetWearT(handle, number, &t) : lib_ReadOffsetGeometryT(handle, number, &t);
    if (code == 0) *value = t;
    return code;
  }
  double offset = 0.0;
  code = kReads[item.field](handle, number, &offset);
  if (code == 0) *value = offset;
  return code;
}

std::string DescribeItem(const Item& item) {
  switch (item.kind) {
    case Item::kParam: {
      std::string text = "parameter " + std::to_string(item.param.number);
      if (item.param.bit >= 0) text += "." + std::to_string(item.param.bit);
      if (item.axis != 0) text += " axis " + std::to_string(item.axis);
      for (const ParamType& t : kParamTypes) {
        if (t.code == item.param_type) text += std::string(" (") + t.name + ")";
      }
      return text;
    }
    case Item::kPmc:
      return "PMC " + item.pmc.Text() +
             (item.pmc.bit >= 0 ? "" : item.pmc_bytes == 1 ? " (byte)" : item.pmc_bytes == 2 ? " (word)" : " (two-word)");
    case Item::kMacro: return "macro variable #" + std::to_string(item.number);
    case Item::kOffset: break;
  }
  return "tool offset " + std::to_string(item.number) + " " + kOffsetFields[item.field];
}

}  // namespace tavrin::cli::publish
