// Machine identity and configuration: series, type and model codes, serial
// number, maintenance product version, magazine size, station number, CNC
// mode, inch and tool length input, reset state.
//
// Each member goes to the CNC on every call.  Those that read per-path data
// select their path first and leave it selected on the handle.
#include <cstring>

#include "nc/cnc_access.h"
#include "nc/bit_mask.h"
#include "focas2/focas2.h"
#include "nc/scaling.h"
#include "tavrin/machine/mchn.h"
#include "tavrin/machine/mchn_status.h"
#include "tavrin/nc/macro_vars.h"
#include "tavrin/nc/handles.h"
#include "tavrin/nc/pmc.h"
#include "tavrin/nc/return_codes.h"
#include "tavrin/util/numeric.h"

namespace machine = tavrin::machine;
namespace focas = tavrin::focas;

namespace {

constexpr short kOneAxisByteLength = 5;  // 4-byte header and one byte

// CNC parameters.
constexpr short kInchInputParam = 0;           // bit 2
constexpr short kMagazineStMaxParam = 7257;    // byte
constexpr short kSeriesParam = 7283;           // byte
constexpr short kToolLengthInputParam = 7292;  // bit 1, read with length 6
constexpr short kToolLengthInputLength = 6;

// PMC bytes in the D area.
constexpr unsigned short kModelByte = 4005;
constexpr unsigned short kBRotationByte = 4006;
constexpr unsigned short kTypeByte = 7688;
constexpr unsigned short kResetStateByte1 = 9150;  // bit 0
constexpr unsigned short kResetStateByte2 = 9386;  // bit 1

// Macro variables.
constexpr tavrin_long kMindrVersionVar = 10434;
constexpr tavrin_long kSerialNoVars[] = {10435, 10436, 10437};
constexpr tavrin_long kStationNumVar = 10910;

// Series code 6 is two series, told apart by the model code.
constexpr signed char kSplitSeriesCode = 6;
constexpr signed char kAlderModel = 3;

struct SeriesName {
  signed char code;
  const char* name;
};
constexpr SeriesName kSeriesNames[] = {
    {40, "Cedar Series"}, {50, "Dogwood Series"}, {51, "Elm Series"},     {52, "Fir Series"},   {53, "Gum Series"},
    {56, "Hazel Series"}, {57, "Ilex Series"},    {61, "Juniper Series"}, {62, "Kauri Series"},
};

const char* SeriesNameOf(signed char code) {
  for (const SeriesName& entry : kSeriesNames) {
    if (entry.code == code) return entry.name;
  }
  return "";
}

// Reads one D byte as the operation signals do.  Returns the FOCAS2 code.
short ReadDByte(unsigned short handle, unsigned short address, unsigned char* byte) {
  focas::PmcRecord record;
  short code = machine::ReadPmcByte(handle, lib_GetPmcAddressTypeCode('D'), address, &record);
  if (code == 0) *byte = machine::PmcByte(record);
  return code;
}

// A D byte sign-extended, -1 when the read fails.
short SignedDByte(unsigned short handle, unsigned short address) {
  unsigned char byte = 0;
  if (ReadDByte(handle, address, &byte) != 0) return -1;
  return static_cast<signed char>(byte);
}

// Reads the byte of a parameter of no axis (length 5).  Returns the code.
short ReadParamByte(unsigned short handle, short number, unsigned char* byte) {
  focas::ParamRecord record;
  short code = machine::ReadParam(handle, number, 0, kOneAxisByteLength, &record);
  if (code == 0) *byte = machine::ParamByte(record);
  return code;
}

// Copies at most size - 1 characters of text and the terminator.
void CopyText(char* out, std::size_t size, const char* text) {
  std::size_t length = std::strlen(text);
  if (length > size - 1) length = size - 1;
  std::memcpy(out, text, length);
  out[length] = '\0';
}

// Appends one character code to the text already in `text`, as "%s%c"
// formatted into TAVRIN_MCHN_TEXT_SIZE bytes would: code 0 ends the text
// where it is, and nothing goes beyond the last byte.
void AppendCharacter(char* text, char character) {
  std::size_t length = 0;
  while (length < TAVRIN_MCHN_TEXT_SIZE - 1 && text[length] != '\0') ++length;
  if (length < TAVRIN_MCHN_TEXT_SIZE - 1) text[length++] = character;
  text[length] = '\0';
}

}  // namespace

