// Tool data the machine keeps outside the CNC's offset tables: the removal
// stations of the two magazines, the ATC entries in the PMC's E area, the
// tool count status bits and the X offset radius flag.
//
// Entry numbers are not range-checked: the addresses are computed in 16 bits
// and an entry beyond the area is refused by the CNC.
#include <cstring>

#include "nc/cnc_access.h"
#include "nc/bit_mask.h"
#include "focas2/focas2.h"
#include "tavrin/machine/mchn.h"
#include "tavrin/nc/pmc.h"

namespace machine = tavrin::machine;
namespace focas = tavrin::focas;

namespace {

constexpr unsigned short kLeftMagazineWord = 6836;   // R area
constexpr unsigned short kRightMagazineWord = 7350;  // E area
constexpr short kStationOffset = 3;

// ATC entry i: a T code two-word at E(7996 + 4i), a data byte at E(9318 + 2i)
// (bit 0 large diameter, bits 2 to 7 tool type).
unsigned short TCodeAddress(short entry) { return static_cast<unsigned short>(7996 + 4 * entry); }
unsigned short ToolDataAddress(short entry) { return static_cast<unsigned short>(9318 + 2 * entry); }
constexpr short kLargeDiamBit = 0;
constexpr unsigned char kKeptToolDataBits = 0x03;
constexpr unsigned short kTCodeLength = 12;  // 8-byte header and four data bytes
constexpr short kPmcByteType = 0;

constexpr short kToolCountStatusParam = 7250;  // bits 0 and 1
constexpr short kXRadiusParam = 5004;          // bit 1
constexpr short kOneAxisByteLength = 5;

short ReadParamRecord(unsigned short handle, short number, focas::ParamRecord* record) {
  return machine::ReadParam(handle, number, 0, kOneAxisByteLength, record);
}

}  // namespace

short CLibMchn::GetRemoveLMagazineStNo(short stations, short* station) {
  short value = 0;
  short code = lib_ReadPmcParam_Word(m_handle, 'R', kLeftMagazineWord, &value);
  if (code != 0) return code;
  // The left magazine counts its stations against half the magazine.
  short half = static_cast<short>(stations / 2);
  auto s = static_cast<short>(value + kStationOffset);
  if (s > half) s = static_cast<short>(s - half);
  *station = s;
  return 0;
}

short CLibMchn::GetRemoveRMagazineStNo(short stations, short* station) {
  short value = 0;
  short code = lib_ReadPmcParam_Word(m_handle, 'E', kRightMagazineWord, &value);
  if (code != 0) return code;
  // The right magazine compares with the whole count but still steps back by
  // half of it.
  auto s = static_cast<short>(value + kStationOffset);
  if (s > stations) s = static_cast<short>(s - stations / 2);
  *station = s;
  return 0;
}

short CLibMchn::SetAtcTCodeNo(short entry, tavrin_long tcode) {
  return lib_WritePmcParam_2Word(m_handle, 'E', TCodeAddress(entry), tcode);
}

short CLibMchn::GetAtcTCodeNo(short entry, tavrin_long* tcode) {
  // Four single bytes (data type 0), not one two-word.
  unsigned short start = TCodeAddress(entry);
  short type = lib_GetPmcAddressTypeCode('E');
  focas::PmcRecord record;
  std::memset(&record, 0, sizeof record);
  record.address_type = type;
  record.data_type = kPmcByteType;
  record.start = start;
  record.end = static_cast<unsigned short>(start + 3);
  short code = focas::pmc_rdpmcrng(m_handle, type, kPmcByteType, record.start, record.end, kTCodeLength, &record);
  if (code != 0) {
    *tcode = 0;
    return code;
  }
  // Least significant byte at the lowest address.
  std::uint32_t value = 0;
  for (int i = 3; i >= 0; --i) value = (value << 8) | static_cast<unsigned char>(record.data.byte_data[i]);
  *tcode = static_cast<tavrin_long>(static_cast<std::int32_t>(value));
  return 0;
}

short CLibMchn::SetAtcToolType(short entry, short type) {
  focas::PmcRecord record;
  short code = machine::ReadPmcByte(m_handle, machine::kPmcAreaE, ToolDataAddress(entry), &record);
  if (code != 0) return code;
  auto byte = static_cast<unsigned char>(((type * 4) & 0xFF) | (machine::PmcByte(record) & kKeptToolDataBits));
  machine::SetPmcByte(&record, byte);
  return machine::WritePmcByte(m_handle, &record);
}

short CLibMchn::GetAtcToolType(short entry, short* type) {
  focas::PmcRecord record;
  short code = machine::ReadPmcByte(m_handle, machine::kPmcAreaE, ToolDataAddress(entry), &record);
  if (code != 0) return code;
  *type = static_cast<short>(machine::PmcByte(record) >> 2);
  return 0;
}

short CLibMchn::SetAtcLargeDiam(short entry, bool large) {
  return lib_WritePmcParam_Bit(m_handle, 'E', ToolDataAddress(entry), kLargeDiamBit, large);
}

short CLibMchn::GetAtcLargeDiam(short entry, bool* large) {
  return lib_ReadPmcParam_Bit(m_handle, 'E', ToolDataAddress(entry), kLargeDiamBit, large);
}

short CLibMchn::SetToolCountStatus(short mode) {
  focas::ParamRecord record;
  short code = ReadParamRecord(m_handle, kToolCountStatusParam, &record);
  if (code != 0) return code;
  unsigned char byte = machine::ParamByte(record);
  switch (mode) {
    case 0:
      byte &= static_cast<unsigned char>(~0x03);
      break;
    case 1:
      byte &= static_cast<unsigned char>(~0x02);
      break;
    case 2:
      byte &= static_cast<unsigned char>(~0x01);
      break;
    default:
      break;  // written back unchanged
  }
  record.number = kToolCountStatusParam;
  record.axis = 0;
  record.data.byte_data[0] = static_cast<std::int8_t>(byte);
  return focas::cnc_wrparam(m_handle, kOneAxisByteLength, &record);
}

short CLibMchn::GetToolCountStatus(short* status) {
  focas::ParamRecord record;
  short code = ReadParamRecord(m_handle, kToolCountStatusParam, &record);
  if (code != 0) return code;
  *status = static_cast<short>(machine::ParamByte(record) & 0x03);
  return 0;
}

short CLibMchn::GetToolOffsetXRad(short path, int* radius) {
  short code = machine::SelectPath(m_handle, path);
  if (code != 0) return code;
  focas::ParamRecord record;
  code = ReadParamRecord(m_handle, kXRadiusParam, &record);
  if (code != 0) return code;
  *radius = (machine::ParamByte(record) & tavrin::BitMask(1)) != 0 ? 1 : 0;
  return 0;
}
