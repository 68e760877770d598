// The link to one CNC: its two TCP connections (A, which only opens and
// closes, and B, which carries every request), what the CNC told of its
// paths when it was opened, and the lock that keeps one request and its
// answer together on B.  Handles to the same CNC share one link.
#ifndef TAVRIN_FOCAS2NET_CLIENT_CNC_LINK_H
#define TAVRIN_FOCAS2NET_CLIENT_CNC_LINK_H

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "codes.h"
#include "focas2net/wire/frame.h"
#include "socket.h"

namespace tavrin::focas2net {

// Classes of sub-requests.
constexpr std::uint16_t kCncClass = 1;
constexpr std::uint16_t kPmcClass = 2;

// One path as the open answer gives it.
struct PathInfo {
  char machine_type[2] = {' ', ' '};  // " T" lathe, " M"
  int spindles = 0;
  int axes = 0;  // controlled axes, at most 32
};

class CncLink {
 public:
  CncLink(std::string address, unsigned short port) : address_(std::move(address)), port_(port) {}

  // Opens the link once, with `timeout_ms` for each connect and each answer;
  // a second call (another handle to the same CNC) waits for the first and
  // gives its result.  EW_OK, EW_SOCKET, EW_PROTOCOL (an open answer of the
  // wrong size or of a start-up variant not spoken here, or an answer that
  // is not a frame), or the CNC's code for the set-up requests.
  short Open(int timeout_ms);

  // Sends the sub-requests as one frame on B and waits for the answer, each
  // sub-answer for its sub-request.  EW_OK, the first non-zero error code a
  // sub-answer carries, EW_SOCKET or EW_PROTOCOL; after the last two the
  // link is broken and every later exchange gives EW_SOCKET.
  short Exchange(const std::vector<wire::SubRequest>& requests, int timeout_ms, std::vector<wire::SubAnswer>* answers);
  // The same for the one sub-request of most calls.
  short Exchange(const wire::SubRequest& request, int timeout_ms, wire::SubAnswer* answer);

  // Sends the close requests on A and B, waits for their answers, and shuts
  // both connections.  A broken link is only shut.
  void Close(int timeout_ms);
  // Shuts both connections without a word to the CNC.
  void Drop();

  // Whether a new handle may share the link: not broken or closed.
  bool usable() const { return state_ == State::kNew || state_ == State::kOpen; }
  const std::string& address() const { return address_; }
  unsigned short port() const { return port_; }

  // What the open answer told; fixed once Open has succeeded.
  int max_path() const { return max_path_; }
  int max_axes() const { return max_axes_; }
  const PathInfo* Path(int number) const;

 private:
  enum class State { kNew, kOpen, kBroken, kClosed };

  short OpenLocked(int timeout_ms);
  short OpenConnection(Socket* socket, std::uint16_t which, int timeout_ms, bool keep);
  short ExchangeLocked(const std::vector<wire::SubRequest>& requests, int timeout_ms,
                       std::vector<wire::SubAnswer>* answers);
  void Break();

  const std::string address_;
  const unsigned short port_;

  std::mutex mutex_;  // one request and its answer at a time
  std::atomic<State> state_{State::kNew};  // written under mutex_, read anywhere
  short open_result_ = EW_OK;
  Socket a_;
  Socket b_;

  int max_path_ = 0;
  int max_axes_ = 0;
  std::vector<PathInfo> paths_;
};

}  // namespace tavrin::focas2net

#endif
