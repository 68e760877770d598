// The FOCAS2 Ethernet frame reader and the request and answer decoders over
// arbitrary byte streams.
//
// The first byte chooses the reader's payload limit (its value times 64, 0
// for the full 65535) and the second the size of the pieces the stream is fed
// in (1 to 256); the rest is the stream.  Checked: the reader never takes more
// than it is given, always takes something until it has a frame or refuses
// the stream, hands out no payload above its limit and, once it refuses, stays
// refused; every frame's payload, and the stream itself, either decodes into
// sub-requests or sub-answers that encode back to the same bytes, or is
// refused with a reason and nothing decoded.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "focas2net/wire/frame.h"

namespace {

using namespace tavrin::wire;

void CheckPayload(const std::vector<std::uint8_t>& payload) {
  std::vector<SubRequest> requests;
  std::string why;
  if (DecodeRequests(payload, &requests, &why)) {
    if (EncodeRequests(requests) != payload) std::abort();
  } else if (!requests.empty() || why.empty()) {
    std::abort();
  }
  std::vector<SubAnswer> answers;
  why.clear();
  if (DecodeAnswers(payload, &answers, &why)) {
    // The four reserved bytes of a sub-answer are not looked at: encoded
    // again they are zero, and everything else is the same.
    const std::vector<std::uint8_t> again = EncodeAnswers(answers);
    std::vector<SubAnswer> twice;
    if (again.size() != payload.size() || !DecodeAnswers(again, &twice, &why) || twice.size() != answers.size()) {
      std::abort();
    }
    for (std::size_t i = 0; i < answers.size(); ++i) {
      const SubAnswer& a = answers[i];
      const SubAnswer& b = twice[i];
      if (a.cls != b.cls || a.path != b.path || a.function != b.function || a.error != b.error || a.data != b.data) {
        std::abort();
      }
    }
  } else if (!answers.empty() || why.empty()) {
    std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  const std::size_t limit = data[0] == 0 ? kMaxPayload : std::size_t{data[0]} * 64;
  const std::size_t piece = 1 + data[1];
  const uint8_t* stream = data + 2;
  const std::size_t length = size - 2;
  CheckPayload(std::vector<std::uint8_t>(stream, stream + length));

  FrameReader reader(limit);
  std::size_t at = 0;
  while (at < length) {
    const std::size_t given = std::min(piece, length - at);
    std::size_t used = 0;
    const auto result = reader.Feed(stream + at, given, &used);
    if (used > given) std::abort();
    at += used;
    if (result == FrameReader::Result::kBad) {
      if (*reader.error() == '\0') std::abort();
      std::size_t more = 1;
      if (at < length && (reader.Feed(stream + at, length - at, &more) != FrameReader::Result::kBad || more != 0)) {
        std::abort();
      }
      break;
    }
    if (result == FrameReader::Result::kNeedMore && used != given) std::abort();
    if (result == FrameReader::Result::kFrame) {
      const Frame& frame = reader.frame();
      if (frame.payload.size() > limit) std::abort();
      const std::vector<std::uint8_t> again = EncodeFrame(frame);
      if (again.size() != kHeaderSize + frame.payload.size()) std::abort();
      CheckPayload(frame.payload);
    }
  }
  return 0;
}
