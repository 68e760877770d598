// NC access commands: paths, CNC parameters, PMC data, macro variables, tool
// offsets and the name of a FOCAS2 code.  Each is one or a few calls of the
// library's lib_ functions.
#include <cmath>
#include <cstdint>
#include <memory>

#include "commands.h"
#include "parse.h"
#include "tavrin/nc/cnc_params.h"
#include "tavrin/nc/error_report.h"
#include "tavrin/nc/handles.h"
#include "tavrin/nc/macro_vars.h"
#include "tavrin/nc/pmc.h"
#include "tavrin/nc/tool_offsets.h"

namespace tavrin::cli {

namespace {

// Macro variables and offsets travel as a 32-bit whole number and a count of
// decimals, so no magnitude above this one can be stored at all.
constexpr double kLargestStorable = 2147483647.0;

void RequireStorable(double value, const std::string& given, const std::string& what) {
  Require(std::fabs(value) <= kLargestStorable,
          given + " does not fit " + what + ": the CNC keeps at most 2147483647 (as a 32-bit whole number)");
}

// What a write did, from the value read back: "WHAT set to V", or, when the
// CNC keeps a different value (rounded to its increment, cut to its
// range), "WHAT: asked for A, the CNC stored S".
std::string StoredText(const std::string& what, double asked, double stored) {
  if (stored == asked) return what + " set to " + NumberText(stored);
  return what + ": asked for " + NumberText(asked) + ", the CNC stored " + NumberText(stored);
}

constexpr int kAllAxes = 32;

// --- CNC parameters -------------------------------------------------------------

struct ParamArgs {
  std::string number;
  std::string kind;
  std::string axis = "0";
  std::string value;
  bool generic = false;
};

short KindCode(const std::string& kind) {
  if (kind == "bit") return TAVRIN_PARAM_BIT;
  if (kind == "byte") return TAVRIN_PARAM_BYTE;
  if (kind == "word") return TAVRIN_PARAM_WORD;
  if (kind == "two-word") return TAVRIN_PARAM_2WORD;
  return TAVRIN_PARAM_REAL;
}

// The value as the command shows it: bytes and words as the CNC keeps them.
struct ParamPlan {
  ParamNumber number;
  std::string kind;
  short axis = 0;  // -1: all axes
  bool generic = false;
  double value = 0.0;  // for writes, already checked against the kind

