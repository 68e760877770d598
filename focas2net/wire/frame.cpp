// The FOCAS2 Ethernet frame codec: see focas2net/wire/frame.h.
#include "focas2net/wire/frame.h"

#include <algorithm>

namespace tavrin {
namespace wire {

namespace {

constexpr std::uint8_t kMagic = 0xa0;

}  // namespace

void PutU16(std::vector<std::uint8_t>& out, std::uint16_t value) {
  out.push_back(static_cast<std::uint8_t>(value >> 8));
  out.push_back(static_cast<std::uint8_t>(value));
}

void PutU32(std::vector<std::uint8_t>& out, std::uint32_t value) {
  PutU16(out, static_cast<std::uint16_t>(value >> 16));
  PutU16(out, static_cast<std::uint16_t>(value));
}

std::uint16_t GetU16(const std::uint8_t* p) { return static_cast<std::uint16_t>((p[0] << 8) | p[1]); }

std::uint32_t GetU32(const std::uint8_t* p) {
  return (static_cast<std::uint32_t>(GetU16(p)) << 16) | GetU16(p + 2);
}

void PutNumber8(std::vector<std::uint8_t>& out, Number8 number) {
  PutU32(out, static_cast<std::uint32_t>(number.mantissa));
  PutU16(out, static_cast<std::uint16_t>(number.base));
  PutU16(out, static_cast<std::uint16_t>(number.exponent));
}

Number8 GetNumber8(const std::uint8_t* p) {
  return Number8{static_cast<std::int32_t>(GetU32(p)), static_cast<std::int16_t>(GetU16(p + 4)),
                 static_cast<std::int16_t>(GetU16(p + 6))};
}

std::vector<std::uint8_t> EncodeFrame(const Frame& frame) {
  std::vector<std::uint8_t> out;
  if (frame.payload.size() > kMaxPayload) return out;
  out.reserve(kHeaderSize + frame.payload.size());
  out.insert(out.end(), 4, kMagic);
  PutU16(out, frame.version);
  PutU16(out, frame.type);
  PutU16(out, static_cast<std::uint16_t>(frame.payload.size()));
  out.insert(out.end(), frame.payload.begin(), frame.payload.end());
  return out;
}

FrameReader::FrameReader(std::size_t max_payload) : max_payload_(std::min(max_payload, kMaxPayload)) {}

FrameReader::Result FrameReader::Feed(const std::uint8_t* data, std::size_t size, std::size_t* used) {
  std::size_t taken = 0;
  if (complete_) {
    // The frame handed out last time is done with: start the next one.
    complete_ = false;
    in_payload_ = false;
    header_have_ = 0;
    frame_.payload.clear();
  }
  Result result = Result::kNeedMore;
  while (!bad_ && taken < size && result == Result::kNeedMore) {
    if (!in_payload_) {
      const std::uint8_t byte = data[taken++];
      if (header_have_ < 4 && byte != kMagic) {
        bad_ = true;
        error_ = "the frame does not start with a0 a0 a0 a0";
        break;
      }
      header_[header_have_++] = byte;
      if (header_have_ < kHeaderSize) continue;
      frame_.version = GetU16(header_ + 4);
      frame_.type = GetU16(header_ + 6);
      payload_need_ = GetU16(header_ + 8);
      if (payload_need_ > max_payload_) {
        bad_ = true;
        error_ = "the frame's payload length is above the limit";
        break;
      }
      frame_.payload.clear();
      frame_.payload.reserve(payload_need_);
      in_payload_ = true;
    } else {
      const std::size_t n = std::min(size - taken, payload_need_ - frame_.payload.size());
      frame_.payload.insert(frame_.payload.end(), data + taken, data + taken + n);
      taken += n;
    }
    // Also reached straight after a header with an empty payload.
    if (in_payload_ && frame_.payload.size() == payload_need_) {
      complete_ = true;
      result = Result::kFrame;
    }
  }
  if (used) *used = taken;
  if (bad_) return Result::kBad;
  return result;
}

std::vector<std::uint8_t> EncodeRequests(const std::vector<SubRequest>& requests) {
  std::vector<std::uint8_t> out;
  if (requests.size() > 0xffff) return out;
  PutU16(out, static_cast<std::uint16_t>(requests.size()));
  for (const SubRequest& request : requests) {
    const std::size_t length = kSubRequestHeader + request.extra.size();
    if (length > 0xffff) return {};
    PutU16(out, static_cast<std::uint16_t>(length));
    PutU16(out, request.cls);
    PutU16(out, request.path);
    PutU16(out, request.function);
    for (std::int32_t arg : request.args) PutU32(out, static_cast<std::uint32_t>(arg));
    out.insert(out.end(), request.extra.begin(), request.extra.end());
  }
  return out;
}

bool DecodeRequests(const std::vector<std::uint8_t>& payload, std::vector<SubRequest>* out, std::string* why) {
  out->clear();
  const std::uint8_t* p = payload.data();
  const std::size_t size = payload.size();
  if (size < 2) {
    if (why) *why = "request payload shorter than its count";
    return false;
  }
  const std::size_t count = GetU16(p);
  std::size_t at = 2;
  for (std::size_t i = 0; i < count; ++i) {
    if (size - at < 2) {
      if (why) *why = "request payload ends before sub-request " + std::to_string(i + 1) + " of " + std::to_string(count);
      out->clear();
      return false;
    }
    const std::size_t length = GetU16(p + at);
    if (length < kSubRequestHeader || length > size - at) {
      if (why) *why = "sub-request " + std::to_string(i + 1) + " has length " + std::to_string(length) + " with " +
                      std::to_string(size - at) + " bytes left (at least 28 needed)";
      out->clear();
      return false;
    }
    SubRequest request;
    request.cls = GetU16(p + at + 2);
    request.path = GetU16(p + at + 4);
    request.function = GetU16(p + at + 6);
    for (int k = 0; k < 5; ++k) request.args[k] = static_cast<std::int32_t>(GetU32(p + at + 8 + 4 * k));
    request.extra.assign(p + at + kSubRequestHeader, p + at + length);
    out->push_back(std::move(request));
    at += length;
  }
  if (at != size) {
    if (why) *why = std::to_string(size - at) + " bytes after the last sub-request";
    out->clear();
    return false;
  }
  return true;
}

std::vector<std::uint8_t> EncodeAnswers(const std::vector<SubAnswer>& answers) {
  std::vector<std::uint8_t> out;
  if (answers.size() > 0xffff) return out;
  PutU16(out, static_cast<std::uint16_t>(answers.size()));
  for (const SubAnswer& answer : answers) {
    const std::size_t length = kSubAnswerHeader + answer.data.size();
    if (length > 0xffff) return {};
    PutU16(out, static_cast<std::uint16_t>(length));
    PutU16(out, answer.cls);
    PutU16(out, answer.path);
    PutU16(out, answer.function);
    PutU16(out, static_cast<std::uint16_t>(answer.error));
    PutU32(out, 0);
    PutU16(out, static_cast<std::uint16_t>(answer.data.size()));
    out.insert(out.end(), answer.data.begin(), answer.data.end());
  }
  return out;
}

bool DecodeAnswers(const std::vector<std::uint8_t>& payload, std::vector<SubAnswer>* out, std::string* why) {
  out->clear();
  const std::uint8_t* p = payload.data();
  const std::size_t size = payload.size();
  if (size < 2) {
    if (why) *why = "answer payload shorter than its count";
    return false;
  }
  const std::size_t count = GetU16(p);
  std::size_t at = 2;
  for (std::size_t i = 0; i < count; ++i) {
    if (size - at < 2) {
      if (why) *why = "answer payload ends before sub-answer " + std::to_string(i + 1) + " of " + std::to_string(count);
      out->clear();
      return false;
    }
    const std::size_t length = GetU16(p + at);
    if (length < kSubAnswerHeader || length > size - at) {
      if (why) *why = "sub-answer " + std::to_string(i + 1) + " has length " + std::to_string(length) + " with " +
                      std::to_string(size - at) + " bytes left (at least 16 needed)";
      out->clear();
      return false;
    }
    const std::size_t data_length = GetU16(p + at + 14);
    if (data_length != length - kSubAnswerHeader) {
      if (why) *why = "sub-answer " + std::to_string(i + 1) + " has data length " + std::to_string(data_length) +
                      " in a length of " + std::to_string(length);
      out->clear();
      return false;
    }
    SubAnswer answer;
    answer.cls = GetU16(p + at + 2);
    answer.path = GetU16(p + at + 4);
    answer.function = GetU16(p + at + 6);
    answer.error = static_cast<std::int16_t>(GetU16(p + at + 8));
    answer.data.assign(p + at + kSubAnswerHeader, p + at + length);
    out->push_back(std::move(answer));
    at += length;
  }
  if (at != size) {
    if (why) *why = std::to_string(size - at) + " bytes after the last sub-answer";
    out->clear();
    return false;
  }
  return true;
}

}  // namespace wire
}  // namespace tavrin
