// libtavrin-focas2-net against a scripted CNC of this test's own on
// loopback: the bytes it sends, the records it fills, and the codes it gives
// when the peer misbehaves.  The peer builds and reads its frames by hand,
// not with the library's codec.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstring>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "tavrin/focas2/calls.h"
#include "tavrin/focas2/records.h"
#include "tavrin/nc/return_codes.h"

extern "C" {
#define DECLARE(name, parameters, arguments) short name parameters;
TAVRIN_FOCAS2_CALLS(DECLARE)
#undef DECLARE
short cnc_startupprocess(unsigned short level, const char* log);
short cnc_exitprocess();
}

namespace {

using Bytes = std::vector<std::uint8_t>;
constexpr short kSocket = -16;

void Put16(Bytes& out, unsigned value) {
  out.push_back(static_cast<std::uint8_t>(value >> 8));
  out.push_back(static_cast<std::uint8_t>(value));
}
void Put32(Bytes& out, std::uint32_t value) {
  Put16(out, value >> 16);
  Put16(out, value & 0xffff);
}
unsigned Get16(const std::uint8_t* p) { return static_cast<unsigned>(p[0] << 8 | p[1]); }
std::int32_t Get32(const std::uint8_t* p) { return static_cast<std::int32_t>(Get16(p) << 16 | Get16(p + 2)); }

Bytes Frame(unsigned type, const Bytes& payload) {
  Bytes out{0xa0, 0xa0, 0xa0, 0xa0};
  Put16(out, 2);
  Put16(out, type);
  Put16(out, static_cast<unsigned>(payload.size()));
  out.insert(out.end(), payload.begin(), payload.end());
  return out;
}

// One sub-request as the peer read it.
struct Sub {
  unsigned cls, path, function;
  std::int32_t args[5];
  Bytes extra;
};

// A frame the peer received, on its connection (0 the first accepted).
struct Seen {
  int connection;
  unsigned type;
  Bytes payload;
  std::vector<Sub> subs;
};

enum class Peer { kAnswers, kWrongOpenSize, kNotFocas, kClosesAtOpen, kSilent };

// Two paths: 1 a lathe path with 3 controlled axes, 2 with 2.  Answers each
// request after checking that no other arrived before its answer.
class ScriptedCnc {
 public:
  explicit ScriptedCnc(Peer peer = Peer::kAnswers) : peer_(peer) {
    listener_ = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    EXPECT_EQ(0, ::bind(listener_, reinterpret_cast<sockaddr*>(&address), size));
    EXPECT_EQ(0, ::listen(listener_, 8));
    ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &size);
    port_ = ntohs(address.sin_port);
    EXPECT_EQ(0, ::pipe(stop_));
    accepting_ = std::thread([this] { Accept(); });
  }
  ~ScriptedCnc() {
    ::write(stop_[1], "x", 1);
    accepting_.join();
    {
      std::lock_guard<std::mutex> lock(mutex_);
      for (int fd : fds_) ::shutdown(fd, SHUT_RDWR);
    }
    for (std::thread& thread : serving_) thread.join();
    for (int fd : fds_) ::close(fd);
    ::close(listener_);
    ::close(stop_[0]);
    ::close(stop_[1]);
  }

  unsigned short port() const { return port_; }
  std::vector<Seen> seen() {
    std::lock_guard<std::mutex> lock(mutex_);
    return seen_;
  }
  std::vector<std::string> faults() {
    std::lock_guard<std::mutex> lock(mutex_);
    return faults_;
  }
  int connections() {
    std::lock_guard<std::mutex> lock(mutex_);
    return static_cast<int>(fds_.size());
  }

 private:
  void Accept() {
    for (;;) {
      pollfd entries[2] = {{listener_, POLLIN, 0}, {stop_[0], POLLIN, 0}};
      ::poll(entries, 2, -1);
      if (entries[1].revents != 0) return;
      const int fd = ::accept(listener_, nullptr, nullptr);
      if (fd < 0) continue;
      std::lock_guard<std::mutex> lock(mutex_);
      const int id = static_cast<int>(fds_.size());
      fds_.push_back(fd);
      serving_.emplace_back([this, fd, id] { Serve(fd, id); });
    }
  }

  static bool ReadAll(int fd, std::uint8_t* data, std::size_t size) {
    while (size > 0) {
      const ssize_t n = ::recv(fd, data, size, 0);
      if (n <= 0) return false;
      data += n;
      size -= static_cast<std::size_t>(n);
    }
    return true;
  }

