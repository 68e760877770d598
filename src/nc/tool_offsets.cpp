#include "tavrin/nc/tool_offsets.h"

#include <cmath>

#include "focas2/focas2.h"
#include "nc/scaling.h"

namespace focas = tavrin::focas;

namespace {

// Offset type codes: wear and geometry of each item.
enum OffsetType : short {
  kWearX = 0, kGeometryX = 1, kWearZ = 2, kGeometryZ = 3, kWearR = 4,
  kGeometryR = 5, kWearT = 6, kGeometryT = 7, kWearY = 8, kGeometryY = 9
};
constexpr short kOffsetLength = 8;
constexpr short kFigureKind = 1;

// The CNC's input decimal places, asked for anew on every call.
short InputDecimals(unsigned short handle, short* decimals) {
  short valid_digits = 0;
  short output_decimals = 0;
  return focas::cnc_getfigure(handle, kFigureKind, &valid_digits, decimals, &output_decimals);
}

short ReadScaled(unsigned short handle, short number, OffsetType type, double* value) {
  focas::OffsetRecord record{number, type, 0};
  short code = focas::cnc_rdtofs(handle, number, type, kOffsetLength, &record);
  if (code != 0) return code;
  short decimals = 0;
  code = InputDecimals(handle, &decimals);
  if (code != 0) return code;
  *value = record.value / std::pow(10.0, decimals);
  return 0;
}

short WriteScaled(unsigned short handle, short number, OffsetType type, double value) {
  short decimals = 0;
  short code = InputDecimals(handle, &decimals);
  if (code != 0) return code;
  return focas::cnc_wrtofs(handle, number, type, kOffsetLength,
                           tavrin::TruncateToInt32(value * std::pow(10.0, decimals)));
}

short ReadWhole(unsigned short handle, short number, OffsetType type, tavrin_long* value) {
  focas::OffsetRecord record{number, type, 0};
  short code = focas::cnc_rdtofs(handle, number, type, kOffsetLength, &record);
  if (code != 0) return code;
  *value = record.value;
  return 0;
}

short WriteWhole(unsigned short handle, short number, OffsetType type, tavrin_long value) {
  return focas::cnc_wrtofs(handle, number, type, kOffsetLength, value);
}

}  // namespace

#define TAVRIN_OFFSET_PAIR(Name, type, Read, Write, ValueType)                                    \
  extern "C" short TAVRIN_CALL lib_ReadOffset##Name(unsigned short handle, short number, ValueType* value) { \
    return Read(handle, number, type, value);                                                     \
  }                                                                                               \
  extern "C" short TAVRIN_CALL lib_WriteOffset##Name(unsigned short handle, short number, ValueType value) { \
    return Write(handle, number, type, value);                                                    \
  }

TAVRIN_OFFSET_PAIR(WearX, kWearX, ReadScaled, WriteScaled, double)
TAVRIN_OFFSET_PAIR(GeometryX, kGeometryX, ReadScaled, WriteScaled, double)
TAVRIN_OFFSET_PAIR(WearZ, kWearZ, ReadScaled, WriteScaled, double)
TAVRIN_OFFSET_PAIR(GeometryZ, kGeometryZ, ReadScaled, WriteScaled, double)
TAVRIN_OFFSET_PAIR(WearR, kWearR, ReadScaled, WriteScaled, double)
TAVRIN_OFFSET_PAIR(GeometryR, kGeometryR, ReadScaled, WriteScaled, double)
TAVRIN_OFFSET_PAIR(WearY, kWearY, ReadScaled, WriteScaled, double)
TAVRIN_OFFSET_PAIR(GeometryY, kGeometryY, ReadScaled, WriteScaled, double)
TAVRIN_OFFSET_PAIR(WearT, kWearT, ReadWhole, WriteWhole, tavrin_long)
TAVRIN_OFFSET_PAIR(GeometryT, kGeometryT, ReadWhole, WriteWhole, tavrin_long)
