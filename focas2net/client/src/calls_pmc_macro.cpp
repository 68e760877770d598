// The calls for PMC ranges and P-code macro variables.
#include <algorithm>
#include <vector>

#include "call_support.h"

using namespace tavrin::focas2net;

namespace {

// PMC record: address type, data type, start, end, then the data.
constexpr std::size_t kPmcHeader = 8;
// The most data bytes one PMC request carries; longer ranges take several.
constexpr std::size_t kPmcChunk = 1432;

// Macro range record: first, a word, padding, last, then 8 bytes a variable.
constexpr std::size_t kMacroHeader = 12;
constexpr std::size_t kMacroEntry = 8;
// The most variables one macro request carries (32 KiB of data).
constexpr std::int64_t kMacroChunk = 4096;

struct PmcRange {
  std::size_t value_size = 0;
  std::size_t bytes = 0;
};

// Address types are the CNC's to judge; the data type and the range must
// make whole values for the data to be laid out here.
short CheckPmcRange(short data_type, unsigned start, unsigned end, std::size_t length, PmcRange* range) {
  if (data_type < 0 || data_type > 2) return EW_ATTRIB;
  range->value_size = std::size_t{1} << data_type;
  if (end < start) return EW_NUMBER;
  range->bytes = end - start + 1;
  if (range->bytes % range->value_size != 0) return EW_NUMBER;
  if (length < kPmcHeader + range->bytes) return EW_LENGTH;
  return EW_OK;
}

// PMC values travel big-endian; the caller's record holds them in the
// host's order.
void ValuesIn(const std::uint8_t* wire, std::size_t bytes, std::size_t size, void* record, std::size_t at) {
  for (std::size_t i = 0; i < bytes; i += size) {
    if (size == 1) Put<std::uint8_t>(record, at + i, wire[i]);
    if (size == 2) Put<std::uint16_t>(record, at + i, GetU16(wire + i));
    if (size == 4) Put<std::uint32_t>(record, at + i, GetU32(wire + i));
  }
}

void ValuesOut(const void* record, std::size_t at, std::size_t bytes, std::size_t size, std::vector<std::uint8_t>* wire) {
  for (std::size_t i = 0; i < bytes; i += size) {
    if (size == 1) wire->push_back(Take<std::uint8_t>(record, at + i));
    if (size == 2) tavrin::wire::PutU16(*wire, Take<std::uint16_t>(record, at + i));
    if (size == 4) tavrin::wire::PutU32(*wire, Take<std::uint32_t>(record, at + i));
  }
}

short ReadPmc(unsigned short handle, short address_type, short data_type, unsigned short start, unsigned short end,
              unsigned short length, void* record) {
  Target target;
  short result = FindHandle(handle, &target);
  if (result != EW_OK) return result;
  if (record == nullptr) return EW_DATA;
  PmcRange range;
  result = CheckPmcRange(data_type, start, end, length, &range);
  if (result != EW_OK) return result;
  for (std::size_t at = 0; at < range.bytes; at += kPmcChunk) {
    const std::size_t bytes = std::min(kPmcChunk, range.bytes - at);
    const auto first = static_cast<std::int32_t>(start + at);
    const auto last = static_cast<std::int32_t>(first + bytes - 1);
    SubAnswer answer;
    result = Ask(target, PmcRequest(kReadPmc, {first, last, address_type, data_type}), bytes, &answer);
    if (result != EW_OK) return result;
    ValuesIn(answer.data.data(), bytes, range.value_size, record, kPmcHeader + at);
  }
  // The header too, so that the record can go back to pmc_wrpmcrng as it is.
  Put<std::int16_t>(record, 0, address_type);
  Put<std::int16_t>(record, 2, data_type);
  Put<std::uint16_t>(record, 4, start);
  Put<std::uint16_t>(record, 6, end);
  return EW_OK;
}

short WritePmc(unsigned short handle, unsigned short length, const void* record) {
  Target target;
  short result = FindHandle(handle, &target);
  if (result != EW_OK) return result;
  if (record == nullptr) return EW_DATA;
  if (length < kPmcHeader) return EW_LENGTH;
  const auto address_type = Take<std::int16_t>(record, 0);
  const auto data_type = Take<std::int16_t>(record, 2);
  const auto start = Take<std::uint16_t>(record, 4);
  PmcRange range;
  result = CheckPmcRange(data_type, start, Take<std::uint16_t>(record, 6), length, &range);
  if (result != EW_OK) return result;
  for (std::size_t at = 0; at < range.bytes; at += kPmcChunk) {
    const std::size_t bytes = std::min(kPmcChunk, range.bytes - at);
    const auto first = static_cast<std::int32_t>(start + at);
    const auto last = static_cast<std::int32_t>(first + bytes - 1);
    SubRequest write =
        PmcRequest(kWritePmc, {first, last, address_type, data_type, static_cast<std::int32_t>(bytes)});
    ValuesOut(record, kPmcHeader + at, bytes, range.value_size, &write.extra);
    SubAnswer answer;
    result = Ask(target, write, 0, &answer);
    if (result != EW_OK) return result;
  }
  return EW_OK;
}

// value / 10^decimals as mantissa / 2^exponent, with the largest mantissa
// an int32 holds, cut toward zero (12.34 gives 0x62b851eb / 2^27).  Exact:
// long division, one binary digit at a time.
Number8 Base2(std::int32_t value, int decimals) {
  Number8 number{0, 2, 0};
  if (value == 0) return number;
  const bool negative = value < 0;
  const std::uint64_t magnitude = negative ? std::uint64_t{0} - static_cast<std::uint64_t>(std::int64_t{value})
                                           : static_cast<std::uint64_t>(value);
  std::uint64_t divisor = 1;
  for (int i = 0; i < decimals; ++i) divisor *= 10;
  constexpr std::uint64_t kLargest = 0x7fffffff;
  std::uint64_t quotient = magnitude / divisor;
  std::uint64_t remainder = magnitude % divisor;
  int exponent = 0;
  if (quotient > kLargest) {  // -2^31 as a whole number: one binary place up
    quotient >>= 1;
    exponent = -1;
  }
  for (;;) {
    const bool carry = 2 * remainder >= divisor;
    const std::uint64_t next = 2 * quotient + (carry ? 1 : 0);
    if (next > kLargest) break;
    quotient = next;
    remainder = carry ? 2 * remainder - divisor : 2 * remainder;
    ++exponent;
  }
  const auto mantissa = static_cast<std::int64_t>(quotient);
  number.mantissa = static_cast<std::int32_t>(negative ? -mantissa : mantissa);
  number.exponent = static_cast<std::int16_t>(exponent);
  return number;
}

struct MacroValue {
  std::int32_t value;
  std::int16_t decimals;
};

// Reads first..last, as the CNC gives them: value and decimals unchanged.
short ReadMacros(const Target& target, std::int32_t first, std::int32_t last, std::vector<MacroValue>* values) {
  values->clear();
  for (std::int64_t from = first; from <= last; from += kMacroChunk) {
    const std::int64_t to = std::min<std::int64_t>(last, from + kMacroChunk - 1);
    const auto count = static_cast<std::size_t>(to - from + 1);
    SubAnswer answer;
    const short result = Ask(target,
                             CncRequest(target, kReadMacro,
                                        {static_cast<std::int32_t>(from), static_cast<std::int32_t>(to)}),
                             kMacroEntry * count, &answer);
    if (result != EW_OK) return result;
    for (std::size_t i = 0; i < count; ++i) {
      const Number8 number = GetNumber8(answer.data.data() + kMacroEntry * i);
      values->push_back(MacroValue{number.mantissa, number.exponent});
    }
  }
  return EW_OK;
}

// Writes first, first + 1, ...: each value travels in base 2, so the CNC
// chooses its decimals; the caller's are checked but do not travel.
short WriteMacros(const Target& target, std::int32_t first, const std::vector<MacroValue>& values) {
  for (const MacroValue& value : values) {
    if (value.decimals < 0 || value.decimals > 9) return EW_DATA;
  }
  for (std::size_t at = 0; at < values.size(); at += kMacroChunk) {
    const std::size_t count = std::min<std::size_t>(kMacroChunk, values.size() - at);
    const auto from = static_cast<std::int32_t>(first + static_cast<std::int64_t>(at));
    const auto to = static_cast<std::int32_t>(from + static_cast<std::int64_t>(count) - 1);
    SubRequest write =
        CncRequest(target, kWriteMacro, {from, to, 0, 0, static_cast<std::int32_t>(kMacroEntry * count)});
    for (std::size_t i = 0; i < count; ++i) {
      PutNumber8(write.extra, Base2(values[at + i].value, values[at + i].decimals));
    }
    SubAnswer answer;
    const short result = Ask(target, write, 0, &answer);
    if (result != EW_OK) return result;
  }
  return EW_OK;
}

// The variables of a range record of `length` bytes, or a refusal.
short RangeCount(std::int32_t first, std::int32_t last, std::size_t length, std::size_t* count) {
  if (last < first) return EW_NUMBER;
  const auto variables = static_cast<std::uint64_t>(std::int64_t{last} - first) + 1;
  if (length < kMacroHeader || (length - kMacroHeader) / kMacroEntry != variables ||
      (length - kMacroHeader) % kMacroEntry != 0) {
    return EW_LENGTH;
  }
  *count = static_cast<std::size_t>(variables);
  return EW_OK;
}

}  // namespace