  void Fault(const std::string& what) {
    std::lock_guard<std::mutex> lock(mutex_);
    faults_.push_back(what);
  }

  void Serve(int fd, int id) {
    for (;;) {
      std::uint8_t head[10];
      if (!ReadAll(fd, head, sizeof head)) return;
      if (Get32(head) != static_cast<std::int32_t>(0xa0a0a0a0) || Get16(head + 4) != 1) {
        return Fault("a frame that does not start as one");
      }
      Seen frame{id, Get16(head + 6), Bytes(Get16(head + 8)), {}};
      if (!ReadAll(fd, frame.payload.data(), frame.payload.size())) return;
      std::uint8_t more;
      if (::recv(fd, &more, 1, MSG_PEEK | MSG_DONTWAIT) > 0) Fault("a request before the answer to the last");
      if (frame.type == 0x2101 && !ReadSubs(&frame)) return Fault("a request whose lengths do not add up");
      {
        std::lock_guard<std::mutex> lock(mutex_);
        seen_.push_back(frame);
      }
      Bytes answer = AnswerTo(frame);
      if (peer_ == Peer::kClosesAtOpen) return static_cast<void>(::shutdown(fd, SHUT_RDWR));
      if (peer_ != Peer::kSilent) ::send(fd, answer.data(), answer.size(), MSG_NOSIGNAL);
    }
  }

  static bool ReadSubs(Seen* frame) {
    const Bytes& p = frame->payload;
    std::size_t at = 2;
    for (unsigned i = 0; i < Get16(p.data()); ++i) {
      if (at + 28 > p.size()) return false;
      const std::size_t length = Get16(&p[at]);
      if (length < 28 || at + length > p.size()) return false;
      Sub sub{Get16(&p[at + 2]), Get16(&p[at + 4]), Get16(&p[at + 6]), {}, {}};
      for (int k = 0; k < 5; ++k) sub.args[k] = Get32(&p[at + 8 + 4 * k]);
      sub.extra.assign(p.begin() + static_cast<long>(at + 28), p.begin() + static_cast<long>(at + length));
      frame->subs.push_back(sub);
      at += length;
    }
    return at == p.size();
  }

  Bytes AnswerTo(const Seen& frame) const {
    if (frame.type == 0x0201) return Frame(0x0202, {});
    if (frame.type == 0x0101) {
      if (peer_ == Peer::kNotFocas) return Bytes{'H', 'T', 'T', 'P', '/', '1', '.', '0', ' ', '4', '0', '0', '\r', '\n'};
      Bytes open;
      for (unsigned value : {0, 0, 32, 0, 2, 2, 0, 0}) Put16(open, value);
      for (unsigned axes : {3, 2}) {
        open.push_back(' ');
        open.push_back('T');
        for (unsigned value : {1u, axes, 0u}) Put16(open, value);
      }
      if (peer_ == Peer::kWrongOpenSize) Put16(open, 0);
      return Frame(0x0102, open);
    }
    Bytes answers;
    Put16(answers, static_cast<unsigned>(frame.subs.size()));
    for (const Sub& sub : frame.subs) {
      unsigned error = 0;
      Bytes data = DataFor(sub, &error);
      Put16(answers, 16 + static_cast<unsigned>(data.size()));
      for (unsigned value : {sub.cls, sub.path, sub.function, error, 0u, 0u, static_cast<unsigned>(data.size())}) {
        Put16(answers, value);
      }
      answers.insert(answers.end(), data.begin(), data.end());
    }
    return Frame(0x2102, answers);
  }

  // Parameters are words whose element i holds 10 x number + i; PMC byte
  // k of an area holds k & 0xff; five axis names, more than any path has.
  static Bytes DataFor(const Sub& sub, unsigned* error) {
    Bytes data;
    switch (sub.function) {
      case 0x18:
        data.assign(18, '0');
        break;
      case 0x0e:
        Put32(data, static_cast<std::uint32_t>(sub.args[0]));
        Put16(data, static_cast<unsigned>(sub.args[2]));
        Put16(data, 2);
        for (int i = 0; i < 32; ++i) Put32(data, static_cast<std::uint32_t>(10 * sub.args[0] + i));
        break;
      case 0x8001:
        for (std::int32_t k = sub.args[0]; k <= sub.args[1]; ++k) data.push_back(static_cast<std::uint8_t>(k));
        break;
      case 0x89:
        for (char name : std::string("XZYBC")) data.insert(data.end(), {static_cast<std::uint8_t>(name), '1', 0, 0});
        break;
      case 0x1b:
        for (unsigned value : {0u, 9u, 3u, 4u, 5u, 6u, 7u, 8u}) Put16(data, value);
        break;
      case 0x2e:
      case 0x8002:
        break;
      default:
        *error = 1;
    }
    return data;
  }

