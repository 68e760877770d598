// The machine object's own CNC exchanges: one PMC byte, one parameter record,
// a path selection.  Each is exactly one FOCAS2 call with the lengths the
// machine object uses, so that a caller can tell its traffic call by call.
#ifndef TAVRIN_MACHINE_CNC_ACCESS_H
#define TAVRIN_MACHINE_CNC_ACCESS_H

#include "tavrin/focas2/records.h"

namespace tavrin::machine {

// PMC address type code of the E area, which the ATC tool type members give
// FOCAS2 directly instead of looking it up.
constexpr short kPmcAreaE = 12;

// Reads one PMC byte into `record`: pmc_rdpmcrng(handle, address_type, data
// type 0, address, address, 9, record), the header filled beforehand so that
// the record can go back to WritePmcByte as read.  Returns the FOCAS2 code.
short ReadPmcByte(unsigned short handle, short address_type, unsigned short address, focas::PmcRecord* record);

// The record's data byte.
inline unsigned char PmcByte(const focas::PmcRecord& record) {
  return static_cast<unsigned char>(record.data.byte_data[0]);
}
inline void SetPmcByte(focas::PmcRecord* record, unsigned char byte) {
  record->data.byte_data[0] = static_cast<std::int8_t>(byte);
}

// Writes the record back: pmc_wrpmcrng(handle, 9, record).
short WritePmcByte(unsigned short handle, focas::PmcRecord* record);

// Reads parameter `number` with cnc_rdparam(handle, number, axis, length,
// record) into a zeroed record.  Returns the FOCAS2 code.
short ReadParam(unsigned short handle, short number, short axis, short length, focas::ParamRecord* record);

// The first data byte of a parameter record (the value of a bit or byte
// parameter of one axis).
inline unsigned char ParamByte(const focas::ParamRecord& record) {
  return static_cast<unsigned char>(record.data.byte_data[0]);
}

// Selects a path on the handle (cnc_setpath); it stays selected.
short SelectPath(unsigned short handle, short path);

// True when a flag passed by the application is any byte other than 0.
inline bool IsSet(const bool& flag) { return *reinterpret_cast<const volatile unsigned char*>(&flag) != 0; }

}  // namespace tavrin::machine

#endif
