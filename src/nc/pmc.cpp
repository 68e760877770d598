#include "tavrin/nc/pmc.h"

#include <cstring>

#include "nc/bit_mask.h"
#include "focas2/focas2.h"
#include "tavrin/nc/return_codes.h"

namespace focas = tavrin::focas;

namespace {

enum PmcDataType : short { kPmcByte = 0, kPmcWord = 1, kPmcTwoWord = 2 };

// Bytes of data carried by each data type; the record length is 8 more.
constexpr unsigned short DataBytes(PmcDataType type) { return type == kPmcByte ? 1 : type == kPmcWord ? 2 : 4; }

focas::PmcRecord MakeRecord(short address_type, PmcDataType type, unsigned short address) {
  focas::PmcRecord record;
  std::memset(&record, 0, sizeof record);
  record.address_type = address_type;
  record.data_type = type;
  record.start = address;
  record.end = static_cast<unsigned short>(address + DataBytes(type) - 1);
  return record;
}

// Reads one value of `type` at `address` into `record`.  Returns 32767 for a
// letter outside the table (no CNC call), otherwise the FOCAS2 code.
short ReadValue(unsigned short handle, char letter, unsigned short address, PmcDataType type,
                focas::PmcRecord* record) {
  short address_type = lib_GetPmcAddressTypeCode(letter);
  if (address_type < 0) return DLL_FOCAS2_FUNCRET_INIT;
  *record = MakeRecord(address_type, type, address);
  return focas::pmc_rdpmcrng(handle, address_type, type, record->start, record->end,
                             static_cast<unsigned short>(8 + DataBytes(type)), record);
}

template <typename T>
short WriteValue(unsigned short handle, char letter, unsigned short address, PmcDataType type, T value) {
  short address_type = lib_GetPmcAddressTypeCode(letter);
  if (address_type < 0) return DLL_FOCAS2_FUNCRET_INIT;
  focas::PmcRecord record = MakeRecord(address_type, type, address);
  std::memcpy(&record.data, &value, sizeof value);
  return focas::pmc_wrpmcrng(handle, static_cast<unsigned short>(8 + DataBytes(type)), &record);
}

}  // namespace

extern "C" short TAVRIN_CALL lib_GetPmcAddressTypeCode(char letter) {
  switch (letter) {
    case 'G': return 0;
    case 'F': return 1;
    case 'Y': return 2;
    case 'X': return 3;
    case 'A': return 4;
    case 'R': return 5;
    case 'T': return 6;
    case 'K': return 7;
    case 'C': return 8;
    case 'D': return 9;
    case 'E': return 12;
    default: return -1;
  }
}

extern "C" short TAVRIN_CALL lib_GetPmcAddress(short address, short path, short shift) {
  int s = (address < 4000 && shift != 0) ? 1 : 0;
  switch (path) {
    case 1: return address;
    case 2: return static_cast<short>(address + 1000 * (1 + s));
    case 3: return static_cast<short>(address + 1000 * (2 + s));
    default: return -1;
  }
}

namespace {

// The reads: one value read, then converted into the caller's output; a
// failed read leaves the output untouched.
template <typename T, typename Convert>
short ReadInto(unsigned short handle, char letter, unsigned short address, PmcDataType type, T* out,
               Convert convert) {
  focas::PmcRecord record;
  short code = ReadValue(handle, letter, address, type, &record);
  if (code != 0) return code;
  *out = convert(record.data);
  return 0;
}

}  // namespace

extern "C" short TAVRIN_CALL lib_ReadPmcParam_Bit(unsigned short handle, char letter, unsigned short address,
                                                  short bit, bool* value) {
  return ReadInto(handle, letter, address, kPmcByte, value, [bit](const auto& data) {
    return (static_cast<unsigned char>(data.byte_data[0]) & tavrin::BitMask(bit)) != 0;
  });
}

extern "C" short TAVRIN_CALL lib_ReadPmcParam_Byte(unsigned short handle, char letter, unsigned short address,
                                                   char* value) {
  return ReadInto(handle, letter, address, kPmcByte, value,
                  [](const auto& data) { return static_cast<char>(data.byte_data[0]); });
}

extern "C" short TAVRIN_CALL lib_ReadPmcParam_Word(unsigned short handle, char letter, unsigned short address,
                                                   short* value) {
  return ReadInto(handle, letter, address, kPmcWord, value,
                  [](const auto& data) { return static_cast<short>(data.word_data[0]); });
}

extern "C" short TAVRIN_CALL lib_ReadPmcParam_2Word(unsigned short handle, char letter, unsigned short address,
                                                    tavrin_long* value) {
  return ReadInto(handle, letter, address, kPmcTwoWord, value,
                  [](const auto& data) { return static_cast<tavrin_long>(data.two_word_data[0]); });
}

extern "C" short TAVRIN_CALL lib_WritePmcParam_Bit(unsigned short handle, char letter, unsigned short address,
                                                   short bit, bool value) {
  focas::PmcRecord record;
  short code = ReadValue(handle, letter, address, kPmcByte, &record);
  if (code != 0) return code;
  auto byte = static_cast<unsigned char>(record.data.byte_data[0]);
  record.data.byte_data[0] = static_cast<std::int8_t>(tavrin::ChangeBit(byte, bit, tavrin::IsExactlyOne(value)));
  return focas::pmc_wrpmcrng(handle, 9, &record);
}

extern "C" short TAVRIN_CALL lib_WritePmcParam_Byte(unsigned short handle, char letter, unsigned short address,
                                                    char value) {
  return WriteValue(handle, letter, address, kPmcByte, static_cast<std::int8_t>(value));
}

extern "C" short TAVRIN_CALL lib_WritePmcParam_Word(unsigned short handle, char letter, unsigned short address,
                                                    short value) {
  return WriteValue(handle, letter, address, kPmcWord, static_cast<std::int16_t>(value));
}

extern "C" short TAVRIN_CALL lib_WritePmcParam_2Word(unsigned short handle, char letter, unsigned short address,
                                                     tavrin_long value) {
  return WriteValue(handle, letter, address, kPmcTwoWord, static_cast<std::int32_t>(value));
}