  std::string Name() const {
    std::string name = "parameter " + std::to_string(number.number);
    if (number.bit >= 0) name += "." + std::to_string(number.bit);
    return name;
  }
  // The generic functions' number: the bit as the first decimal.
  double GenericNumber() const { return number.number + (number.bit > 0 ? number.bit / 10.0 : 0.0); }
};

ParamPlan CheckParam(const ParamArgs& args, bool write) {
  ParamPlan plan;
  std::string error;
  Require(ParseParamNumber(args.number, &plan.number, &error), error);
  plan.kind = args.kind;
  plan.generic = args.generic;
  Require(plan.kind != "bit" || plan.number.bit >= 0,
          "a bit parameter is written NUMBER.BIT, such as " + std::to_string(plan.number.number) + ".0");
  Require(plan.kind == "bit" || plan.number.bit < 0, "only bit parameters take .BIT");
  if (args.axis == "all") {
    Require(!write, "--axis all reads only: write one axis at a time");
    Require(!plan.generic, "--axis all needs the typed reads (leave out --generic)");
    plan.axis = -1;
  } else {
    long long axis = 0;
    Require(ParseInteger(args.axis, 0, kAllAxes, &axis, &error), "--axis: ", error);
    plan.axis = static_cast<short>(axis);
  }
  if (write) {
    if (plan.kind == "bit") {
      bool on = false;
      Require(ParseSwitch(args.value, &on, &error), error);
      plan.value = on ? 1.0 : 0.0;
    } else if (plan.kind == "real") {
      Require(ParseNumber(args.value, &plan.value, &error), error);
    } else {
      long long min = plan.kind == "byte" ? -128 : plan.kind == "word" ? -32768 : INT32_MIN;
      long long max = plan.kind == "byte" ? 255 : plan.kind == "word" ? 65535 : INT32_MAX;
      long long value = 0;
      Require(ParseInteger(args.value, min, max, &value, &error), "a " + plan.kind + " value: ", error);
      plan.value = static_cast<double>(value);
    }
  }
  return plan;
}

// Reads every axis (axis -1) or one; fills values.
short ReadParam(unsigned short handle, const ParamPlan& plan, std::vector<double>* values) {
  int count = plan.axis == -1 ? kAllAxes : 1;
  values->assign(count, 0.0);
  short code = 0;
  if (plan.generic) {
    (*values)[0] = lib_ReadCncParam(handle, plan.GenericNumber(), plan.axis, KindCode(plan.kind), &code);
    return code;
  }
  short n = plan.number.number;
  if (plan.kind == "bit") {
    bool read[kAllAxes] = {};
    code = lib_ReadCncParam_Bit(handle, n, plan.number.bit, plan.axis, read);
    for (int i = 0; i < count; ++i) (*values)[i] = read[i] ? 1 : 0;
  } else if (plan.kind == "byte") {
    char read[kAllAxes] = {};
    code = lib_ReadCncParam_Byte(handle, n, plan.axis, read);
    for (int i = 0; i < count; ++i) (*values)[i] = static_cast<signed char>(read[i]);
  } else if (plan.kind == "word") {
    short read[kAllAxes] = {};
    code = lib_ReadCncParam_Word(handle, n, plan.axis, read);
    for (int i = 0; i < count; ++i) (*values)[i] = read[i];
  } else if (plan.kind == "two-word") {
    tavrin_long read[kAllAxes] = {};
    code = lib_ReadCncParam_2Word(handle, n, plan.axis, read);
    for (int i = 0; i < count; ++i) (*values)[i] = read[i];
  } else {
    double read[kAllAxes] = {};
    code = lib_ReadCncParam_Real(handle, n, plan.axis, read);
    for (int i = 0; i < count; ++i) (*values)[i] = read[i];
  }
  return code;
}

short WriteParam(unsigned short handle, const ParamPlan& plan) {
  if (plan.generic) return lib_WriteCncParam(handle, plan.GenericNumber(), plan.axis, KindCode(plan.kind), plan.value);
  short n = plan.number.number;
  auto whole = static_cast<long long>(plan.value);
  if (plan.kind == "bit") return lib_WriteCncParam_Bit(handle, n, plan.number.bit, plan.axis, plan.value == 1.0);
  if (plan.kind == "byte") return lib_WriteCncParam_Byte(handle, n, plan.axis, static_cast<char>(whole));
  if (plan.kind == "word") return lib_WriteCncParam_Word(handle, n, plan.axis, static_cast<short>(whole));
  if (plan.kind == "two-word") return lib_WriteCncParam_2Word(handle, n, plan.axis, static_cast<tavrin_long>(whole));
  return lib_WriteCncParam_Real(handle, n, plan.axis, plan.value);
}

// Reals as numbers with a fraction, every other kind as a whole number.
Json ParamJson(const ParamPlan& plan, double value) {
  if (plan.kind == "real") return value;
  return static_cast<long long>(value);
}

const char* ReadFunctionName(const ParamPlan& plan) {
  if (plan.generic) return "lib_ReadCncParam";
  if (plan.kind == "bit") return "lib_ReadCncParam_Bit";
  if (plan.kind == "byte") return "lib_ReadCncParam_Byte";
  if (plan.kind == "word") return "lib_ReadCncParam_Word";
  if (plan.kind == "two-word") return "lib_ReadCncParam_2Word";
  return "lib_ReadCncParam_Real";
}

int ShowParam(Session& session, Output& out, const ParamPlan& plan) {
  std::vector<double> values;
  short code = ReadParam(session.handle(), plan, &values);
  if (code != 0) return out.FailCode(code, std::string(ReadFunctionName(plan)) + " of " + plan.Name());
  out.data()["parameter"] = plan.number.number;
  if (plan.number.bit >= 0) out.data()["bit"] = plan.number.bit;
  out.data()["kind"] = plan.kind;
  if (plan.axis == -1) {
    out.data()["axis"] = "all";
    Json shown = Json::array();
    for (double v : values) shown.push_back(ParamJson(plan, v));
    out.data()["values"] = shown;
    // Trailing axes that read 0 are shown as one row.
    std::size_t last = values.size();
    while (last > 1 && values[last - 1] == 0.0) --last;
    Table table{{"axis", "value"}, {}};
    for (std::size_t i = 0; i < last; ++i) table.rows.push_back({std::to_string(i + 1), NumberText(values[i])});
    if (last < values.size()) {
      table.rows.push_back({std::to_string(last + 1) + "-" + std::to_string(values.size()), "0"});
    }
    out.Line(plan.Name() + " (" + plan.kind + "), all axes:");
    out.Print(table);
  } else {
    out.data()["axis"] = plan.axis;
    out.data()["value"] = ParamJson(plan, values[0]);
    std::string where = plan.axis == 0 ? "" : " axis " + std::to_string(plan.axis);
    out.Line(plan.Name() + " (" + plan.kind + ")" + where + ": " + NumberText(values[0]));
  }
  return kExitOk;
}

void AddParamCommands(CLI::App& app, Context& context) {
  CLI::App* param = app.add_subcommand("param", "CNC parameters of every kind, one axis or all");
  param->require_subcommand(1);
  const std::vector<std::string> kinds{"bit", "byte", "word", "two-word", "real"};
  auto define = [&](CLI::App* command, ParamArgs& args, bool write) {
    command->add_option("number", args.number, "NUMBER, or NUMBER.BIT for a bit parameter (3115.0)")->required();
    if (write) command->add_option("value", args.value, "the new value (on/off for a bit)")->required();
    command->add_option("-k,--kind", args.kind, "bit, byte, word, two-word or real")
        ->required()
        ->check(CLI::IsMember(kinds));
    command->add_option("-a,--axis", args.axis,
                        write ? "axis 1..32, or 0 for a parameter of no axis (default 0)"
                              : "axis 1..32, 0 for a parameter of no axis (default), or all");
    command->add_flag("-g,--generic", args.generic,
                      "use the generic functions lib_ReadCncParam / lib_WriteCncParam, which carry the bit as the "
                      "number's first decimal");
  };

  auto get_args = std::make_shared<ParamArgs>();
  CLI::App* get = param->add_subcommand("get", "read a CNC parameter");
  define(get, *get_args, false);
  get->callback([&context, get_args] {
    ParamPlan plan = CheckParam(*get_args, false);
    context.with_cnc = [plan](Session& session, Output& out) { return ShowParam(session, out, plan); };
  });

  auto set_args = std::make_shared<ParamArgs>();
  CLI::App* set = param->add_subcommand("set", "write a CNC parameter");
  define(set, *set_args, true);
  set->callback([&context, set_args] {
    ParamPlan plan = CheckParam(*set_args, true);
    context.with_cnc = [plan](Session& session, Output& out) {
      short code = WriteParam(session.handle(), plan);
      if (code != 0) return out.FailCode(code, "writing " + plan.Name());
      out.data()["parameter"] = plan.number.number;
      if (plan.number.bit >= 0) out.data()["bit"] = plan.number.bit;
      out.data()["kind"] = plan.kind;
      out.data()["axis"] = plan.axis;
      out.data()["value"] = ParamJson(plan, plan.value);
      std::string where = plan.axis == 0 ? "" : " axis " + std::to_string(plan.axis);
      out.Line(plan.Name() + " (" + plan.kind + ")" + where + " set to " + NumberText(plan.value));
      return static_cast<int>(kExitOk);
    };
  });
}

// --- PMC -------------------------------------------------------------------------

struct PmcArgs {
  std::string address;
  std::string value;
  std::string size;
  int path = 1;
  bool shift = false;
};

struct PmcPlan {
  PmcAddress address;
  std::string size;  // bit, byte, word, two-word
  long long value = 0;
};

PmcPlan CheckPmc(const PmcArgs& args, bool write) {
  PmcPlan plan;
  std::string error;
  Require(ParsePmcAddress(args.address, &plan.address, &error), error);
  if (plan.address.bit >= 0) {
    Require(args.size.empty() || args.size == "bit", "a bit address (" + plan.address.Text() + ") takes no --size");
    plan.size = "bit";
  } else {
    plan.size = args.size.empty() ? "byte" : args.size;
    Require(plan.size != "bit", "--size bit needs an address with a bit, such as D9550.2");
  }
  if (write) {
    if (plan.size == "bit") {
      bool on = false;
      Require(ParseSwitch(args.value, &on, &error), error);
      plan.value = on ? 1 : 0;
    } else {
      long long min = plan.size == "byte" ? -128 : plan.size == "word" ? -32768 : INT32_MIN;
      long long max = plan.size == "byte" ? 255 : plan.size == "word" ? 65535 : INT32_MAX;
      Require(ParseInteger(args.value, min, max, &plan.value, &error), "a PMC " + plan.size + " value: ", error);
    }
  }
  return plan;
}

std::string Hex(unsigned long long value, int digits) {
  static const char kDigits[] = "0123456789ABCDEF";
  std::string text;
  for (int i = digits - 1; i >= 0; --i) text += kDigits[(value >> (4 * i)) & 0xF];
  return "0x" + text;
}

int ShowPmc(Session& session, Output& out, const PmcPlan& plan) {
  const PmcAddress& a = plan.address;
  unsigned short h = session.handle();
  short code = 0;
  long long value = 0;
  std::string detail;
  if (plan.size == "bit") {
    bool bit = false;
    code = lib_ReadPmcParam_Bit(h, a.letter, a.byte, a.bit, &bit);
    value = bit ? 1 : 0;
  } else if (plan.size == "byte") {
    char byte = 0;
    code = lib_ReadPmcParam_Byte(h, a.letter, a.byte, &byte);
    value = static_cast<unsigned char>(byte);
    std::string bits;
    for (int i = 7; i >= 0; --i) bits += ((value >> i) & 1) ? '1' : '0';
    detail = " (" + Hex(value, 2) + ", bits 7..0 " + bits + ")";
  } else if (plan.size == "word") {
    short word = 0;
    code = lib_ReadPmcParam_Word(h, a.letter, a.byte, &word);
    value = word;
    detail = " (" + Hex(static_cast<unsigned short>(word), 4) + ")";
  } else {
    tavrin_long two = 0;
    code = lib_ReadPmcParam_2Word(h, a.letter, a.byte, &two);
    value = two;
    detail = " (" + Hex(static_cast<std::uint32_t>(two), 8) + ")";
  }
  if (code != 0) return out.FailCode(code, "reading PMC " + plan.size + " " + a.Text());
  out.data()["address"] = a.Text();
  out.data()["size"] = plan.size;
  out.data()["value"] = value;
  out.Line(a.Text() + (plan.size == "bit" ? "" : " (" + plan.size + ")") + " = " + std::to_string(value) + detail);
  return kExitOk;
}

int WritePmc(Session& session, Output& out, const PmcPlan& plan) {
  const PmcAddress& a = plan.address;
  unsigned short h = session.handle();
  short code = 0;
  if (plan.size == "bit") {
    code = lib_WritePmcParam_Bit(h, a.letter, a.byte, a.bit, plan.value == 1);
  } else if (plan.size == "byte") {
    code = lib_WritePmcParam_Byte(h, a.letter, a.byte, static_cast<char>(plan.value));
  } else if (plan.size == "word") {
    code = lib_WritePmcParam_Word(h, a.letter, a.byte, static_cast<short>(plan.value));
  } else {
    code = lib_WritePmcParam_2Word(h, a.letter, a.byte, static_cast<tavrin_long>(plan.value));
  }
  if (code != 0) return out.FailCode(code, "writing PMC " + plan.size + " " + a.Text());
  out.data()["address"] = a.Text();
  out.data()["size"] = plan.size;
  out.data()["value"] = plan.value;
  out.Line(a.Text() + " set to " + std::to_string(plan.value));
  return kExitOk;
}

void AddPmcCommands(CLI::App& app, Context& context) {
  CLI::App* pmc = app.add_subcommand("pmc", "PMC bits, bytes, words and two-words by address (D9550.2, R6836)");
  pmc->require_subcommand(1);
  const std::vector<std::string> sizes{"byte", "word", "two-word"};

  auto get_args = std::make_shared<PmcArgs>();
  CLI::App* get = pmc->add_subcommand("get", "read a PMC bit (LETTER BYTE.BIT) or byte, word, two-word");
  get->add_option("address", get_args->address, "D9550.2 for a bit, R6836 for a byte, word or two-word")->required();
  get->add_option("-s,--size", get_args->size, "byte (default), word or two-word")->check(CLI::IsMember(sizes));
  get->callback([&context, get_args] {
    PmcPlan plan = CheckPmc(*get_args, false);
    context.with_cnc = [plan](Session& session, Output& out) { return ShowPmc(session, out, plan); };
  });

  auto set_args = std::make_shared<PmcArgs>();
  CLI::App* set = pmc->add_subcommand("set", "write a PMC bit (read, change, write its byte) or byte, word, two-word");
  set->add_option("address", set_args->address, "D9550.2 for a bit, R6836 for a byte, word or two-word")->required();
  set->add_option("value", set_args->value, "on/off for a bit, else a whole number (0x.. and 0b.. too)")->required();
  set->add_option("-s,--size", set_args->size, "byte (default), word or two-word")->check(CLI::IsMember(sizes));
  set->callback([&context, set_args] {
    PmcPlan plan = CheckPmc(*set_args, true);
    context.with_cnc = [plan](Session& session, Output& out) { return WritePmc(session, out, plan); };
  });

  auto address_args = std::make_shared<PmcArgs>();
  CLI::App* address = pmc->add_subcommand(
      "address", "the address of the same signal in another path's block (lib_GetPmcAddress, no CNC call)");
  address->add_option("address", address_args->address, "the path 1 address, such as F0.3")->required();
  address->add_option("-p,--for-path", address_args->path, "the path whose address is wanted (1..3)")->required();
  address->add_flag("--shift", address_args->shift, "the shifted layout (2000 per path below address 4000)");
  address->callback([&context, address_args] {
    PmcAddress a;
    std::string error;
    Require(ParsePmcAddress(address_args->address, &a, &error), error);
    Require(a.byte <= 32767, "the address must lie in 0..32767");
    short path = static_cast<short>(std::max(-32768, std::min(32767, address_args->path)));
    short shift = address_args->shift ? 1 : 0;
    context.without_cnc = [a, path, shift](Output& out) {
      short moved = lib_GetPmcAddress(static_cast<short>(a.byte), path, shift);
      if (moved < 0) {
        return out.Fail(kExitFailed, "path " + std::to_string(path) + " has no PMC block (paths 1..3)");
      }
      PmcAddress result = a;
      result.byte = static_cast<unsigned short>(moved);
      out.data()["address"] = a.Text();
      out.data()["path"] = path;
      out.data()["result"] = result.Text();
      out.Line(a.Text() + " on path " + std::to_string(path) + " is " + result.Text());
      return static_cast<int>(kExitOk);
    };
  });
}

// --- Macro variables ------------------------------------------------------------------

struct MacroArgs {
  std::string number;
  std::string value;
  int count = 1;
};

void AddMacroCommands(CLI::App& app, Context& context) {
  CLI::App* macro = app.add_subcommand("macro", "P-code macro variables, singly or in runs");
  macro->require_subcommand(1);

  auto check_number = [](const MacroArgs& args) {
    long long number = 0;
    std::string error;
    Require(ParseInteger(args.number, INT32_MIN, INT32_MAX, &number, &error), "variable number: ", error);
    Require(number + args.count - 1 <= INT32_MAX, "the run goes past the largest variable number");
    return static_cast<tavrin_long>(number);
  };

  auto get_args = std::make_shared<MacroArgs>();
  CLI::App* get = macro->add_subcommand("get", "read one variable, or a run of --count variables in one call");
  get->add_option("number", get_args->number, "the (first) variable number")->required();
  get->add_option("-c,--count", get_args->count, "how many variables from NUMBER on (1..8190)")
      ->check(CLI::Range(1, TAVRIN_PCODE_MAX_COUNT));
  get->callback([&context, get_args, check_number] {
    tavrin_long first = check_number(*get_args);
    short count = static_cast<short>(get_args->count);
    context.with_cnc = [first, count](Session& session, Output& out) {
      std::vector<double> values(count, 0.0);
      short code = count == 1 ? lib_ReadPCode(session.handle(), first, values.data())
                              : lib_ReadPluralPCode(session.handle(), first, count, values.data());
      if (code != 0) {
        return out.FailCode(code, count == 1 ? "lib_ReadPCode of #" + std::to_string(first)
                                             : "lib_ReadPluralPCode from #" + std::to_string(first));
      }
      Table table{{"variable", "value"}, {}};
      Json variables = Json::array();
      for (short i = 0; i < count; ++i) {
        table.rows.push_back({"#" + std::to_string(first + i), NumberText(values[i])});
        variables.push_back({{"number", first + i}, {"value", values[i]}});
      }
      out.data()["variables"] = variables;
      out.Print(table);
      return static_cast<int>(kExitOk);
    };
  });

  auto set_args = std::make_shared<MacroArgs>();
  CLI::App* set = macro->add_subcommand("set", "write one variable, or the same value into a run of --count variables");
  set->add_option("number", set_args->number, "the (first) variable number")->required();
  set->add_option("value", set_args->value, "the value")->required();
  set->add_option("-c,--count", set_args->count, "how many variables from NUMBER on (1..8190)")
      ->check(CLI::Range(1, TAVRIN_PCODE_MAX_COUNT));
  set->callback([&context, set_args, check_number] {
    tavrin_long first = check_number(*set_args);
    short count = static_cast<short>(set_args->count);
    double value = 0.0;
    std::string error;
    Require(ParseNumber(set_args->value, &value, &error), error);
    RequireStorable(value, set_args->value, "a macro variable");
    context.with_cnc = [first, count, value](Session& session, Output& out) {
      short code = count == 1 ? lib_WritePCode(session.handle(), first, value)
                              : lib_WritePluralPCode(session.handle(), first, count, value);
      if (code != 0) {
        return out.FailCode(code, count == 1 ? "lib_WritePCode of #" + std::to_string(first)
                                             : "lib_WritePluralPCode from #" + std::to_string(first));
      }
      // Read back: the CNC may keep fewer decimals than were given.
      double stored = 0.0;
      code = lib_ReadPCode(session.handle(), first, &stored);
      if (code != 0) return out.FailCode(code, "reading #" + std::to_string(first) + " back");
      out.data()["number"] = first;
      out.data()["count"] = count;
      out.data()["value"] = stored;
      out.data()["asked"] = value;
      std::string which = count == 1 ? "#" + std::to_string(first)
                                     : "#" + std::to_string(first) + " to #" + std::to_string(first + count - 1);
      out.Line(StoredText(which, value, stored));
      return static_cast<int>(kExitOk);
    };
  });
}

// --- Tool offsets ------------------------------------------------------------------------

using ReadReal = short(TAVRIN_CALL*)(unsigned short, short, double*);
using WriteReal = short(TAVRIN_CALL*)(unsigned short, short, double);

struct OffsetItem {
  char letter;
  ReadReal read_wear, read_geometry;
  WriteReal write_wear, write_geometry;
};

const OffsetItem kOffsetItems[] = {
    {'X', lib_ReadOffsetWearX, lib_ReadOffsetGeometryX, lib_WriteOffsetWearX, lib_WriteOffsetGeometryX},
    {'Z', lib_ReadOffsetWearZ, lib_ReadOffsetGeometryZ, lib_WriteOffsetWearZ, lib_WriteOffsetGeometryZ},
    {'R', lib_ReadOffsetWearR, lib_ReadOffsetGeometryR, lib_WriteOffsetWearR, lib_WriteOffsetGeometryR},
    {'T', nullptr, nullptr, nullptr, nullptr},  // whole numbers: the _T functions
    {'Y', lib_ReadOffsetWearY, lib_ReadOffsetGeometryY, lib_WriteOffsetWearY, lib_WriteOffsetGeometryY},
};

short ReadOffset(unsigned short h, short number, const OffsetItem& item, bool geometry, double* value) {
  if (item.letter != 'T') return (geometry ? item.read_geometry : item.read_wear)(h, number, value);
  tavrin_long whole = 0;
  short code = geometry ? lib_ReadOffsetGeometryT(h, number, &whole) : lib_ReadOffsetWearT(h, number, &whole);
  if (code == 0) *value = whole;
  return code;
}

struct OffsetArgs {
  int number = 1;
  std::string item;
  std::string value;
  bool wear = false;
  bool geometry = false;
};

void AddOffsetCommands(CLI::App& app, Context& context) {
  CLI::App* offset = app.add_subcommand("offset", "tool offsets, wear and geometry of X Z R T Y, in the CNC's unit");
  offset->require_subcommand(1);

  auto get_args = std::make_shared<OffsetArgs>();
  CLI::App* get = offset->add_subcommand("get", "read every item of one offset number");
  get->add_option("number", get_args->number, "the offset number (1..32767)")->required()->check(CLI::Range(1, 32767));
  get->callback([&context, get_args] {
    short number = static_cast<short>(get_args->number);
    context.with_cnc = [number](Session& session, Output& out) {
      Table table{{"item", "wear", "geometry"}, {}};
      Json items = Json::object();
      for (const OffsetItem& item : kOffsetItems) {
        double wear = 0.0;
        double geometry = 0.0;
        short code = ReadOffset(session.handle(), number, item, false, &wear);
        if (code == 0) code = ReadOffset(session.handle(), number, item, true, &geometry);
        if (code != 0) {
          return out.FailCode(code, "reading offset " + std::to_string(number) + " item " + item.letter);
        }
        table.rows.push_back({std::string(1, item.letter), NumberText(wear), NumberText(geometry)});
        items[std::string(1, item.letter)] = {{"wear", wear}, {"geometry", geometry}};
      }
      out.data()["number"] = number;
      out.data()["items"] = items;
      out.Line("tool offset " + std::to_string(number) + ":");
      out.Print(table);
      return static_cast<int>(kExitOk);
    };
  });

  auto set_args = std::make_shared<OffsetArgs>();
  CLI::App* set = offset->add_subcommand("set", "write one item (wear or geometry) of one offset number");
  set->add_option("number", set_args->number, "the offset number (1..32767)")->required()->check(CLI::Range(1, 32767));
  set->add_option("item", set_args->item, "X, Z, R, T or Y")->required();
  set->add_option("value", set_args->value, "the value in the CNC's input unit (T: a whole number)")->required();
  CLI::Option* wear = set->add_flag("--wear", set_args->wear, "write the wear value");
  CLI::Option* geometry = set->add_flag("--geometry", set_args->geometry, "write the geometry value");
  wear->excludes(geometry);
  set->callback([&context, set_args] {
    const OffsetArgs& args = *set_args;
    Require(args.wear || args.geometry, "say which value: --wear or --geometry");
    const OffsetItem* item = nullptr;
    for (const OffsetItem& candidate : kOffsetItems) {
      if (args.item.size() == 1 && std::toupper(static_cast<unsigned char>(args.item[0])) == candidate.letter) {
        item = &candidate;
      }
    }
    Require(item != nullptr, "'" + args.item + "' is no offset item: X, Z, R, T or Y");
    std::string error;
    double value = 0.0;
    long long whole = 0;
    if (item->letter == 'T') {
      Require(ParseInteger(args.value, INT32_MIN, INT32_MAX, &whole, &error), "a T value: ", error);
      value = static_cast<double>(whole);
    } else {
      Require(ParseNumber(args.value, &value, &error), error);
      RequireStorable(value, args.value, "a tool offset");
    }
    short number = static_cast<short>(args.number);
    bool geometry_value = args.geometry;
    context.with_cnc = [number, item, geometry_value, value, whole](Session& session, Output& out) {
      unsigned short h = session.handle();
      short code = 0;
      if (item->letter == 'T') {
        auto t = static_cast<tavrin_long>(whole);
        code = geometry_value ? lib_WriteOffsetGeometryT(h, number, t) : lib_WriteOffsetWearT(h, number, t);
      } else {
        code = (geometry_value ? item->write_geometry : item->write_wear)(h, number, value);
      }
      std::string what = std::string(geometry_value ? "geometry " : "wear ") + item->letter + " of offset " +
                         std::to_string(number);
      if (code != 0) return out.FailCode(code, "writing " + what);
      // Read back: the CNC keeps the value in its own increment and range.
      double stored = 0.0;
      code = ReadOffset(h, number, *item, geometry_value, &stored);
      if (code != 0) return out.FailCode(code, "reading " + what + " back");
      out.data()["number"] = number;
      out.data()["item"] = std::string(1, item->letter);
      out.data()["value_kind"] = geometry_value ? "geometry" : "wear";
      out.data()["value"] = stored;
      out.data()["asked"] = value;
      out.Line(StoredText(what, value, stored));
      return static_cast<int>(kExitOk);
    };
  });
}

// --- Paths and codes --------------------------------------------------------------------------

void AddPathAndErrorCommands(CLI::App& app, Context& context) {
  CLI::App* paths = app.add_subcommand("paths", "the number of CNC paths (lib_GetPathMax)");
  paths->callback([&context] {
    context.with_cnc = [](Session& session, Output& out) {
      short count = 0;
      short code = lib_GetPathMax(session.handle(), &count);
      if (code != 0) return out.FailCode(code, "lib_GetPathMax");
      out.data()["paths"] = count;
      out.Line("The CNC has " + std::to_string(count) + " path(s).");
      return static_cast<int>(kExitOk);
    };
  });

  struct ErrorArgs {
    int code = 0;
    std::string what = "tavrin";
    std::string where = "a shell";
  };
  auto args = std::make_shared<ErrorArgs>();
  CLI::App* error = app.add_subcommand("error", "name a FOCAS2 return code, as the library's error report shows it");
  error->add_option("code", args->code, "the return code (-32768..32767)")->required()->check(CLI::Range(-32768, 32767));
  error->add_option("--what", args->what, "what failed, for the message (default: tavrin)");
  error->add_option("--where", args->where, "where it failed, for the message (default: a shell)");
  error->callback([&context, args] {
    auto code = static_cast<short>(args->code);
    std::string what = args->what;
    std::string where = args->where;
    context.without_cnc = [code, what, where](Output& out) {
      const char* name = tavrin::Focas2CodeName(code);
      char message[TAVRIN_FOCAS2_MESSAGE_SIZE] = "";
      bool shown = tavrin::FormatFocas2Error(code, what.c_str(), where.c_str(), message, sizeof message);
      out.data()["code"] = code;
      out.data()["name"] = name != nullptr ? Json(name) : Json(nullptr);
      out.data()["message"] = shown ? Json(message) : Json(nullptr);
      if (code == 0) {
        out.Line("0: success, nothing to report");
      } else {
        out.Line(std::to_string(code) + ": " + (name != nullptr ? name : "not a FOCAS2 code"));
        out.Line("The error report shows:");
        out.Line(message);
      }
      return static_cast<int>(kExitOk);
    };
  });
}

}  // namespace

void AddNcCommands(CLI::App& app, Context& context) {
  AddPathAndErrorCommands(app, context);
  AddParamCommands(app, context);
  AddPmcCommands(app, context);
  AddMacroCommands(app, context);
  AddOffsetCommands(app, context);
}

}  // namespace tavrin::cli
