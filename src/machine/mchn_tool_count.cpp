// Tool count values: the count setting and count addition of each tool, in
// macro variables laid out by the version of the maintenance product.
//
// Each operation has a path overload (selects the path and reads the version
// from the CNC) and a version overload (takes the version from the caller);
// both run through CountValue below.
#include <string>

#include "nc/cnc_access.h"
#include "platform/text_encoding.h"
#include "tavrin/machine/mchn.h"
#include "tavrin/message.h"
#include "tavrin/nc/macro_vars.h"
#include "tavrin/nc/return_codes.h"

namespace machine = tavrin::machine;

namespace {

// Told to the operator when the maintenance product is too old for tool
// counting: "This version of QV MINDR is not supported."
constexpr const char* kUnsupportedVersionText = "QV MINDRのバージョンが対応していません。";

enum class CountValue { Setting, Addition };
enum class Access { Set, Get };

struct CountLayout {
  short largest_tool;
  short setting_base;
  short addition_base;
};
constexpr double kFirstCountingVersion = 7.1;
constexpr double kWideLayoutVersion = 10.1;
constexpr CountLayout kNarrowLayout{128, 13470, 10660};
constexpr CountLayout kWideLayout{400, 14599, 14999};

void ShowUnsupportedVersion() {
  std::string text = tavrin::platform::PanelTextFromUtf8(kUnsupportedVersionText);
  tavrin_show_message(text.c_str(), nullptr, TAVRIN_MCHN_BOX_STYLE);
}

// What the eight members share.  `from_path` tells which overload
// called: it decides the result for an unsupported version.  `value` is the
// value to write (Set) or the output (Get).
short AccessCount(unsigned short handle, double version, bool from_path, CountValue which, Access access, short tool,
                  double* value) {
  // Anything not at least the first counting version, including a version
  // that is not a number, is unsupported.
  if (!(version >= kFirstCountingVersion)) {
    // Writing a setting is done quietly; every other access tells the operator.
    if (!(which == CountValue::Setting && access == Access::Set)) ShowUnsupportedVersion();
    return from_path ? 0 : DLL_FOCAS2_FUNCRET_INIT;
  }
  const CountLayout& layout = version < kWideLayoutVersion ? kNarrowLayout : kWideLayout;
  if (tool > layout.largest_tool) return TAVRIN_MCHN_TOOL_OUT_OF_RANGE;
  short base = which == CountValue::Setting ? layout.setting_base : layout.addition_base;
  auto variable = static_cast<short>(base + tool);

  if (access == Access::Set) return lib_WritePCode(handle, variable, *value);
  double read = 0.0;
  short code = lib_ReadPCode(handle, variable, &read);
  *value = read;
  return code;
}

// The path overloads: select the path, then take the version the CNC holds.
// A failed read's code stands for the version, as GetMindrVersion gives it:
// a negative code is never supported, a positive one counts as its number.
short AccessCountOfPath(CLibMchn& mchn, unsigned short handle, short path, CountValue which, Access access, short tool,
                        double* value) {
  short code = machine::SelectPath(handle, path);
  if (code != 0) return code;
  return AccessCount(handle, mchn.GetMindrVersion(), true, which, access, tool, value);
}

}  // namespace

short CLibMchn::SetToolCountSetting(short path, short tool, double value) {
  return AccessCountOfPath(*this, m_handle, path, CountValue::Setting, Access::Set, tool, &value);
}
short CLibMchn::GetToolCountSetting(short path, short tool, double* value) {
  return AccessCountOfPath(*this, m_handle, path, CountValue::Setting, Access::Get, tool, value);
}
short CLibMchn::SetToolCountAddition(short path, short tool, double value) {
  return AccessCountOfPath(*this, m_handle, path, CountValue::Addition, Access::Set, tool, &value);
}
short CLibMchn::GetToolCountAddition(short path, short tool, double* value) {
  return AccessCountOfPath(*this, m_handle, path, CountValue::Addition, Access::Get, tool, value);
}

short CLibMchn::SetToolCountSetting(double version, short tool, double value) {
  return AccessCount(m_handle, version, false, CountValue::Setting, Access::Set, tool, &value);
}
short CLibMchn::GetToolCountSetting(double version, short tool, double* value) {
  return AccessCount(m_handle, version, false, CountValue::Setting, Access::Get, tool, value);
}
short CLibMchn::SetToolCountAddition(double version, short tool, double value) {
  return AccessCount(m_handle, version, false, CountValue::Addition, Access::Set, tool, &value);
}
short CLibMchn::GetToolCountAddition(double version, short tool, double* value) {
  return AccessCount(m_handle, version, false, CountValue::Addition, Access::Get, tool, value);
}