  const Peer peer_;
  int listener_ = -1;
  int stop_[2] = {-1, -1};
  unsigned short port_ = 0;
  std::thread accepting_;
  std::mutex mutex_;
  std::vector<int> fds_;
  std::vector<std::thread> serving_;
  std::vector<Seen> seen_;
  std::vector<std::string> faults_;
};

// The sub-requests the peer saw, in order, after the `skip` first.
std::vector<Sub> Requests(ScriptedCnc& cnc, std::size_t skip = 0) {
  std::vector<Sub> subs;
  for (const Seen& frame : cnc.seen()) subs.insert(subs.end(), frame.subs.begin(), frame.subs.end());
  subs.erase(subs.begin(), subs.begin() + static_cast<long>(std::min(skip, subs.size())));
  return subs;
}

class Focas2NetClient : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(EW_OK, cnc_startupprocess(0, "")); }
  void TearDown() override { cnc_exitprocess(); }
  static short Open(const ScriptedCnc& cnc, unsigned short* handle, std::int32_t timeout = 5) {
    return cnc_allclibhndl3("127.0.0.1", cnc.port(), timeout, handle);
  }
};

TEST_F(Focas2NetClient, OpensOnTwoConnectionsAndTakesPathsAndAxesFromTheOpenAnswers) {
  ScriptedCnc cnc;
  unsigned short h = 0;
  ASSERT_EQ(EW_OK, Open(cnc, &h));
  std::vector<Seen> seen = cnc.seen();
  ASSERT_EQ(4u, seen.size());
  EXPECT_EQ(0, seen[0].connection);
  EXPECT_EQ((Bytes{0, 1}), seen[0].payload);
  EXPECT_EQ(1, seen[1].connection);
  EXPECT_EQ((Bytes{0, 2}), seen[1].payload);
  ASSERT_EQ(2u, seen[2].subs.size());  // system information of both paths in one frame
  EXPECT_EQ(0x18u, seen[2].subs[1].function);
  EXPECT_EQ(2u, seen[2].subs[1].path);
  EXPECT_EQ(0x0eu, seen[3].subs.at(0).function);
  EXPECT_EQ(9968, seen[3].subs.at(0).args[0]);

  short current = 0, maximum = 0;
  ASSERT_EQ(EW_OK, cnc_getpath(h, &current, &maximum));
  EXPECT_EQ(1, current);
  EXPECT_EQ(2, maximum);
  tavrin::focas::AxisNameEntry names[32];
  short count = 32;
  ASSERT_EQ(EW_OK, cnc_rdaxisname(h, &count, names));
  EXPECT_EQ(3, count);  // the peer names five
  EXPECT_EQ('Y', names[2].name);
  EXPECT_EQ(EW_PATH, cnc_setpath(h, 3));
  ASSERT_EQ(EW_OK, cnc_setpath(h, 2));
  count = 32;
  ASSERT_EQ(EW_OK, cnc_rdaxisname(h, &count, names));
  EXPECT_EQ(2, count);

  // Kind 1 is one pair, though the peer sends three: nothing past it is written.
  short digits = 0, input[2] = {-7, -7}, output[2] = {-7, -7};
  ASSERT_EQ(EW_OK, cnc_getfigure(h, 1, &digits, input, output));
  EXPECT_EQ(9, digits);
  EXPECT_EQ(3, input[0]);
  EXPECT_EQ(4, output[0]);
  EXPECT_EQ(-7, input[1]);
  EXPECT_EQ(-7, output[1]);
  // All axes of a word parameter: the two of path 2, the rest untouched.
  tavrin::focas::ParamRecord all;
  std::memset(&all, 0x55, sizeof all);
  ASSERT_EQ(EW_OK, cnc_rdparam(h, 1320, -1, 4 + 2 * 32, &all));
  EXPECT_EQ(13201, all.data.word_data[1]);
  EXPECT_EQ(0x5555, all.data.word_data[2]);

  // Every request after the opening went on B, with the path selected.
  for (const Seen& frame : cnc.seen()) {
    if (frame.type == 0x2101) {
      EXPECT_EQ(1, frame.connection);
    }
  }
  EXPECT_EQ(2u, Requests(cnc).back().path);
  EXPECT_EQ(EW_OK, cnc_freelibhndl(h));
}

