#include "cnc_link.h"

#include <algorithm>

namespace tavrin::focas2net {

namespace {

constexpr std::int32_t kOpeningParameter = 9968;
constexpr std::size_t kSystemInfoSize = 18;

// The open answer: a 16-byte head, then 8 bytes per path entry.
constexpr std::size_t kOpenHead = 16;
constexpr std::size_t kOpenPathEntry = 8;

Clock::time_point After(int timeout_ms) { return Clock::now() + std::chrono::milliseconds(timeout_ms); }

}  // namespace

const PathInfo* CncLink::Path(int number) const {
  static const PathInfo kUnknown;
  if (number < 1 || number > max_path_) return nullptr;
  if (static_cast<std::size_t>(number) > paths_.size()) return &kUnknown;
  return &paths_[static_cast<std::size_t>(number) - 1];
}

void CncLink::Break() {
  a_.Close();
  b_.Close();
  state_ = State::kBroken;
}

void CncLink::Drop() {
  std::lock_guard<std::mutex> lock(mutex_);
  a_.Close();
  b_.Close();
  state_ = State::kClosed;
}

short CncLink::Open(int timeout_ms) {
  std::lock_guard<std::mutex> lock(mutex_);
  switch (state_.load()) {
    case State::kOpen:
      return EW_OK;
    case State::kNew:
      open_result_ = OpenLocked(timeout_ms);
      if (open_result_ == EW_OK) {
        state_ = State::kOpen;
      } else {
        Break();
      }
      return open_result_;
    case State::kBroken:
    case State::kClosed:
      break;
  }
  return open_result_ != EW_OK ? open_result_ : EW_SOCKET;
}

// Connects one of the two connections and sends its open request; the
// answer's size must match the number of path entries it announces.  With
// `keep` the answer's figures are taken for the link.
short CncLink::OpenConnection(Socket* socket, std::uint16_t which, int timeout_ms, bool keep) {
  short result = socket->Connect(address_, port_, After(timeout_ms));
  if (result != EW_OK) return result;
  wire::Frame request;
  request.type = wire::kOpenRequest;
  wire::PutU16(request.payload, which);
  result = socket->Send(request, After(timeout_ms));
  if (result != EW_OK) return result;
  wire::Frame answer;
  result = socket->Receive(&answer, After(timeout_ms));
  if (result != EW_OK) return result;
  const std::vector<std::uint8_t>& p = answer.payload;
  if (answer.type != wire::kOpenAnswer || p.size() < kOpenHead) return EW_PROTOCOL;
  const std::size_t entries = wire::GetU16(&p[8]);
  if (p.size() != kOpenHead + kOpenPathEntry * entries || entries == 0) return EW_PROTOCOL;
  // Bytes 2-3 other than 0 ask for a start-up variant this library does
  // not speak.
  if (wire::GetU16(&p[2]) != 0) return EW_PROTOCOL;
  if (!keep) return EW_OK;
  max_axes_ = wire::GetU16(&p[4]);
  max_path_ = wire::GetU16(&p[10]);
  paths_.clear();
  for (std::size_t i = 0; i < entries; ++i) {
    const std::uint8_t* entry = &p[kOpenHead + kOpenPathEntry * i];
    PathInfo path;
    path.machine_type[0] = static_cast<char>(entry[0]);
    path.machine_type[1] = static_cast<char>(entry[1]);
    path.spindles = wire::GetU16(entry + 2);
    path.axes = std::min<int>(wire::GetU16(entry + 4), wire::kMaxAxes);
    paths_.push_back(path);
  }
  return EW_OK;
}

short CncLink::OpenLocked(int timeout_ms) {
  short result = OpenConnection(&a_, 1, timeout_ms, true);
  if (result == EW_OK) result = OpenConnection(&b_, 2, timeout_ms, false);
  if (result != EW_OK) return result;

  // The system information of every path, in one frame.
  std::vector<wire::SubRequest> info(paths_.size());
  for (std::size_t i = 0; i < info.size(); ++i) {
    info[i].cls = kCncClass;
    info[i].path = static_cast<std::uint16_t>(i + 1);
    info[i].function = wire::kSystemInfo;
  }
  std::vector<wire::SubAnswer> answers;
  result = ExchangeLocked(info, timeout_ms, &answers);
  if (result != EW_OK) return result;
  for (const wire::SubAnswer& answer : answers) {
    if (answer.data.size() < kSystemInfoSize) return EW_PROTOCOL;
  }

  wire::SubRequest parameter;
  parameter.cls = kCncClass;
  parameter.function = wire::kReadParam;
  parameter.args[0] = kOpeningParameter;
  parameter.args[1] = kOpeningParameter;
  return ExchangeLocked({parameter}, timeout_ms, &answers);
}

short CncLink::Exchange(const std::vector<wire::SubRequest>& requests, int timeout_ms,
                        std::vector<wire::SubAnswer>* answers) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (state_ != State::kOpen) return EW_SOCKET;
  return ExchangeLocked(requests, timeout_ms, answers);
}

short CncLink::Exchange(const wire::SubRequest& request, int timeout_ms, wire::SubAnswer* answer) {
  std::vector<wire::SubAnswer> answers;
  const short result = Exchange(std::vector<wire::SubRequest>{request}, timeout_ms, &answers);
  if (result == EW_OK) *answer = std::move(answers.front());
  return result;
}

short CncLink::ExchangeLocked(const std::vector<wire::SubRequest>& requests, int timeout_ms,
                              std::vector<wire::SubAnswer>* answers) {
  wire::Frame frame;
  frame.type = wire::kRequest;
  frame.payload = wire::EncodeRequests(requests);
  if (frame.payload.empty() || frame.payload.size() > wire::kMaxPayload) return EW_LENGTH;  // nothing sent
  const Clock::time_point deadline = After(timeout_ms);
  short result = b_.Send(frame, deadline);
  if (result == EW_OK) result = b_.Receive(&frame, deadline);
  if (result == EW_OK && frame.type != wire::kAnswer) result = EW_PROTOCOL;
  std::string why;
  if (result == EW_OK && !wire::DecodeAnswers(frame.payload, answers, &why)) result = EW_PROTOCOL;
  if (result == EW_OK && answers->size() != requests.size()) result = EW_PROTOCOL;
  for (std::size_t i = 0; result == EW_OK && i < requests.size(); ++i) {
    const wire::SubAnswer& answer = (*answers)[i];
    if (answer.cls != requests[i].cls || answer.function != requests[i].function) result = EW_PROTOCOL;
  }
  if (result != EW_OK) {
    // The stream is out of step with its requests: nothing more on it.
    Break();
    return result;
  }
  for (const wire::SubAnswer& answer : *answers) {
    if (answer.error != 0) return answer.error;
  }
  return EW_OK;
}

void CncLink::Close(int timeout_ms) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (state_ == State::kOpen) {
    for (Socket* socket : {&a_, &b_}) {
      wire::Frame frame;
      frame.type = wire::kCloseRequest;
      const Clock::time_point deadline = After(timeout_ms);
      // The answer only tells that the CNC has let go; nothing waits on it.
      if (socket->Send(frame, deadline) == EW_OK) socket->Receive(&frame, deadline);
    }
  }
  a_.Close();
  b_.Close();
  state_ = State::kClosed;
}

}  // namespace tavrin::focas2net
