// The FOCAS2 Ethernet frame and its payloads, as both ends of a connection
// see them: the client library that sends requests and the simulated CNC
// that answers them.
//
// A frame is four magic bytes a0 a0 a0 a0, a version, a type and the payload
// length (each 16 bits, big-endian), then the payload.  A request or answer
// payload holds a count and that many sub-requests or sub-answers, each with
// its own length.  All numbers on the wire are big-endian.
//
// Nothing here throws on bad input or allocates more than the input allows:
// decoders check every count and length against the bytes they are given.
#ifndef TAVRIN_FOCAS2NET_WIRE_FRAME_H
#define TAVRIN_FOCAS2NET_WIRE_FRAME_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace tavrin {
namespace wire {

enum FrameType : std::uint16_t {
  kOpenRequest = 0x0101,
  kOpenAnswer = 0x0102,
  kCloseRequest = 0x0201,
  kCloseAnswer = 0x0202,
  kRequest = 0x2101,
  kAnswer = 0x2102,
};

// A client sends version 1; a CNC answers with version 2.
struct Frame {
  std::uint16_t version = 1;
  std::uint16_t type = 0;
  std::vector<std::uint8_t> payload;
};

// Classes and function codes of the sub-requests of the 19 calls.
constexpr std::uint16_t kCnc = 1;
constexpr std::uint16_t kPmc = 2;
enum Function : std::uint16_t {
  kReadOffset = 0x08,
  kWriteOffset = 0x09,
  kReadParam = 0x0e,
  kWriteParam = 0x0f,
  kParamAttribute = 0x10,
  kSystemInfo = 0x18,
  kStatus = 0x19,
  kFigure = 0x1b,
  kReadMacro = 0x2d,
  kWriteMacro = 0x2e,
  kAxisNames = 0x89,
  kTmMode = 0x98,
  kHdck = 0xe1,
  kReadPmc = 0x8001,
  kWritePmc = 0x8002,
};

// The most axes of a path: what the open answer gives as the maximum, and
// the elements of a parameter on the wire.
constexpr int kMaxAxes = 32;

constexpr std::size_t kHeaderSize = 10;
constexpr std::size_t kMaxPayload = 65535;

// The whole frame, header and payload; empty when the payload is longer than
// its 16-bit length field can say.
std::vector<std::uint8_t> EncodeFrame(const Frame& frame);

// Reads frames from a byte stream in whatever pieces it arrives.  Feed takes
// bytes up to the end of one frame and says in *used how many it took; the
// caller feeds the rest again after handling the frame.  It holds at most
// kHeaderSize + max_payload bytes.  A wrong magic byte or a payload length
// above max_payload makes it kBad, with the reason in error(); it then stays
// bad and takes nothing more (the stream cannot be resynchronised).
class FrameReader {
 public:
  enum class Result { kNeedMore, kFrame, kBad };

  explicit FrameReader(std::size_t max_payload = kMaxPayload);

  Result Feed(const std::uint8_t* data, std::size_t size, std::size_t* used);
  // The frame last completed; valid until the next Feed.
  const Frame& frame() const { return frame_; }
  // Why the stream was refused; "" while it is not.
  const char* error() const { return error_; }

 private:
  std::size_t max_payload_;
  std::uint8_t header_[kHeaderSize] = {};
  std::size_t header_have_ = 0;
  std::size_t payload_need_ = 0;
  bool in_payload_ = false;
  bool bad_ = false;
  bool complete_ = false;
  const char* error_ = "";
  Frame frame_;
};

// One sub-request: class (1 CNC, 2 PMC), path, function, five arguments and,
// for writes, extra data.  On the wire it is 28 bytes plus the extra data;
// by convention a write's fifth argument is the extra data's length, which
// the caller sets.
struct SubRequest {
  std::uint16_t cls = 1, path = 1, function = 0;
  std::int32_t args[5] = {};
  std::vector<std::uint8_t> extra;
};

// One sub-answer: class, path and function echoed, the error code (0 or what
// the call returns) and the data.  On the wire it is 16 bytes plus the data.
struct SubAnswer {
  std::uint16_t cls = 1, path = 1, function = 0;
  std::int16_t error = 0;
  std::vector<std::uint8_t> data;
};

constexpr std::size_t kSubRequestHeader = 28;
constexpr std::size_t kSubAnswerHeader = 16;

// A request or answer payload.  The encoders give an empty vector when the
// list or one entry does not fit its 16-bit count or length.  The decoders
// check the count and every length against the payload and refuse, with the
// reason in *why, a payload that is short, long or inconsistent.
std::vector<std::uint8_t> EncodeRequests(const std::vector<SubRequest>& requests);
bool DecodeRequests(const std::vector<std::uint8_t>& payload, std::vector<SubRequest>* out, std::string* why);
std::vector<std::uint8_t> EncodeAnswers(const std::vector<SubAnswer>& answers);
bool DecodeAnswers(const std::vector<std::uint8_t>& payload, std::vector<SubAnswer>* out, std::string* why);

// Big-endian numbers.  The getters read 2 or 4 bytes from p; the caller
// checks that they are there.
void PutU16(std::vector<std::uint8_t>& out, std::uint16_t value);
void PutU32(std::vector<std::uint8_t>& out, std::uint32_t value);
std::uint16_t GetU16(const std::uint8_t* p);
std::uint32_t GetU32(const std::uint8_t* p);

// The 8-byte number: value = mantissa / base^exponent (base 10 or 2).
struct Number8 {
  std::int32_t mantissa;
  std::int16_t base;
  std::int16_t exponent;
};
void PutNumber8(std::vector<std::uint8_t>& out, Number8 number);
Number8 GetNumber8(const std::uint8_t* p);

}  // namespace wire
}  // namespace tavrin

#endif  // TAVRIN_FOCAS2NET_WIRE_FRAME_H
