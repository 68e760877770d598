#include "tavrin/nc/cnc_params.h"

#include <cmath>
#include <cstring>

#include "nc/bit_mask.h"
#include "focas2/focas2.h"
#include "nc/scaling.h"
#include "tavrin/nc/return_codes.h"
#include "tavrin/util/numeric.h"

namespace focas = tavrin::focas;
using tavrin::TruncateToInt32;

namespace {

constexpr short kAllAxes = -1;

// Record lengths: 4 header bytes plus one element, or 32 for all axes.
constexpr short ElementSize(short kind) {
  return kind == TAVRIN_PARAM_REAL ? 8 : kind == TAVRIN_PARAM_2WORD ? 4 : kind == TAVRIN_PARAM_WORD ? 2 : 1;
}
constexpr short OneAxisLength(short kind) { return static_cast<short>(4 + ElementSize(kind)); }
constexpr short AllAxesLength(short kind) { return static_cast<short>(4 + focas::kMaxAxes * ElementSize(kind)); }

focas::ParamRecord EmptyRecord(short number, short axis) {
  focas::ParamRecord record;
  std::memset(&record, 0, sizeof record);
  record.number = number;
  record.axis = axis;
  return record;
}

// Reads one element, or all 32 for axis -1, into `record`.
short ReadRecord(unsigned short handle, short number, short axis, short kind, focas::ParamRecord* record) {
  *record = EmptyRecord(number, axis);
  short length = axis == kAllAxes ? AllAxesLength(kind) : OneAxisLength(kind);
  return focas::cnc_rdparam(handle, number, axis, length, record);
}

constexpr int ElementCount(short axis) { return axis == kAllAxes ? focas::kMaxAxes : 1; }

// The typed reads: one CNC call, then each element converted into the output.
template <typename T, typename Convert>
short ReadTyped(unsigned short handle, short number, short axis, short kind, T* out, Convert convert) {
  focas::ParamRecord record;
  short code = ReadRecord(handle, number, axis, kind, &record);
  if (code != 0) return code;
  for (int i = 0; i < ElementCount(axis); ++i) out[i] = convert(record, i);
  return 0;
}

template <typename T>
short WriteWithoutReading(unsigned short handle, short number, short axis, short kind, T value) {
  if (axis == kAllAxes) return DLL_FOCAS2_FUNCRET_INIT;
  focas::ParamRecord record = EmptyRecord(number, axis);
  std::memcpy(&record.data, &value, sizeof value);
  return focas::cnc_wrparam(handle, OneAxisLength(kind), &record);
}

// A real element's value over 10^d, with 10^d as the 32-bit power.
double RealFromElement(const focas::RealElement& element) {
  auto d = static_cast<short>(element.decimals);
  return static_cast<double>(element.value) / static_cast<double>(lib_LongPow(10, d));
}

bool IsKnownKind(short kind) {
  return kind == TAVRIN_PARAM_BIT || kind == TAVRIN_PARAM_BYTE || kind == TAVRIN_PARAM_WORD ||
         kind == TAVRIN_PARAM_2WORD || kind == TAVRIN_PARAM_REAL;
}

// The generic functions refuse negative numbers and axes, unknown kinds, and
// numbers too large to be a parameter number.
bool GenericArgumentsValid(double number, short axis, short kind) {
  return number >= 0.0 && number < 32768.0 && axis >= 0 && IsKnownKind(kind);
}

// The bit mask carried by the first decimal of a generic parameter number
// (12.5 is bit 5): 2^bit as an unsigned 16-bit value.
unsigned short GenericBitMask(double number) {
  tavrin_long bit = lib_RoundValue(std::fmod(number, 1.0) * 10.0);
  return bit >= 0 && bit < 16 ? static_cast<unsigned short>(std::pow(2.0, bit)) : 0;
}

}  // namespace

// --- Typed reads --------------------------------------------------------------

extern "C" short TAVRIN_CALL lib_ReadCncParam_Bit(unsigned short handle, short number, short bit, short axis,
                                                  bool* value) {
  unsigned char mask = tavrin::BitMask(bit);
  return ReadTyped(handle, number, axis, TAVRIN_PARAM_BIT, value, [mask](const focas::ParamRecord& r, int i) {
    return (static_cast<unsigned char>(r.data.byte_data[i]) & mask) != 0;
  });
}

extern "C" short TAVRIN_CALL lib_ReadCncParam_Byte(unsigned short handle, short number, short axis, char* value) {
  return ReadTyped(handle, number, axis, TAVRIN_PARAM_BYTE, value,
                   [](const focas::ParamRecord& r, int i) { return static_cast<char>(r.data.byte_data[i]); });
}

extern "C" short TAVRIN_CALL lib_ReadCncParam_Word(unsigned short handle, short number, short axis, short* value) {
  return ReadTyped(handle, number, axis, TAVRIN_PARAM_WORD, value,
                   [](const focas::ParamRecord& r, int i) { return static_cast<short>(r.data.word_data[i]); });
}

extern "C" short TAVRIN_CALL lib_ReadCncParam_2Word(unsigned short handle, short number, short axis,
                                                    tavrin_long* value) {
  return ReadTyped(handle, number, axis, TAVRIN_PARAM_2WORD, value, [](const focas::ParamRecord& r, int i) {
    return static_cast<tavrin_long>(r.data.two_word_data[i]);
  });
}

extern "C" short TAVRIN_CALL lib_ReadCncParam_Real(unsigned short handle, short number, short axis,
                                                   double* value) {
  return ReadTyped(handle, number, axis, TAVRIN_PARAM_REAL, value,
                   [](const focas::ParamRecord& r, int i) { return RealFromElement(r.data.real_data[i]); });
}