short CLibMchn::GetMchnSeries(char* name) {
  short code = machine::SelectPath(m_handle, 1);
  if (code != 0) return code;
  unsigned char series = 0;
  code = ReadParamByte(m_handle, kSeriesParam, &series);
  if (code != 0) return code;

  const char* text;
  if (static_cast<signed char>(series) == kSplitSeriesCode) {
    unsigned char model = 0;
    code = ReadDByte(m_handle, kModelByte, &model);
    if (code != 0) return code;
    text = static_cast<signed char>(model) == kAlderModel ? "Alder Series" : "Birch Series";
  } else {
    text = SeriesNameOf(static_cast<signed char>(series));
  }
  CopyText(name, TAVRIN_MCHN_TEXT_SIZE, text);
  return 0;
}

short CLibMchn::GetMchnType() { return SignedDByte(m_handle, kTypeByte); }

short CLibMchn::GetMchnModel() { return SignedDByte(m_handle, kModelByte); }

bool CLibMchn::GetBRot() {
  unsigned char byte = 0;
  return ReadDByte(m_handle, kBRotationByte, &byte) == 0 && byte != 0;
}

short CLibMchn::GetMagazineStMax() {
  if (machine::SelectPath(m_handle, 1) != 0) return 0;
  unsigned char byte = 0;
  if (ReadParamByte(m_handle, kMagazineStMaxParam, &byte) != 0) return 0;
  return static_cast<signed char>(byte);
}

double CLibMchn::GetMindrVersion() {
  double version = 0.0;
  short code = lib_ReadPCode(m_handle, kMindrVersionVar, &version);
  // The tool count members compare this with their version limits, so a
  // failed read stands as its (never supported) code.
  return code == 0 ? version : static_cast<double>(code);
}

short CLibMchn::GetMachineSerialNo(char* text) {
  // The selection's result is not looked at: a CNC with one path still reads
  // its variables.
  machine::SelectPath(m_handle, 1);
  // Each variable holds four character codes as an eight-digit number, two
  // digits per character, the first character in the highest pair.
  const tavrin_long pair_scales[] = {1000000, 10000, 100, 1};
  for (tavrin_long variable : kSerialNoVars) {
    double value = 0.0;
    short code = lib_ReadPCode(m_handle, variable, &value);
    if (code != 0) return code;
    std::int32_t digits = tavrin::TruncateToInt32(value);
    for (tavrin_long scale : pair_scales) {
      AppendCharacter(text, static_cast<char>(digits / scale % 100));
    }
  }
  return 0;
}

short CLibMchn::GetStationNum(short path) {
  if (machine::SelectPath(m_handle, path) != 0) return -1;
  focas::MacroRecord record;
  std::memset(&record, 0, sizeof record);
  if (focas::cnc_rdpmacro(m_handle, kStationNumVar, &record) != 0) return -1;
  // A station number is always held with decimal places; a whole number
  // means the variable was never set up.
  if (record.decimals == 0) return -1;
  tavrin_long scale = lib_LongPow(10, record.decimals);
  // 10^d wraps to 0 in 32 bits from 32 places on; the quotient is then 0.
  if (scale == 0) return 0;
  return static_cast<short>(record.value / scale);
}

short CLibMchn::GetCncMode(short path) {
  short code = machine::SelectPath(m_handle, path);
  if (code != 0) return code;
  focas::StatusRecord status;
  std::memset(&status, 0, sizeof status);
  if (focas::cnc_statinfo(m_handle, &status) != 0) return -1;
  return status.fields[focas::kStatusModeField];
}

bool CLibMchn::IsInch() {
  if (machine::SelectPath(m_handle, 1) != 0) return false;
  unsigned char byte = 0;
  return ReadParamByte(m_handle, kInchInputParam, &byte) == 0 && (byte & tavrin::BitMask(2)) != 0;
}

bool CLibMchn::IsToolNagasaInput() {
  focas::ParamRecord record;
  if (machine::ReadParam(m_handle, kToolLengthInputParam, 0, kToolLengthInputLength, &record) != 0) return false;
  return (machine::ParamByte(record) & tavrin::BitMask(1)) != 0;
}

bool CLibMchn::IsResetProcessing() {
  // The reset is over only when D9150 bit 0 is set and D9386 bit 1 is clear;
  // a failed read counts as a reset still in progress.
  bool first = false;
  if (lib_ReadPmcParam_Bit(m_handle, 'D', kResetStateByte1, 0, &first) != 0) return true;
  bool second = false;
  if (lib_ReadPmcParam_Bit(m_handle, 'D', kResetStateByte2, 1, &second) != 0) return true;
  return !first || second;
}

