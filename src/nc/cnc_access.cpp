#include "nc/cnc_access.h"

#include <cstring>

#include "focas2/focas2.h"

namespace tavrin::machine {

namespace {
constexpr unsigned short kPmcByteLength = 9;  // 8-byte header and one data byte
constexpr short kPmcByteType = 0;
}  // namespace

short ReadPmcByte(unsigned short handle, short address_type, unsigned short address, focas::PmcRecord* record) {
  std::memset(record, 0, sizeof *record);
  record->address_type = address_type;
  record->data_type = kPmcByteType;
  record->start = address;
  record->end = address;
  return focas::pmc_rdpmcrng(handle, address_type, kPmcByteType, address, address, kPmcByteLength, record);
}

short WritePmcByte(unsigned short handle, focas::PmcRecord* record) {
  return focas::pmc_wrpmcrng(handle, kPmcByteLength, record);
}

short ReadParam(unsigned short handle, short number, short axis, short length, focas::ParamRecord* record) {
  std::memset(record, 0, sizeof *record);
  record->number = number;
  record->axis = axis;
  return focas::cnc_rdparam(handle, number, axis, length, record);
}

short SelectPath(unsigned short handle, short path) { return focas::cnc_setpath(handle, path); }

}  // namespace tavrin::machine
