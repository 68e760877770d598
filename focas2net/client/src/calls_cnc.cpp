// The calls for the process, handles and paths, parameters, tool offsets,
// figures, status and axis names.
#include <algorithm>

#include "call_support.h"

using namespace tavrin::focas2net;

namespace {

constexpr int kAllAxes = -1;
constexpr std::size_t kParamHeader = 4;  // number, axis
// On the wire a parameter is number (32), axis, type, then 32 elements.
constexpr std::size_t kWireParamHead = 8;
enum ParamType { kBit = 0, kByte = 1, kWord = 2, kTwoWord = 3, kReal = 4 };

// Bytes of one element in the caller's parameter record.
std::size_t RecordElementSize(int type) {
  switch (type) {
    case kBit:
    case kByte:
      return 1;
    case kWord:
      return 2;
    case kTwoWord:
      return 4;
    default:
      return 8;
  }
}

std::int32_t Signed32(const std::uint8_t* p) { return static_cast<std::int32_t>(GetU32(p)); }
std::int16_t Signed16(const std::uint8_t* p) { return static_cast<std::int16_t>(GetU16(p)); }

// Offsets of a lathe path travel with 1000 added to their type.
std::int32_t WireOffsetType(const Target& target, short type) {
  return target.path_info().machine_type[1] == 'T' ? type + 1000 : type;
}

short ReadParam(unsigned short handle, short number, short axis, short length, void* record) {
  Target target;
  short result = FindHandle(handle, &target);
  if (result != EW_OK) return result;
  if (record == nullptr) return EW_DATA;
  SubAnswer answer;
  result = Ask(target, CncRequest(target, kReadParam, {number, number, axis}), kWireParamHead, &answer);
  if (result != EW_OK) return result;
  const std::uint8_t* data = answer.data.data();
  const int type = GetU16(data + 6);
  if (type > kReal) return EW_PROTOCOL;
  const std::size_t wire_size = type == kReal ? 8 : 4;
  if (answer.data.size() < kWireParamHead + kMaxAxes * wire_size) return EW_PROTOCOL;
  // The caller's length must be the one of the parameter's type.
  const std::size_t size = RecordElementSize(type);
  const bool all_axes = axis == kAllAxes;
  if (length < 0 || static_cast<std::size_t>(length) != kParamHeader + (all_axes ? kMaxAxes : 1) * size) {
    return EW_LENGTH;
  }
  const int count = all_axes ? target.path_info().axes : 1;
  Put<std::int16_t>(record, 0, static_cast<std::int16_t>(GetU32(data)));
  Put<std::int16_t>(record, 2, Signed16(data + 4));
  for (int i = 0; i < count; ++i) {
    const std::uint8_t* element = data + kWireParamHead + wire_size * static_cast<std::size_t>(i);
    const std::size_t at = kParamHeader + size * static_cast<std::size_t>(i);
    const std::int32_t value = Signed32(element);
    switch (type) {
      case kBit:
      case kByte:
        Put<std::int8_t>(record, at, static_cast<std::int8_t>(value));
        break;
      case kWord:
        Put<std::int16_t>(record, at, static_cast<std::int16_t>(value));
        break;
      case kTwoWord:
        Put<std::int32_t>(record, at, value);
        break;
      case kReal: {
        const tavrin::wire::Number8 real = GetNumber8(element);
        Put<std::int32_t>(record, at, real.mantissa);
        Put<std::int32_t>(record, at + 4, real.exponent);
        break;
      }
    }
  }
  return EW_OK;
}

// The type is asked of the CNC first; the record must fit it.  Real
// parameters and all axes at once are refused here, as the length of either
// fits no type that can be written.
short WriteParam(unsigned short handle, short length, const void* record) {
  Target target;
  short result = FindHandle(handle, &target);
  if (result != EW_OK) return result;
  if (record == nullptr) return EW_DATA;
  if (length < static_cast<short>(kParamHeader) + 1 || length > static_cast<short>(kParamHeader) + 4) return EW_LENGTH;
  const auto number = Take<std::int16_t>(record, 0);
  const auto axis = Take<std::int16_t>(record, 2);
  if (axis == kAllAxes) return EW_LENGTH;
  SubAnswer answer;
  result = Ask(target, CncRequest(target, kParamAttribute, {number, 1}), 16, &answer);
  if (result != EW_OK) return result;
  const int type = static_cast<int>(GetU32(answer.data.data() + 12) & 3);
  if (static_cast<std::size_t>(length) != kParamHeader + RecordElementSize(type)) return EW_LENGTH;
  std::int32_t value = 0;
  switch (type) {
    case kBit:
      value = Take<std::uint8_t>(record, kParamHeader);
      break;
    case kByte:
      value = Take<std::int8_t>(record, kParamHeader);
      break;
    case kWord:
      value = Take<std::int16_t>(record, kParamHeader);
      break;
    default:
      value = Take<std::int32_t>(record, kParamHeader);
      break;
  }
  SubRequest write = CncRequest(target, kWriteParam, {});
  PutU32(write.extra, static_cast<std::uint32_t>(number));
  PutU16(write.extra, static_cast<std::uint16_t>(axis));
  PutU16(write.extra, static_cast<std::uint16_t>(type));
  PutU32(write.extra, static_cast<std::uint32_t>(value));
  write.extra.resize(kWireParamHead + 4 * kMaxAxes, 0);
  write.args[4] = static_cast<std::int32_t>(write.extra.size());
  return Ask(target, write, 0, &answer);
}

}  // namespace