// The identity in one reading (tavrin/machine/mchn_status.h): the getters'
// values, with #10434 to #10437 and D4005-D4006 in one ranged read each and
// path 1 selected once.
extern "C" short TAVRIN_CALL lib_ReadMachineIdentity(unsigned short handle, TavrinMachineIdentity* identity) {
  if (identity == nullptr) return DLL_FOCAS2_FUNCRET_INIT;
  std::memset(identity, 0, sizeof *identity);
  short failed = 0;
  auto note = [&failed](short code) {
    if (code != 0 && failed == 0) failed = code;
    return code;
  };
  bool path1 = note(machine::SelectPath(handle, 1)) == 0;

  // D4005 (model) and D4006 (B rotation) in one read.
  focas::PmcRecord record;
  std::memset(&record, 0, sizeof record);
  short pmc = note(focas::pmc_rdpmcrng(handle, lib_GetPmcAddressTypeCode('D'), 0, kModelByte, kBRotationByte, 10,
                                       &record));
  auto model_byte = static_cast<unsigned char>(record.data.byte_data[0]);
  identity->model = pmc == 0 ? static_cast<signed char>(model_byte) : -1;
  identity->b_rotation = pmc == 0 && record.data.byte_data[1] != 0 ? 1 : 0;
  unsigned char type = 0;
  identity->type = note(ReadDByte(handle, kTypeByte, &type)) == 0 ? static_cast<signed char>(type) : -1;

  // The series, as GetMchnSeries: parameter 7283 on path 1, the model byte
  // telling apart the two series of code 6.
  if (!path1) {
    identity->series_code = failed;
  } else {
    unsigned char series = 0;
    short code = note(ReadParamByte(handle, kSeriesParam, &series));
    if (code != 0) {
      identity->series_code = code;
    } else if (static_cast<signed char>(series) == kSplitSeriesCode) {
      if (pmc != 0) {
        identity->series_code = pmc;
      } else {
        CopyText(identity->series, sizeof identity->series,
                 static_cast<signed char>(model_byte) == kAlderModel ? "Alder Series" : "Birch Series");
      }
    } else {
      CopyText(identity->series, sizeof identity->series, SeriesNameOf(static_cast<signed char>(series)));
    }
  }
  unsigned char byte = 0;
  if (path1 && note(ReadParamByte(handle, kMagazineStMaxParam, &byte)) == 0) {
    identity->magazine_stations = static_cast<signed char>(byte);
  }
  if (path1 && note(ReadParamByte(handle, kInchInputParam, &byte)) == 0) {
    identity->inch = (byte & tavrin::BitMask(2)) != 0 ? 1 : 0;
  }

  // #10434 (version) and #10435 to #10437 (serial number) in one read.
  double values[4] = {0.0, 0.0, 0.0, 0.0};
  short macros = note(lib_ReadPluralPCode(handle, kMindrVersionVar, 4, values));
  identity->maintenance_version = macros == 0 ? values[0] : static_cast<double>(macros);
  identity->serial_code = macros;
  if (macros == 0) {
    const tavrin_long pair_scales[] = {1000000, 10000, 100, 1};
    for (int i = 1; i <= 3; ++i) {
      std::int32_t digits = tavrin::TruncateToInt32(values[i]);
      for (tavrin_long scale : pair_scales) {
        AppendCharacter(identity->serial_number, static_cast<char>(digits / scale % 100));
      }
    }
  }

  short paths = -1;
  identity->path_count = note(lib_GetPathMax(handle, &paths)) == 0 ? paths : -1;
  for (short path = 0; path < TAVRIN_STATUS_MAX_PATHS; ++path) identity->station[path] = -1;
  for (short path = 1; path <= identity->path_count && path <= TAVRIN_STATUS_MAX_PATHS; ++path) {
    if (path > 1 && note(machine::SelectPath(handle, path)) != 0) continue;
    if (path == 1 && !path1) continue;
    focas::MacroRecord station;
    std::memset(&station, 0, sizeof station);
    if (note(focas::cnc_rdpmacro(handle, kStationNumVar, &station)) != 0 || station.decimals == 0) continue;
    tavrin_long scale = lib_LongPow(10, station.decimals);
    identity->station[path - 1] = scale == 0 ? 0 : static_cast<short>(station.value / scale);
  }
  return failed;
}
