// FOCAS2 calls for PMC data: pmc_rdpmcrng and pmc_wrpmcrng.
//
// The record is an 8-byte header (address type, data type, start, end) and up
// to 20 data bytes.  Start and end are byte addresses, end the last byte
// covered, so a range holds (end - start + 1) / size values of the data
// type's size (1, 2 or 4).  Words and two-words lie in the PMC with their
// least significant byte at the lowest address.
#include "call_scope.h"

using tavrin::simcnc::Call;
using tavrin::simcnc::detail::CallRecord;
using tavrin::simcnc::detail::Load;
using tavrin::simcnc::detail::PmcArea;
using tavrin::simcnc::detail::RecordSize;
using tavrin::simcnc::detail::RunCall;
using tavrin::simcnc::detail::Simulator;
using tavrin::simcnc::detail::Store;

namespace {

constexpr std::size_t kHeader = 8;
constexpr std::size_t kDataRoom = 20;

struct PmcRange {
  PmcArea* area = nullptr;
  std::size_t value_size = 0;
  std::size_t bytes = 0;
};

// Checks a request in the order: address and data type (EW_ATTRIB), the
// range (EW_NUMBER), then the length, which must be the header and exactly
// the range's bytes, at most the record's 20 (EW_LENGTH).
short CheckRange(Simulator& sim, short address_type, short data_type, unsigned start, unsigned end, unsigned length,
                 PmcRange* range) {
  range->area = sim.machine.pmc.ByTypeCode(address_type);
  if (range->area == nullptr) return EW_ATTRIB;
  if (data_type < 0 || data_type > 2) return EW_ATTRIB;
  range->value_size = std::size_t{1} << data_type;
  if (end < start || end >= range->area->bytes.size()) return EW_NUMBER;
  range->bytes = end - start + 1;
  if (range->bytes % range->value_size != 0) return EW_NUMBER;
  if (range->bytes > kDataRoom || length != kHeader + range->bytes) return EW_LENGTH;
  return EW_OK;
}

void CopyOut(const PmcRange& range, unsigned start, void* record) {
  const std::uint8_t* pmc = &range.area->bytes[start];
  for (std::size_t at = 0; at < range.bytes; at += range.value_size) {
    std::uint32_t value = 0;
    for (std::size_t i = range.value_size; i-- > 0;) value = value << 8 | pmc[at + i];
    const std::size_t offset = kHeader + at;
    if (range.value_size == 1) Store<std::uint8_t>(record, offset, static_cast<std::uint8_t>(value));
    if (range.value_size == 2) Store<std::uint16_t>(record, offset, static_cast<std::uint16_t>(value));
    if (range.value_size == 4) Store<std::uint32_t>(record, offset, value);
  }
}

void CopyIn(const PmcRange& range, unsigned start, const void* record) {
  std::uint8_t* pmc = &range.area->bytes[start];
  for (std::size_t at = 0; at < range.bytes; at += range.value_size) {
    const std::size_t offset = kHeader + at;
    std::uint32_t value = range.value_size == 1   ? Load<std::uint8_t>(record, offset)
                          : range.value_size == 2 ? Load<std::uint16_t>(record, offset)
                                                  : Load<std::uint32_t>(record, offset);
    for (std::size_t i = 0; i < range.value_size; ++i, value >>= 8) pmc[at + i] = static_cast<std::uint8_t>(value);
  }
}

short ReadPmc(Simulator& sim, unsigned short handle, short address_type, short data_type, unsigned short start,
              unsigned short end, unsigned short length, void* record) {
  if (sim.PathOf(handle) == nullptr) return EW_HANDLE;
  if (record == nullptr) return EW_DATA;
  PmcRange range;
  short result = CheckRange(sim, address_type, data_type, start, end, length, &range);
  if (result != EW_OK) return result;
  // The header is filled as well, so the record can go back to pmc_wrpmcrng
  // as it is.
  Store<std::int16_t>(record, 0, address_type);
  Store<std::int16_t>(record, 2, data_type);
  Store<std::uint16_t>(record, 4, start);
  Store<std::uint16_t>(record, 6, end);
  CopyOut(range, start, record);
  return EW_OK;
}

short WritePmc(Simulator& sim, unsigned short handle, unsigned short length, const void* record) {
  if (sim.PathOf(handle) == nullptr) return EW_HANDLE;
  if (record == nullptr) return EW_DATA;
  if (length < kHeader) return EW_LENGTH;
  const auto start = Load<std::uint16_t>(record, 4);
  PmcRange range;
  short result = CheckRange(sim, Load<std::int16_t>(record, 0), Load<std::int16_t>(record, 2), start,
                            Load<std::uint16_t>(record, 6), length, &range);
  if (result != EW_OK) return result;
  CopyIn(range, start, record);
  return EW_OK;
}

constexpr std::size_t kLargestRecord = sizeof(tavrin::focas::PmcRecord);

}  // namespace

extern "C" {

short TAVRIN_SIMCNC_CALL pmc_rdpmcrng(unsigned short handle, short address_type, short data_type, unsigned short start,
                                      unsigned short end, unsigned short length, void* record) {
  return RunCall(Call::pmc_rdpmcrng, handle, {address_type, data_type, start, end, length},
                 CallRecord{record, RecordSize(length, kLargestRecord)}, [&](Simulator& sim) {
                   return ReadPmc(sim, handle, address_type, data_type, start, end, length, record);
                 });
}

short TAVRIN_SIMCNC_CALL pmc_wrpmcrng(unsigned short handle, unsigned short length, void* record) {
  return RunCall(Call::pmc_wrpmcrng, handle, {length}, CallRecord{record, RecordSize(length, kLargestRecord)},
                 [&](Simulator& sim) { return WritePmc(sim, handle, length, record); });
}

}  // extern "C"