// --- Typed writes -------------------------------------------------------------

extern "C" short TAVRIN_CALL lib_WriteCncParam_Bit(unsigned short handle, short number, short bit, short axis,
                                                   bool value) {
  if (axis == kAllAxes) return DLL_FOCAS2_FUNCRET_INIT;
  focas::ParamRecord record = EmptyRecord(number, axis);
  short code = focas::cnc_rdparam(handle, number, axis, OneAxisLength(TAVRIN_PARAM_BIT), &record);
  if (code != 0) return code;
  auto byte = static_cast<unsigned char>(record.data.byte_data[0]);
  record.data.byte_data[0] = static_cast<std::int8_t>(tavrin::ChangeBit(byte, bit, tavrin::IsExactlyOne(value)));
  return focas::cnc_wrparam(handle, OneAxisLength(TAVRIN_PARAM_BIT), &record);
}

extern "C" short TAVRIN_CALL lib_WriteCncParam_Byte(unsigned short handle, short number, short axis, char value) {
  return WriteWithoutReading(handle, number, axis, TAVRIN_PARAM_BYTE, static_cast<std::int8_t>(value));
}

extern "C" short TAVRIN_CALL lib_WriteCncParam_Word(unsigned short handle, short number, short axis, short value) {
  return WriteWithoutReading(handle, number, axis, TAVRIN_PARAM_WORD, static_cast<std::int16_t>(value));
}

extern "C" short TAVRIN_CALL lib_WriteCncParam_2Word(unsigned short handle, short number, short axis,
                                                     tavrin_long value) {
  return WriteWithoutReading(handle, number, axis, TAVRIN_PARAM_2WORD, static_cast<std::int32_t>(value));
}

extern "C" short TAVRIN_CALL lib_WriteCncParam_Real(unsigned short handle, short number, short axis,
                                                    double value) {
  if (axis == kAllAxes) return DLL_FOCAS2_FUNCRET_INIT;
  focas::ParamRecord record = EmptyRecord(number, axis);
  short code = focas::cnc_rdparam(handle, number, axis, OneAxisLength(TAVRIN_PARAM_REAL), &record);
  if (code != 0) return code;
  // Keep the parameter's own decimal places; scale and truncate toward zero.
  auto d = static_cast<short>(record.data.real_data[0].decimals);
  record.data.real_data[0].value = TruncateToInt32(value * static_cast<double>(lib_LongPow(10, d)));
  return focas::cnc_wrparam(handle, OneAxisLength(TAVRIN_PARAM_REAL), &record);
}

// --- Generic read and write -----------------------------------------------------

extern "C" double TAVRIN_CALL lib_ReadCncParam(unsigned short handle, double number, short axis, short kind,
                                               short* code) {
  short ignored = 0;
  short& result = code != nullptr ? *code : ignored;
  result = DLL_FOCAS2_FUNCRET_INIT;
  if (!GenericArgumentsValid(number, axis, kind)) return 0.0;

  auto parameter = static_cast<short>(std::floor(number));
  focas::ParamRecord record = EmptyRecord(parameter, axis);
  result = focas::cnc_rdparam(handle, parameter, axis, OneAxisLength(kind), &record);
  if (result != 0) return 0.0;

  switch (kind) {
    case TAVRIN_PARAM_BIT:
      return (static_cast<unsigned char>(record.data.byte_data[0]) & GenericBitMask(number)) != 0 ? 1.0 : 0.0;
    case TAVRIN_PARAM_BYTE: return record.data.byte_data[0];
    case TAVRIN_PARAM_WORD: return record.data.word_data[0];
    case TAVRIN_PARAM_2WORD: return record.data.two_word_data[0];
    default:
      return record.data.real_data[0].value / std::pow(10.0, record.data.real_data[0].decimals);
  }
}

extern "C" short TAVRIN_CALL lib_WriteCncParam(unsigned short handle, double number, short axis, short kind,
                                               double value) {
  if (!GenericArgumentsValid(number, axis, kind)) return DLL_FOCAS2_FUNCRET_INIT;
  auto parameter = static_cast<short>(std::floor(number));
  focas::ParamRecord record = EmptyRecord(parameter, axis);

  switch (kind) {
    case TAVRIN_PARAM_REAL: {
      // The fewest decimal places, at most 6, at which the value is whole.
      double scaled = value;
      int decimals = 0;
      while (std::fmod(scaled, 1.0) != 0.0 && decimals < 6) {
        scaled *= 10.0;
        ++decimals;
      }
      record.data.real_data[0].value = TruncateToInt32(scaled);
      record.data.real_data[0].decimals = decimals;
      break;
    }
    case TAVRIN_PARAM_2WORD: record.data.two_word_data[0] = TruncateToInt32(value); break;
    case TAVRIN_PARAM_WORD: record.data.word_data[0] = static_cast<std::int16_t>(TruncateToInt32(value)); break;
    case TAVRIN_PARAM_BYTE: record.data.byte_data[0] = static_cast<std::int8_t>(TruncateToInt32(value)); break;
    default: {
      short code = focas::cnc_rdparam(handle, parameter, axis, OneAxisLength(TAVRIN_PARAM_BIT), &record);
      if (code != 0) return code;
      unsigned short mask = GenericBitMask(number);
      auto byte = static_cast<unsigned char>(record.data.byte_data[0]);
      byte = value == 1.0 ? static_cast<unsigned char>(byte | mask) : static_cast<unsigned char>(byte & ~mask);
      record.data.byte_data[0] = static_cast<std::int8_t>(byte);
      break;
    }
  }
  return focas::cnc_wrparam(handle, OneAxisLength(kind), &record);
}