extern "C" {

short TAVRIN_CALL pmc_rdpmcrng(unsigned short handle, short address_type, short data_type, unsigned short start,
                               unsigned short end, unsigned short length, void* record) {
  return ReadPmc(handle, address_type, data_type, start, end, length, record);
}

short TAVRIN_CALL pmc_wrpmcrng(unsigned short handle, unsigned short length, void* record) {
  return WritePmc(handle, length, record);
}

short TAVRIN_CALL cnc_rdpmacror(unsigned short handle, std::int32_t first, std::int32_t last, unsigned short length,
                                void* record) {
  Target target;
  short result = FindHandle(handle, &target);
  if (result != EW_OK) return result;
  if (record == nullptr) return EW_DATA;
  std::size_t count = 0;
  result = RangeCount(first, last, length, &count);
  if (result != EW_OK) return result;
  std::vector<MacroValue> values;
  result = ReadMacros(target, first, last, &values);
  if (result != EW_OK) return result;
  Put<std::int32_t>(record, 0, first);
  Put<std::int32_t>(record, 8, last);
  for (std::size_t i = 0; i < count; ++i) {
    Put<std::int32_t>(record, kMacroHeader + kMacroEntry * i, values[i].value);
    Put<std::int16_t>(record, kMacroHeader + kMacroEntry * i + 4, values[i].decimals);
  }
  return EW_OK;
}

short TAVRIN_CALL cnc_wrpmacror(unsigned short handle, unsigned short length, void* record) {
  Target target;
  short result = FindHandle(handle, &target);
  if (result != EW_OK) return result;
  if (record == nullptr) return EW_DATA;
  if (length < kMacroHeader) return EW_LENGTH;
  const auto first = Take<std::int32_t>(record, 0);
  std::size_t count = 0;
  result = RangeCount(first, Take<std::int32_t>(record, 8), length, &count);
  if (result != EW_OK) return result;
  std::vector<MacroValue> values;
  for (std::size_t i = 0; i < count; ++i) {
    values.push_back(MacroValue{Take<std::int32_t>(record, kMacroHeader + kMacroEntry * i),
                                Take<std::int16_t>(record, kMacroHeader + kMacroEntry * i + 4)});
  }
  return WriteMacros(target, first, values);
}

// The single calls are the range calls for one variable, made here
// directly, never through the exported names.
short TAVRIN_CALL cnc_rdpmacro(unsigned short handle, std::int32_t number, void* record) {
  Target target;
  short result = FindHandle(handle, &target);
  if (result != EW_OK) return result;
  if (record == nullptr) return EW_DATA;
  std::vector<MacroValue> values;
  result = ReadMacros(target, number, number, &values);
  if (result != EW_OK) return result;
  Put<std::int32_t>(record, 0, number);
  Put<std::int32_t>(record, 8, values.front().value);
  Put<std::int16_t>(record, 12, values.front().decimals);
  return EW_OK;
}

short TAVRIN_CALL cnc_wrpmacro(unsigned short handle, std::int32_t number, std::int32_t value, short decimals) {
  Target target;
  const short result = FindHandle(handle, &target);
  if (result != EW_OK) return result;
  return WriteMacros(target, number, {MacroValue{value, decimals}});
}

}  // extern "C"