TEST_F(Focas2NetClient, ReadsAParameterAndSplitsALongPmcRange) {
  ScriptedCnc cnc;
  unsigned short h = 0;
  ASSERT_EQ(EW_OK, Open(cnc, &h));
  const std::size_t opening = Requests(cnc).size();
  tavrin::focas::ParamRecord param{};
  ASSERT_EQ(EW_OK, cnc_rdparam(h, 1320, 1, 6, &param));
  EXPECT_EQ(1320, param.number);
  EXPECT_EQ(1, param.axis);
  EXPECT_EQ(13200, param.data.word_data[0]);
  // The length of a two-word read does not fit the word the CNC answered.
  EXPECT_EQ(EW_LENGTH, cnc_rdparam(h, 1320, 1, 8, &param));

  ASSERT_EQ(EW_OK, cnc_setpath(h, 2));
  std::vector<std::uint8_t> record(8 + 2000);
  ASSERT_EQ(EW_OK, pmc_rdpmcrng(h, 9, 0, 100, 2099, static_cast<unsigned short>(record.size()), record.data()));
  for (std::size_t k = 0; k < 2000; ++k) ASSERT_EQ(static_cast<std::uint8_t>(100 + k), record[8 + k]) << k;
  tavrin::focas::PmcRecord words{};
  ASSERT_EQ(EW_OK, pmc_rdpmcrng(h, 9, 1, 0, 3, 8 + 4, &words));
  EXPECT_EQ(0x0203, words.data.word_data[1]);  // big-endian on the wire

  std::vector<Sub> subs = Requests(cnc, opening);
  ASSERT_EQ(5u, subs.size());
  EXPECT_EQ((std::vector<std::int32_t>{1320, 1320, 1}), std::vector<std::int32_t>(subs[0].args, subs[0].args + 3));
  for (std::size_t i : {2, 3}) {
    EXPECT_EQ(2u, subs[i].cls);
    EXPECT_EQ(1u, subs[i].path);  // the PMC is one for all paths
    EXPECT_EQ(9, subs[i].args[2]);
  }
  EXPECT_EQ(100, subs[2].args[0]);
  EXPECT_EQ(1531, subs[2].args[1]);
  EXPECT_EQ(1532, subs[3].args[0]);
  EXPECT_EQ(2099, subs[3].args[1]);
  EXPECT_EQ(EW_OK, cnc_freelibhndl(h));
}

TEST_F(Focas2NetClient, WritesMacrosInBase2AndRefusesRealAndAllAxesParameterWritesItself) {
  ScriptedCnc cnc;
  unsigned short h = 0;
  ASSERT_EQ(EW_OK, Open(cnc, &h));
  const std::size_t opening = Requests(cnc).size();
  ASSERT_EQ(EW_OK, cnc_wrpmacro(h, 500, 1234, 2));
  std::vector<Sub> subs = Requests(cnc, opening);
  ASSERT_EQ(1u, subs.size());
  EXPECT_EQ(0x2eu, subs[0].function);
  EXPECT_EQ((std::vector<std::int32_t>{500, 500, 0, 0, 8}), std::vector<std::int32_t>(subs[0].args, subs[0].args + 5));
  EXPECT_EQ((Bytes{0x62, 0xb8, 0x51, 0xeb, 0, 2, 0, 27}), subs[0].extra);  // 12.34

  tavrin::focas::ParamRecord real{};
  real.number = 1320;
  real.axis = 1;
  EXPECT_EQ(EW_LENGTH, cnc_wrparam(h, 4 + 8, &real));
  real.axis = -1;
  EXPECT_EQ(EW_LENGTH, cnc_wrparam(h, 4 + 2, &real));
  EXPECT_EQ(1u, Requests(cnc, opening).size());
  EXPECT_EQ(EW_OK, cnc_freelibhndl(h));
}

