#include "focas_service.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "tavrin/focas2/records.h"
#include "tavrin/nc/return_codes.h"
#include "tavrin/simcnc_focas.h"

namespace tavrin::simcnc::server {

using wire::Frame;
using wire::GetNumber8;
using wire::GetU16;
using wire::GetU32;
using wire::Number8;
using wire::PutNumber8;
using wire::PutU16;
using wire::PutU32;
using wire::SubAnswer;
using wire::SubRequest;

namespace {

using namespace wire;  // the classes and function codes of the sub-requests

constexpr std::uint16_t kAnswerVersion = 2;
constexpr int kOpeningParameter = 9968;
// The most macro variables one request may cover: their answer must fit a
// sub-answer's 16-bit length.
constexpr std::int64_t kMaxMacroCount = (0xffff - wire::kSubAnswerHeader - 2) / 8;
// The longest PMC range of one request (a client splits longer ones), and
// the most the simulated CNC's PMC record carries in one call.
constexpr std::int64_t kMaxPmcBytes = 1432;
constexpr std::int64_t kPmcRecordRoom = 20;

bool FitsShort(std::int64_t value) { return value >= -32768 && value <= 32767; }


std::uint16_t KindCode(ParamKind kind) { return static_cast<std::uint16_t>(kind); }  // 0 bit .. 4 real

template <typename T>
T Load(const void* data, std::size_t offset) {
  T value;
  std::memcpy(&value, static_cast<const unsigned char*>(data) + offset, sizeof value);
  return value;
}

template <typename T>
void Store(void* data, std::size_t offset, T value) {
  std::memcpy(static_cast<unsigned char*>(data) + offset, &value, sizeof value);
}

char PmcLetter(std::int32_t address_type) {
  static constexpr struct {
    char letter;
    std::int32_t code;
  } kAreas[] = {{'G', 0}, {'F', 1}, {'Y', 2}, {'X', 3}, {'A', 4}, {'R', 5},
                {'T', 6}, {'K', 7}, {'C', 8}, {'D', 9}, {'E', 12}};
  for (const auto& area : kAreas) {
    if (area.code == address_type) return area.letter;
  }
  return 0;
}

// The open answer: a fixed part and one entry per path.
std::vector<std::uint8_t> OpenAnswer() {
  const int paths = PathCount();
  std::vector<std::uint8_t> data;
  PutU16(data, 0);
  PutU16(data, 0);  // the start-up variant: 0
  PutU16(data, kMaxAxes);
  PutU16(data, 0);
  PutU16(data, static_cast<std::uint16_t>(paths));
  PutU16(data, static_cast<std::uint16_t>(paths));
  PutU32(data, 0);
  for (int path = 1; path <= paths; ++path) {
    data.push_back(' ');
    data.push_back('T');  // a lathe
    PutU16(data, 1);      // spindles
    PutU16(data, static_cast<std::uint16_t>(AxisCount(path)));
    PutU16(data, 0);
  }
  return data;
}

std::vector<std::uint8_t> SystemInfo(int path) {
  std::vector<std::uint8_t> data;
  PutU16(data, 0);  // additional information
  PutU16(data, kMaxAxes);
  const int axes = AxisCount(path);
  const char text[] = {'S', 'M',                       // CNC type: simulated
                       ' ', 'T',                       // machine type: lathe
                       'T', 'V', 'S', 'M',             // series
                       '0', '0', '0', '1',             // version
                       static_cast<char>('0' + axes / 10), static_cast<char>('0' + axes % 10)};
  data.insert(data.end(), text, text + sizeof text);
  return data;
}

}  // namespace

bool ScaleNumber(Number8 number, std::int32_t* value, std::int16_t* decimals) {
  if (number.base != 2 && number.base != 10) return false;
  const std::int64_t mantissa = number.mantissa;
  if (number.exponent <= 0) {
    // A whole number: mantissa times base^-exponent.
    std::int64_t whole = mantissa;
    for (int i = 0; i < -number.exponent; ++i) {
      whole *= number.base;
      if (whole > INT32_MAX || whole < INT32_MIN) return false;
    }
    *value = static_cast<std::int32_t>(whole);
    *decimals = 0;
    return true;
  }
  // value = mantissa / divisor.  A base-2 number with a full mantissa was
  // cut off at its last bit: it is whole at d places when mantissa * 10^d
  // lies within 10^d of a multiple of the divisor (one unit of the last bit
  // at that scale).  A short mantissa, which had bits to spare, and a base-10
  // number must be exactly whole.
  const bool cut = number.base == 2 && (mantissa >= (1 << 24) || mantissa <= -(1 << 24));
  const int limit = number.base == 2 ? 62 : 18;
  if (number.exponent > limit) {
    *value = 0;
    *decimals = 0;
    return true;
  }
  std::int64_t divisor = 1;
  for (int i = 0; i < number.exponent; ++i) divisor *= number.base;
  std::int64_t scale = 1;
  int fitting = -1;
  std::int64_t fitting_value = 0;
  for (int places = 0; places <= 9; ++places, scale *= 10) {
    const std::int64_t scaled = mantissa * scale;  // below 2^31 * 10^9 < 2^61
    const std::int64_t half = divisor / 2;
    const std::int64_t rounded = (scaled >= 0 ? scaled + half : scaled - half) / divisor;
    if (rounded > INT32_MAX || rounded < INT32_MIN) break;
    fitting = places;
    fitting_value = rounded;
    std::int64_t rest = scaled - rounded * divisor;
    if (rest < 0) rest = -rest;
    if (cut ? rest <= scale : rest == 0) break;
  }
  if (fitting < 0) return false;
  *value = static_cast<std::int32_t>(fitting_value);
  *decimals = static_cast<std::int16_t>(fitting);
  return true;
}

MachineService::MachineService() : instance_(NewInstance()) {
  SelectedInstance selected(instance_);
  // Nothing reads a server's journal, and a long run would fill it.
  SetJournalEnabled(false);
}

MachineService::~MachineService() { DeleteInstance(instance_); }

bool MachineService::Load(const std::string& file, bool shared, std::string* error) {
  SelectedInstance selected(instance_);
  if (!shared) return LoadFile(file, error);
  // Taken once here so that a file that cannot be loaded is told at start.
  if (!WithStateFile(file, nullptr, nullptr, error)) return false;
  state_file_ = file;
  return true;
}

bool MachineService::PlanFailure(const std::string& name, short code, int nth) {
  Call call;
  if (!CallFromName(name, &call)) return false;
  SelectedInstance selected(instance_);
  if (nth > 0) {
    FailNth(call, nth, code);
  } else {
    FailAlways(call, code);
  }
  return true;
}

struct MachineService::Work {
  MachineService* service;
  Session* session;
  const Frame* in;
  Frame* out;
  std::string* why;
  bool ok = false;
};

void MachineService::RunWork(void* work) {
  auto* w = static_cast<Work*>(work);
  w->service->Handle(*w);
}

bool MachineService::Respond(Session& session, const Frame& in, Frame* out, std::string* why) {
  SelectedInstance selected(instance_);
  Work work{this, &session, &in, out, why};
  if (state_file_.empty()) {
    Handle(work);
    return work.ok;
  }
  std::string error;
  if (!WithStateFile(state_file_, &MachineService::RunWork, &work, &error)) {
    // Not loaded: the frame is not answered and the connection ends.  Not
    // saved: the answer stands, and the reason is logged.
    *why = (work.ok ? "state file not saved: " : "state file not loaded: ") + error;
  }
  return work.ok;
}

void MachineService::Handle(Work& work) {
  const Frame& in = *work.in;
  Session& session = *work.session;
  Frame& out = *work.out;
  out = Frame{};
  out.version = kAnswerVersion;
  switch (in.type) {
    case wire::kOpenRequest: {
      if (in.payload.size() != 2 || session.role != Session::Role::kNone) {
        *work.why = session.role != Session::Role::kNone ? "a second open request" : "open request of a wrong size";
        return;
      }
      const std::uint16_t which = GetU16(in.payload.data());
      if (which != 1 && which != 2) {
        *work.why = "open request for connection " + std::to_string(which);
        return;
      }
      session.role = which == 1 ? Session::Role::kFirst : Session::Role::kSecond;
      if (session.role == Session::Role::kSecond) {
        session.open_result =
            cnc_allclibhndl3(session.peer_address.c_str(), session.local_port, 0, &session.handle);
        if (session.open_result != EW_OK) session.handle = 0;
        session.opening_read_pending = true;
        session.path = 1;
      }
      out.type = wire::kOpenAnswer;
      out.payload = OpenAnswer();
      work.ok = true;
      return;
    }
    case wire::kCloseRequest:
      End(session);
      out.type = wire::kCloseAnswer;
      work.ok = true;
      return;
    case wire::kRequest: {
      std::vector<SubRequest> requests;
      if (!wire::DecodeRequests(in.payload, &requests, work.why)) return;
      std::vector<SubAnswer> answers;
      answers.reserve(requests.size());
      for (const SubRequest& request : requests) answers.push_back(Answer(session, request));
      out.type = wire::kAnswer;
      out.payload = wire::EncodeAnswers(answers);
      if (out.payload.empty() || out.payload.size() > wire::kMaxPayload) {
        *work.why = "the answer does not fit one frame";
        return;
      }
      work.ok = true;
      return;
    }
    default:
      *work.why = "unknown frame type " + std::to_string(in.type);
      return;
  }
}

void MachineService::End(Session& session) {
  if (session.handle != 0) {
    SelectedInstance selected(instance_);
    cnc_freelibhndl(session.handle);
  }
  session.handle = 0;
  session.role = Session::Role::kNone;
  session.opening_read_pending = false;
  session.status_cached = false;
}

namespace {

SubAnswer Failed(SubAnswer answer, short code) {
  answer.error = code;
  answer.data.clear();
  return answer;
}

// cnc_rdparam: number (32), axis (16), kind (16) and 32 elements.
SubAnswer ReadParam(unsigned short handle, int path, const SubRequest& request, SubAnswer answer) {
  const std::int32_t number = request.args[0];
  const std::int32_t axis = request.args[2];
  if (request.args[1] != number || !FitsShort(number) || !FitsShort(axis)) return Failed(answer, EW_NUMBER);
  ParamKind kind = ParamKind::Byte;
  bool per_axis = false;
  const bool known = GetParamKind(path, static_cast<short>(number), &kind, &per_axis);
  const std::size_t elements = axis == -1 ? kMaxAxes : 1;
  // An unknown parameter is still asked, so the simulated CNC names the fault.
  const std::size_t length = known ? 4 + elements * ParamElementSize(kind) : 5;
  focas::ParamRecord record{};
  const short result =
      cnc_rdparam(handle, static_cast<short>(number), static_cast<short>(axis), static_cast<short>(length), &record);
  if (result != EW_OK) return Failed(answer, result);
  PutU32(answer.data, static_cast<std::uint32_t>(number));
  PutU16(answer.data, static_cast<std::uint16_t>(axis));
  PutU16(answer.data, KindCode(kind));
  for (std::size_t i = 0; i < kMaxAxes; ++i) {
    const bool have = i < elements;
    switch (kind) {
      case ParamKind::Bit:
        PutU32(answer.data, have ? static_cast<std::uint8_t>(record.data.byte_data[i]) : 0u);
        break;
      case ParamKind::Byte:
        PutU32(answer.data, have ? static_cast<std::uint32_t>(record.data.byte_data[i]) : 0u);
        break;
      case ParamKind::Word:
        PutU32(answer.data, have ? static_cast<std::uint32_t>(record.data.word_data[i]) : 0u);
        break;
      case ParamKind::TwoWord:
        PutU32(answer.data, have ? static_cast<std::uint32_t>(record.data.two_word_data[i]) : 0u);
        break;
      case ParamKind::Real: {
        const focas::RealElement element = have ? record.data.real_data[i] : focas::RealElement{0, 0};
        PutNumber8(answer.data, Number8{element.value, 10, static_cast<std::int16_t>(element.decimals)});
        break;
      }
    }
  }
  return answer;
}

// The attribute query before a parameter write: number, 0, 0, attribute
// (bits 0-1 the kind, bit 8 per axis; reals are given as two-words, whose
// length a client then refuses for a real write).
SubAnswer ParamAttribute(int path, const SubRequest& request, SubAnswer answer) {
  const std::int32_t number = request.args[0];
  ParamKind kind = ParamKind::Byte;
  bool per_axis = false;
  if (!FitsShort(number) || !GetParamKind(path, static_cast<short>(number), &kind, &per_axis)) {
    return Failed(answer, EW_NUMBER);
  }
  const std::uint32_t type = kind == ParamKind::Real ? 3 : KindCode(kind);
  PutU32(answer.data, static_cast<std::uint32_t>(number));
  PutU32(answer.data, 0);
  PutU32(answer.data, 0);
  PutU32(answer.data, type | (per_axis ? 0x100u : 0u));
  return answer;
}

// cnc_wrparam: number (32), axis (16), kind (16), then the elements, of
// which the first is written.
SubAnswer WriteParam(unsigned short handle, const SubRequest& request, SubAnswer answer) {
  const std::vector<std::uint8_t>& extra = request.extra;
  if (extra.size() < 12) return Failed(answer, EW_LENGTH);
  const auto number = static_cast<std::int32_t>(GetU32(extra.data()));
  const auto axis = static_cast<std::int16_t>(GetU16(extra.data() + 4));
  const std::uint16_t type = GetU16(extra.data() + 6);
  if (!FitsShort(number)) return Failed(answer, EW_NUMBER);
  focas::ParamRecord record{};
  record.number = static_cast<std::int16_t>(number);
  record.axis = axis;
  const auto element = static_cast<std::int32_t>(GetU32(extra.data() + 8));
  short length = 0;
  switch (type) {
    case 0:
    case 1:
      record.data.byte_data[0] = static_cast<std::int8_t>(element);
      length = 5;
      break;
    case 2:
      record.data.word_data[0] = static_cast<std::int16_t>(element);
      length = 6;
      break;
    case 3:
      record.data.two_word_data[0] = element;
      length = 8;
      break;
    case 4: {
      if (extra.size() < 16) return Failed(answer, EW_LENGTH);
      std::int32_t value = 0;
      std::int16_t decimals = 0;
      if (!ScaleNumber(GetNumber8(extra.data() + 8), &value, &decimals)) return Failed(answer, EW_DATA);
      record.data.real_data[0] = focas::RealElement{value, decimals};
      length = 12;
      break;
    }
    default:
      return Failed(answer, EW_ATTRIB);
  }
  return Failed(answer, cnc_wrparam(handle, length, &record));
}

// Macro variables: an 8-byte number each, base 10 on a read.  A single
// variable goes to cnc_rdpmacro / cnc_wrpmacro, a range to the range calls.
// A range too long for one answer is still asked with the room of one
// answer, so that the simulated CNC names the fault (numbers first).
SubAnswer ReadMacros(unsigned short handle, const SubRequest& request, SubAnswer answer) {
  const std::int32_t first = request.args[0];
  const std::int32_t last = request.args[1];
  if (first == last) {
    focas::MacroRecord record{};
    const short result = cnc_rdpmacro(handle, first, &record);
    if (result != EW_OK) return Failed(answer, result);
    PutNumber8(answer.data, Number8{record.value, 10, record.decimals});
    return answer;
  }
  const std::int64_t asked = static_cast<std::int64_t>(last) - first + 1;
  const std::int64_t count = asked < 1 ? 1 : asked > kMaxMacroCount ? kMaxMacroCount : asked;
  std::vector<std::uint8_t> record(focas::MacroRangeLength(static_cast<long>(count)));
  const short result =
      cnc_rdpmacror(handle, first, last, static_cast<unsigned short>(record.size()), record.data());
  if (result != EW_OK) return Failed(answer, result);
  for (std::int64_t i = 0; i < count; ++i) {
    const std::size_t at = 12 + 8 * static_cast<std::size_t>(i);
    PutNumber8(answer.data, Number8{Load<std::int32_t>(record.data(), at), 10, Load<std::int16_t>(record.data(), at + 4)});
  }
  return answer;
}

SubAnswer WriteMacros(unsigned short handle, const SubRequest& request, SubAnswer answer) {
  const std::int32_t first = request.args[0];
  const std::int32_t last = request.args[1];
  const std::vector<std::uint8_t>& extra = request.extra;
  if (extra.empty() || extra.size() % 8 != 0 || extra.size() / 8 > static_cast<std::size_t>(kMaxMacroCount)) {
    return Failed(answer, EW_LENGTH);
  }
  const std::size_t count = extra.size() / 8;
  std::vector<std::uint8_t> record(focas::MacroRangeLength(static_cast<long>(count)));
  Store<std::int32_t>(record.data(), 0, first);
  Store<std::int32_t>(record.data(), 8, last);
  for (std::size_t i = 0; i < count; ++i) {
    std::int32_t value = 0;
    std::int16_t decimals = 0;
    if (!ScaleNumber(GetNumber8(extra.data() + 8 * i), &value, &decimals)) return Failed(answer, EW_DATA);
    Store<std::int32_t>(record.data(), 12 + 8 * i, value);
    Store<std::int16_t>(record.data(), 12 + 8 * i + 4, decimals);
  }
  if (first == last) {
    if (count != 1) return Failed(answer, EW_LENGTH);
    return Failed(answer, cnc_wrpmacro(handle, first, Load<std::int32_t>(record.data(), 12),
                                       Load<std::int16_t>(record.data(), 16)));
  }
  return Failed(answer, cnc_wrpmacror(handle, static_cast<unsigned short>(record.size()), record.data()));
}

// Tool offsets: [number, number, type, with 1000 added by a lathe client].
bool OffsetAddress(const SubRequest& request, short* number, short* type, short* fault) {
  const std::int32_t raw_type = request.args[2] >= 1000 ? request.args[2] - 1000 : request.args[2];
  if (request.args[0] != request.args[1] || !FitsShort(request.args[0])) {
    *fault = EW_NUMBER;
    return false;
  }
  if (!FitsShort(raw_type)) {
    *fault = EW_ATTRIB;
    return false;
  }
  *number = static_cast<short>(request.args[0]);
  *type = static_cast<short>(raw_type);
  return true;
}

SubAnswer ReadOffset(unsigned short handle, const SubRequest& request, SubAnswer answer) {
  short number = 0, type = 0, fault = 0;
  if (!OffsetAddress(request, &number, &type, &fault)) return Failed(answer, fault);
  focas::OffsetRecord record{};
  const short result = cnc_rdtofs(handle, number, type, sizeof record, &record);
  if (result != EW_OK) return Failed(answer, result);
  // The value, then the two words a write carries after it.
  PutU32(answer.data, static_cast<std::uint32_t>(record.value));
  PutU16(answer.data, 0);
  PutU16(answer.data, 0xffff);
  return answer;
}

SubAnswer WriteOffset(unsigned short handle, const SubRequest& request, SubAnswer answer) {
  short number = 0, type = 0, fault = 0;
  if (!OffsetAddress(request, &number, &type, &fault)) return Failed(answer, fault);
  if (request.extra.size() != 8) return Failed(answer, EW_LENGTH);
  const auto value = static_cast<std::int32_t>(GetU32(request.extra.data()));
  return Failed(answer, cnc_wrtofs(handle, number, type, sizeof(focas::OffsetRecord), value));
}

SubAnswer Figure(unsigned short handle, const SubRequest& request, SubAnswer answer) {
  if (!FitsShort(request.args[0])) return Failed(answer, EW_ATTRIB);
  short valid = 0, input = 0, output = 0;
  const short result = cnc_getfigure(handle, static_cast<short>(request.args[0]), &valid, &input, &output);
  if (result != EW_OK) return Failed(answer, result);
  PutU32(answer.data, static_cast<std::uint32_t>(valid));
  PutU16(answer.data, static_cast<std::uint16_t>(input));
  PutU16(answer.data, static_cast<std::uint16_t>(output));
  return answer;
}

SubAnswer AxisNames(unsigned short handle, SubAnswer answer) {
  short count = kMaxAxes;
  focas::AxisNameEntry names[kMaxAxes] = {};
  const short result = cnc_rdaxisname(handle, &count, names);
  if (result != EW_OK) return Failed(answer, result);
  for (short i = 0; i < count && i < kMaxAxes; ++i) {
    answer.data.push_back(static_cast<std::uint8_t>(names[i].name));
    answer.data.push_back(static_cast<std::uint8_t>(names[i].suffix));
    answer.data.push_back(0);
    answer.data.push_back(0);
  }
  return answer;
}

// PMC ranges [start, end, address type, data type], elements big-endian on
// the wire and least significant byte first in the PMC.  A range of up to 20
// bytes is one call of the simulated CNC, as from an application on the
// same computer; a longer one, checked first as a whole, is several.
struct PmcRange {
  short address_type = 0, data_type = 0;
  unsigned start = 0, end = 0;
  std::size_t value_size = 1;
  std::size_t bytes = 0;
};

short CheckPmcRange(const SubRequest& request, PmcRange* range, bool* split) {
  const std::int32_t start = request.args[0], end = request.args[1];
  if (!FitsShort(request.args[2]) || !FitsShort(request.args[3])) return EW_ATTRIB;
  if (start < 0 || end < 0 || start > 0xffff || end > 0xffff) return EW_NUMBER;
  range->address_type = static_cast<short>(request.args[2]);
  range->data_type = static_cast<short>(request.args[3]);
  range->start = static_cast<unsigned>(start);
  range->end = static_cast<unsigned>(end);
  range->value_size = range->data_type >= 0 && range->data_type <= 2 ? std::size_t{1} << range->data_type : 1;
  range->bytes = end >= start ? static_cast<std::size_t>(end - start) + 1 : 0;
  *split = false;
  if (range->bytes <= kPmcRecordRoom) return EW_OK;
  // What the simulated CNC would refuse in the whole range, it is asked
  // about in one call; only a good range is split.
  const char letter = PmcLetter(range->address_type);
  if (letter == 0 || range->data_type < 0 || range->data_type > 2 || range->end >= PmcAreaSize(letter) ||
      range->bytes % range->value_size != 0) {
    return EW_OK;
  }
  if (range->bytes > static_cast<std::size_t>(kMaxPmcBytes)) return EW_LENGTH;
  *split = true;
  return EW_OK;
}

// One call of the simulated CNC per chunk: the whole range when it is not
// split (the simulated CNC checks it), else 20 bytes at a time.
struct PmcChunk {
  unsigned short start, end, length;
  std::size_t bytes;  // data bytes of the record used
};

std::vector<PmcChunk> PmcChunks(const PmcRange& range, bool split, std::size_t given_bytes) {
  std::vector<PmcChunk> chunks;
  if (!split) {
    chunks.push_back(PmcChunk{static_cast<unsigned short>(range.start), static_cast<unsigned short>(range.end),
                              static_cast<unsigned short>(8 + std::min<std::size_t>(given_bytes, 0xfff0)),
                              std::min<std::size_t>(given_bytes, kPmcRecordRoom)});
    return chunks;
  }
  for (std::size_t at = 0; at < range.bytes; at += kPmcRecordRoom) {
    const std::size_t bytes = std::min<std::size_t>(kPmcRecordRoom, range.bytes - at);
    const auto start = static_cast<unsigned short>(range.start + at);
    chunks.push_back(PmcChunk{start, static_cast<unsigned short>(start + bytes - 1),
                              static_cast<unsigned short>(8 + bytes), bytes});
  }
  return chunks;
}

SubAnswer ReadPmc(unsigned short handle, const SubRequest& request, SubAnswer answer) {
  PmcRange range;
  bool split = false;
  const short fault = CheckPmcRange(request, &range, &split);
  if (fault != EW_OK) return Failed(answer, fault);
  for (const PmcChunk& chunk : PmcChunks(range, split, range.bytes)) {
    focas::PmcRecord record{};
    const short result =
        pmc_rdpmcrng(handle, range.address_type, range.data_type, chunk.start, chunk.end, chunk.length, &record);
    if (result != EW_OK) return Failed(answer, result);
    for (std::size_t i = 0; i + range.value_size <= chunk.bytes; i += range.value_size) {
      if (range.value_size == 1) answer.data.push_back(static_cast<std::uint8_t>(record.data.byte_data[i]));
      if (range.value_size == 2) PutU16(answer.data, Load<std::uint16_t>(&record.data, i));
      if (range.value_size == 4) PutU32(answer.data, Load<std::uint32_t>(&record.data, i));
    }
  }
  return answer;
}

SubAnswer WritePmc(unsigned short handle, const SubRequest& request, SubAnswer answer) {
  PmcRange range;
  bool split = false;
  const short fault = CheckPmcRange(request, &range, &split);
  if (fault != EW_OK) return Failed(answer, fault);
  const std::vector<std::uint8_t>& extra = request.extra;
  if (split && extra.size() != range.bytes) return Failed(answer, EW_LENGTH);
  std::size_t at = 0;
  for (const PmcChunk& chunk : PmcChunks(range, split, extra.size())) {
    focas::PmcRecord record{};
    record.address_type = range.address_type;
    record.data_type = range.data_type;
    record.start = chunk.start;
    record.end = chunk.end;
    for (std::size_t i = 0; i + range.value_size <= chunk.bytes; i += range.value_size) {
      const std::uint8_t* value = extra.data() + at + i;
      if (range.value_size == 1) record.data.byte_data[i] = static_cast<std::int8_t>(*value);
      if (range.value_size == 2) Store<std::uint16_t>(&record.data, i, GetU16(value));
      if (range.value_size == 4) Store<std::uint32_t>(&record.data, i, GetU32(value));
    }
    const short result = pmc_wrpmcrng(handle, chunk.length, &record);
    if (result != EW_OK) return Failed(answer, result);
    at += chunk.bytes;
  }
  return answer;
}

}  // namespace

SubAnswer MachineService::Answer(Session& session, const SubRequest& request) {
  SubAnswer answer;
  answer.cls = request.cls;
  answer.path = request.path;
  answer.function = request.function;
  const bool status_request =
      request.cls == kCnc && (request.function == kStatus || request.function == kHdck || request.function == kTmMode);
  if (!status_request) session.status_cached = false;

  if (request.cls == kCnc && request.function == kSystemInfo) {
    if (request.path < 1 || request.path > PathCount()) return Failed(answer, EW_PATH);
    answer.data = SystemInfo(request.path);
    return answer;
  }
  if (session.opening_read_pending && request.cls == kCnc && request.function == kReadParam &&
      request.args[0] == kOpeningParameter) {
    // The last step of opening: its error code is the open's result.
    session.opening_read_pending = false;
    if (session.open_result != EW_OK) return Failed(answer, session.open_result);
    PutU32(answer.data, kOpeningParameter);
    PutU16(answer.data, 0);
    PutU16(answer.data, 0);
    answer.data.resize(answer.data.size() + 4 * kMaxAxes, 0);
    return answer;
  }
  if (request.cls != kCnc && request.cls != kPmc) return Failed(answer, EW_FUNC);
  if (session.handle == 0) return Failed(answer, EW_HANDLE);
  const unsigned short handle = session.handle;

  const bool write = (request.cls == kPmc && request.function == kWritePmc) ||
                     (request.cls == kCnc && (request.function == kWriteParam || request.function == kWriteMacro ||
                                              request.function == kWriteOffset));
  if (write && static_cast<std::size_t>(request.args[4]) != request.extra.size()) return Failed(answer, EW_LENGTH);

  if (request.cls == kPmc) {
    // One PMC serves every path: the path field is not looked at.
    if (request.function == kReadPmc) return ReadPmc(handle, request, answer);
    if (request.function == kWritePmc) return WritePmc(handle, request, answer);
    return Failed(answer, EW_FUNC);
  }
  switch (request.function) {
    case kReadParam:
    case kWriteParam:
    case kParamAttribute:
    case kReadMacro:
    case kWriteMacro:
    case kReadOffset:
    case kWriteOffset:
    case kFigure:
    case kStatus:
    case kHdck:
    case kTmMode:
    case kAxisNames:
      break;
    default:
      return Failed(answer, EW_FUNC);
  }
  // The client selects a path by naming it in each request.
  if (request.path != session.path) {
    const short result = cnc_setpath(handle, static_cast<short>(request.path));
    if (result != EW_OK) return Failed(answer, result);
    session.path = request.path;
    session.status_cached = false;
  }
  switch (request.function) {
    case kReadParam:
      return ReadParam(handle, session.path, request, answer);
    case kParamAttribute:
      return ParamAttribute(session.path, request, answer);
    case kWriteParam:
      return WriteParam(handle, request, answer);
    case kReadMacro:
      return ReadMacros(handle, request, answer);
    case kWriteMacro:
      return WriteMacros(handle, request, answer);
    case kReadOffset:
      return ReadOffset(handle, request, answer);
    case kWriteOffset:
      return WriteOffset(handle, request, answer);
    case kFigure:
      return Figure(handle, request, answer);
    case kAxisNames:
      return AxisNames(handle, answer);
    default:
      break;
  }
  // The status: one cnc_statinfo answers its three requests.
  const unsigned bit = request.function == kStatus ? 1u : request.function == kHdck ? 2u : 4u;
  if (!session.status_cached || (session.status_used & bit) != 0) {
    focas::StatusRecord record{};
    const short result = cnc_statinfo(handle, &record);
    session.status_cached = false;
    if (result != EW_OK) return Failed(answer, result);
    std::memcpy(session.status, record.fields, sizeof session.status);
    session.status_cached = true;
    session.status_used = 0;
  }
  session.status_used |= bit;
  if (session.status_used == 7u) session.status_cached = false;
  if (request.function == kStatus) {
    for (int field = 2; field <= 8; ++field) PutU16(answer.data, static_cast<std::uint16_t>(session.status[field]));
  } else {
    PutU16(answer.data, static_cast<std::uint16_t>(session.status[request.function == kHdck ? 0 : 1]));
    PutU16(answer.data, 0);
  }
  return answer;
}

}  // namespace tavrin::simcnc::server