extern "C" {

// The log file named is not written.
short TAVRIN_CALL cnc_startupprocess(unsigned short /*level*/, const char* /*log*/) {
  StartUp();
  return EW_OK;
}

short TAVRIN_CALL cnc_exitprocess() {
  ExitAll();
  return EW_OK;
}

// Only Ethernet handles exist here: no bus, no node.
short TAVRIN_CALL cnc_allclibhndl(unsigned short* /*handle*/) { return Started() ? EW_NODLL : EW_INIERR; }

short TAVRIN_CALL cnc_allclibhndl2(std::int32_t /*node*/, unsigned short* handle) { return cnc_allclibhndl(handle); }

short TAVRIN_CALL cnc_allclibhndl3(const char* address, unsigned short port, std::int32_t timeout,
                                   unsigned short* handle) {
  return OpenHandle(address, port, timeout, handle);
}

short TAVRIN_CALL cnc_freelibhndl(unsigned short handle) { return FreeHandle(handle); }

short TAVRIN_CALL cnc_getpath(unsigned short handle, short* current, short* maximum) {
  Target target;
  const short result = FindHandle(handle, &target);
  if (result != EW_OK) return result;
  if (current == nullptr || maximum == nullptr) return EW_DATA;
  *current = static_cast<short>(target.path);
  *maximum = static_cast<short>(target.link->max_path());
  return EW_OK;
}

short TAVRIN_CALL cnc_setpath(unsigned short handle, short path) { return SelectPath(handle, path); }

short TAVRIN_CALL cnc_rdparam(unsigned short handle, short number, short axis, short length, void* record) {
  return ReadParam(handle, number, axis, length, record);
}

short TAVRIN_CALL cnc_wrparam(unsigned short handle, short length, void* record) {
  return WriteParam(handle, length, record);
}

short TAVRIN_CALL cnc_rdtofs(unsigned short handle, short number, short type, short length, void* record) {
  Target target;
  short result = FindHandle(handle, &target);
  if (result != EW_OK) return result;
  if (record == nullptr) return EW_DATA;
  if (length != 8) return EW_LENGTH;
  SubAnswer answer;
  result = Ask(target, CncRequest(target, kReadOffset, {number, number, WireOffsetType(target, type)}), 4, &answer);
  if (result != EW_OK) return result;
  Put<std::int16_t>(record, 0, number);
  Put<std::int16_t>(record, 2, type);
  Put<std::int32_t>(record, 4, Signed32(answer.data.data()));
  return EW_OK;
}

short TAVRIN_CALL cnc_wrtofs(unsigned short handle, short number, short type, short length, std::int32_t value) {
  Target target;
  const short result = FindHandle(handle, &target);
  if (result != EW_OK) return result;
  if (length != 8) return EW_LENGTH;
  SubRequest write = CncRequest(target, kWriteOffset, {number, number, WireOffsetType(target, type), 0, 8});
  PutU32(write.extra, static_cast<std::uint32_t>(value));
  PutU16(write.extra, 0);
  PutU16(write.extra, 0xffff);
  SubAnswer answer;
  return Ask(target, write, 0, &answer);
}

// Pair k of the answer goes to element k of both outputs: one pair for every
// kind but 0, which has one per controlled axis of the path.
short TAVRIN_CALL cnc_getfigure(unsigned short handle, short kind, short* valid_digits, short* input_decimals,
                                short* output_decimals) {
  Target target;
  short result = FindHandle(handle, &target);
  if (result != EW_OK) return result;
  if (valid_digits == nullptr || input_decimals == nullptr || output_decimals == nullptr) return EW_DATA;
  const std::size_t pairs = kind == 0 ? static_cast<std::size_t>(target.path_info().axes) : 1;
  SubAnswer answer;
  result = Ask(target, CncRequest(target, kFigure, {kind}), 4 + 4 * pairs, &answer);
  if (result != EW_OK) return result;
  const std::uint8_t* data = answer.data.data();
  *valid_digits = static_cast<short>(Signed32(data));
  for (std::size_t k = 0; k < pairs; ++k) {
    input_decimals[k] = Signed16(data + 4 + 4 * k);
    output_decimals[k] = Signed16(data + 6 + 4 * k);
  }
  return EW_OK;
}

// Three requests; the record (9 fields) is filled once all have answered:
// hdck, T/M mode, then the seven fields of the status request.
short TAVRIN_CALL cnc_statinfo(unsigned short handle, void* record) {
  Target target;
  short result = FindHandle(handle, &target);
  if (result != EW_OK) return result;
  if (record == nullptr) return EW_DATA;
  SubAnswer status;
  SubAnswer hdck;
  SubAnswer mode;
  result = Ask(target, CncRequest(target, kStatus, {}), 14, &status);
  if (result == EW_OK) result = Ask(target, CncRequest(target, kHdck, {}), 2, &hdck);
  if (result == EW_OK) result = Ask(target, CncRequest(target, kTmMode, {}), 2, &mode);
  if (result != EW_OK) return result;
  Put<std::int16_t>(record, 0, Signed16(hdck.data.data()));
  Put<std::int16_t>(record, 2, Signed16(mode.data.data()));
  for (std::size_t i = 0; i < 7; ++i) Put<std::int16_t>(record, 4 + 2 * i, Signed16(status.data.data() + 2 * i));
  return EW_OK;
}

// `count` is the room of `names` in entries (name, suffix); it comes back as
// the entries filled, no more than the path's controlled axes.
short TAVRIN_CALL cnc_rdaxisname(unsigned short handle, short* count, void* names) {
  Target target;
  short result = FindHandle(handle, &target);
  if (result != EW_OK) return result;
  if (count == nullptr || names == nullptr) return EW_DATA;
  if (*count < 1) return EW_LENGTH;
  SubAnswer answer;
  result = Ask(target, CncRequest(target, kAxisNames, {}), 0, &answer);
  if (result != EW_OK) return result;
  const std::size_t filled = std::min({static_cast<std::size_t>(*count), answer.data.size() / 4,
                                       static_cast<std::size_t>(target.path_info().axes)});
  for (std::size_t i = 0; i < filled; ++i) {
    Put<char>(names, 2 * i, static_cast<char>(answer.data[4 * i]));
    Put<char>(names, 2 * i + 1, static_cast<char>(answer.data[4 * i + 1]));
  }
  *count = static_cast<short>(filled);
  return EW_OK;
}

}  // extern "C"
