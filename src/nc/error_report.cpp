#include "tavrin/nc/error_report.h"

#include <cstdio>

#include "tavrin/message.h"
#include "tavrin/nc/return_codes.h"

namespace {

// Names of the FOCAS2 codes -17..-1 and 1..19, as the operator sees them.
const char* const kNegativeNames[] = {
    "EW_BUSY", "EW_RESET", "EW_MMCSYS", "EW_PARITY", "EW_SYSTEM", "EW_UNEXP",
    "EW_VERSION", "EW_HANDLE", "EW_HSSB", "EW_SYSTEM2", "EW_BUS", "EW_ITHIGHT",
    "EW_ITLOW", "EW_INIERR", "EW_NODLL", "EW_PROTOCOL", "EW_PROTOCOL",
};
const char* const kPositiveNames[] = {
    "EW_FUNC or EW_NOPMC", "EW_LENGTH", "EW_NUMBER or EW_RANGE", "EW_ATTRIB or EW_TYPE", "EW_DATA",
    "EW_NOOPT", "EW_PROT", "EW_OVRFLOW", "EW_PARAM", "EW_BUFFER", "EW_PATH", "EW_MODE",
    "EW_REJECT", "EW_DTSRVR", "EW_ALARM", "EW_STOP", "EW_PASSWD", "EW_PMC", "EW_PMCHANDLE",
};
constexpr int kNegativeCount = sizeof kNegativeNames / sizeof kNegativeNames[0];
constexpr int kPositiveCount = sizeof kPositiveNames / sizeof kPositiveNames[0];

const char* OrEmpty(const char* text) { return text != nullptr ? text : ""; }

}  // namespace

namespace tavrin {

const char* Focas2CodeName(short code) {
  if (code < 0 && -code <= kNegativeCount) return kNegativeNames[-code - 1];
  if (code > 0 && code <= kPositiveCount) return kPositiveNames[code - 1];
  if (code == DLL_FOCAS2_FUNCRET_INIT) return "DLL_FOCAS2_FUNCRET_INIT";
  return nullptr;
}

bool FormatFocas2Error(short code, const char* what, const char* where, char* out, unsigned size) {
  if (code == 0) {
    if (out != nullptr && size > 0) out[0] = '\0';
    return false;
  }
  if (out == nullptr || size == 0) return true;
  const char* name = Focas2CodeName(code);
  // snprintf never writes past `size` and always terminates the text.
  if (name == nullptr) {
    std::snprintf(out, size, "Error [%d]\n%s in %s", code, OrEmpty(what), OrEmpty(where));
  } else if (code == DLL_FOCAS2_FUNCRET_INIT) {
    std::snprintf(out, size, "Error [%s:%d]\n%s in %s", name, code, OrEmpty(what), OrEmpty(where));
  } else {
    std::snprintf(out, size, "Focas2 Error [%s:%d]\n%s in %s", name, code, OrEmpty(what), OrEmpty(where));
  }
  return true;
}

}  // namespace tavrin

extern "C" void TAVRIN_CALL lib_MBFocas2Error(short code, const char* what, const char* where) {
  char message[TAVRIN_FOCAS2_MESSAGE_SIZE];
  if (!tavrin::FormatFocas2Error(code, what, where, message, sizeof message)) return;
  tavrin_show_message(message, nullptr, TAVRIN_FOCAS2_BOX_STYLE);
}

extern "C" const char* TAVRIN_CALL lib_Focas2CodeName(short code) { return tavrin::Focas2CodeName(code); }