TEST_F(Focas2NetClient, PeersThatAreNoCncGiveSocketOrProtocolCodes) {
  unsigned short h = 0;
  {
    ScriptedCnc cnc(Peer::kWrongOpenSize);
    EXPECT_EQ(EW_PROTOCOL, Open(cnc, &h));
  }
  {
    ScriptedCnc cnc(Peer::kNotFocas);
    EXPECT_EQ(EW_PROTOCOL, Open(cnc, &h));
  }
  {
    ScriptedCnc cnc(Peer::kClosesAtOpen);
    EXPECT_EQ(kSocket, Open(cnc, &h));
  }
  unsigned short closed_port = 0;
  {
    ScriptedCnc cnc(Peer::kAnswers);
    closed_port = cnc.port();
  }
  EXPECT_EQ(kSocket, cnc_allclibhndl3("127.0.0.1", closed_port, 5, &h));
}

TEST_F(Focas2NetClient, SilentPeerGivesSocketErrorAfterTheTimeout) {
  ScriptedCnc cnc(Peer::kSilent);
  unsigned short h = 0;
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(kSocket, Open(cnc, &h, 1));
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  EXPECT_GE(seconds, 0.9);
  EXPECT_LT(seconds, 3.0);
}

TEST_F(Focas2NetClient, TwoThreadsOnOneHandleNeverInterleaveTheirFrames) {
  ScriptedCnc cnc;
  unsigned short h = 0;
  ASSERT_EQ(EW_OK, Open(cnc, &h));
  auto reader = [h](short number, int* wrong) {
    for (int i = 0; i < 300; ++i) {
      tavrin::focas::ParamRecord param{};
      if (cnc_rdparam(h, number, 0, 6, &param) != EW_OK || param.data.word_data[0] != 10 * number) ++*wrong;
    }
  };
  int wrong_a = 0, wrong_b = 0;
  std::thread a(reader, 1000, &wrong_a);
  std::thread b(reader, 2000, &wrong_b);
  a.join();
  b.join();
  EXPECT_EQ(0, wrong_a);
  EXPECT_EQ(0, wrong_b);
  EXPECT_TRUE(cnc.faults().empty()) << cnc.faults().front();
  EXPECT_EQ(EW_OK, cnc_freelibhndl(h));
}

TEST_F(Focas2NetClient, HandlesToOneCncShareItsConnectionsUntilTheLastIsFreed) {
  ScriptedCnc cnc;
  unsigned short first = 0, second = 0;
  ASSERT_EQ(EW_OK, Open(cnc, &first));
  const std::size_t opening = cnc.seen().size();
  ASSERT_EQ(EW_OK, Open(cnc, &second));
  EXPECT_NE(first, second);
  EXPECT_EQ(2, cnc.connections());
  EXPECT_EQ(opening, cnc.seen().size());  // no second opening
  ASSERT_EQ(EW_OK, cnc_setpath(second, 2));
  short current = 0, maximum = 0;
  ASSERT_EQ(EW_OK, cnc_getpath(first, &current, &maximum));
  EXPECT_EQ(1, current);  // each handle keeps its own path

  ASSERT_EQ(EW_OK, cnc_freelibhndl(first));
  EXPECT_EQ(opening, cnc.seen().size());
  tavrin::focas::ParamRecord param{};
  EXPECT_EQ(EW_OK, cnc_rdparam(second, 1320, 1, 6, &param));
  EXPECT_EQ(EW_HANDLE, cnc_rdparam(first, 1320, 1, 6, &param));
  ASSERT_EQ(EW_OK, cnc_freelibhndl(second));
  const std::vector<Seen> seen = cnc.seen();
  ASSERT_EQ(opening + 3, seen.size());
  EXPECT_EQ(0x0201u, seen[opening + 1].type);
  EXPECT_EQ(0x0201u, seen[opening + 2].type);
  EXPECT_NE(seen[opening + 1].connection, seen[opening + 2].connection);
}

TEST_F(Focas2NetClient, NothingWorksBeforeStartup) {
  ScriptedCnc cnc;
  cnc_exitprocess();
  unsigned short h = 0;
  EXPECT_EQ(EW_INIERR, Open(cnc, &h));
  EXPECT_EQ(EW_INIERR, cnc_allclibhndl(&h));
  EXPECT_EQ(0, cnc.connections());
}

}  // namespace
