// tavrin-simcnc driven over loopback with frames built by hand from the
// protocol description: the opening on two connections, requests and their
// answers, and connections that misbehave.  The machine is examples/lathe.toml.
#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "focas2net/wire/frame.h"
#include "focas_service.h"
#include "tavrin/simcnc.h"

extern char** environ;

namespace {

using namespace tavrin::wire;
using Bytes = std::vector<std::uint8_t>;
namespace fs = std::filesystem;

const std::string kLathe = std::string(TAVRIN_TEST_SOURCE_DIR) + "/examples/lathe.toml";
constexpr int kWaitMs = 10000;

// The server as a child process: ready once it says where it listens.
class Server {
 public:
  bool Start(const std::vector<std::string>& options) {
    log_ = (fs::temp_directory_path() / ("simcnc-server-" + std::to_string(getpid()) + "-" +
                                         std::to_string(++count_) + ".log")).string();
    int out[2];
    if (pipe(out) != 0) return false;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    posix_spawn_file_actions_addopen(&actions, 2, log_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    std::vector<std::string> args = {TAVRIN_SIMCNC_SERVER};
    args.insert(args.end(), options.begin(), options.end());
    std::vector<char*> argv;
    for (std::string& arg : args) argv.push_back(&arg[0]);
    argv.push_back(nullptr);
    const int spawned = posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    if (spawned != 0) {
      close(out[0]);
      return false;
    }
    // "listening on 127.0.0.1:PORT", one line per machine.
    std::string text;
    char c = 0;
    pollfd ready{out[0], POLLIN, 0};
    while (poll(&ready, 1, kWaitMs) == 1 && read(out[0], &c, 1) == 1) {
      if (c != '\n') {
        text += c;
        continue;
      }
      ports_.push_back(std::stoi(text.substr(text.rfind(':') + 1)));
      text.clear();
      if (ports_.size() == expected_ports_) break;
    }
    close(out[0]);
    return ports_.size() == expected_ports_;
  }
  void ExpectPorts(std::size_t count) { expected_ports_ = count; }
  int port(std::size_t i = 0) const { return ports_.at(i); }
  std::string Log() const {
    std::ifstream file(log_);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
  }
  ~Server() {
    if (pid_ > 0) {
      kill(pid_, SIGTERM);
      waitpid(pid_, nullptr, 0);
    }
    if (!log_.empty()) fs::remove(log_);
  }

 private:
  static inline int count_ = 0;
  pid_t pid_ = -1;
  std::string log_;
  std::vector<int> ports_;
  std::size_t expected_ports_ = 1;
};

// One TCP connection speaking frames.
class Peer {
 public:
  explicit Peer(int port) {
    fd_ = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in where{};
    where.sin_family = AF_INET;
    where.sin_port = htons(static_cast<std::uint16_t>(port));
    where.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (connect(fd_, reinterpret_cast<sockaddr*>(&where), sizeof where) != 0) {
      close(fd_);
      fd_ = -1;
    }
  }
  ~Peer() {
    if (fd_ >= 0) close(fd_);
  }
  bool connected() const { return fd_ >= 0; }
  bool SendBytes(const Bytes& bytes) {
    return send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL) == static_cast<ssize_t>(bytes.size());
  }
  // The next frame, or false when the connection ends (or nothing comes).
  bool Receive(Frame* frame) {
    std::uint8_t buffer[4096];
    for (;;) {
      if (pending_at_ < pending_.size()) {
        std::size_t used = 0;
        const auto result = reader_.Feed(pending_.data() + pending_at_, pending_.size() - pending_at_, &used);
        pending_at_ += used;
        if (result == FrameReader::Result::kFrame) {
          *frame = reader_.frame();
          return true;
        }
        if (result == FrameReader::Result::kBad) return false;
      }
      pollfd ready{fd_, POLLIN, 0};
      if (poll(&ready, 1, kWaitMs) != 1) return false;
      const ssize_t got = recv(fd_, buffer, sizeof buffer, 0);
      if (got <= 0) return false;
      pending_.assign(buffer, buffer + got);
      pending_at_ = 0;
    }
  }
  // True when the server ends the connection (within the wait).
  bool Ended() {
    Frame ignored;
    while (Receive(&ignored)) {
    }
    pollfd ready{fd_, POLLIN, 0};
    std::uint8_t byte;
    return poll(&ready, 1, 0) == 1 && recv(fd_, &byte, 1, 0) <= 0;
  }
  Frame Exchange(std::uint16_t type, const Bytes& payload) {
    Frame answer;
    EXPECT_TRUE(SendBytes(EncodeFrame(Frame{1, type, payload})));
    EXPECT_TRUE(Receive(&answer));
    EXPECT_EQ(answer.version, 2);
    return answer;
  }
  std::vector<SubAnswer> Ask(const std::vector<SubRequest>& requests) {
    const Frame answer = Exchange(kRequest, EncodeRequests(requests));
    EXPECT_EQ(answer.type, kAnswer);
    std::vector<SubAnswer> answers;
    std::string why;
    EXPECT_TRUE(DecodeAnswers(answer.payload, &answers, &why)) << why;
    EXPECT_EQ(answers.size(), requests.size());
    return answers;
  }
  SubAnswer AskOne(const SubRequest& request) {
    auto answers = Ask({request});
    return answers.empty() ? SubAnswer{} : answers[0];
  }

 private:
  int fd_ = -1;
  FrameReader reader_;
  Bytes pending_;
  std::size_t pending_at_ = 0;
};

SubRequest Request(std::uint16_t cls, std::uint16_t function, std::vector<std::int32_t> args, Bytes extra = {},
                   std::uint16_t path = 1) {
  SubRequest request;
  request.cls = cls;
  request.path = path;
  request.function = function;
  for (std::size_t i = 0; i < args.size() && i < 5; ++i) request.args[i] = args[i];
  request.extra = std::move(extra);
  return request;
}

// Opens a handle as a FOCAS2 client does: two connections, the system
// information of both paths, parameter 9968.  Returns the second connection.
std::unique_ptr<Peer> Open(int port, std::unique_ptr<Peer>* first, std::int16_t* opening_error = nullptr) {
  *first = std::make_unique<Peer>(port);
  auto second = std::make_unique<Peer>(port);
  EXPECT_TRUE((*first)->connected() && second->connected());
  for (Peer* peer : {first->get(), second.get()}) {
    const Frame answer = peer->Exchange(kOpenRequest, {0x00, static_cast<std::uint8_t>(peer == first->get() ? 1 : 2)});
    EXPECT_EQ(answer.type, kOpenAnswer);
    EXPECT_EQ(answer.payload.size(), 16u + 8 * 2);  // lathe.toml has two paths
  }
  const auto info = second->Ask({Request(1, 0x18, {}, {}, 1), Request(1, 0x18, {}, {}, 2)});
  for (const SubAnswer& answer : info) EXPECT_EQ(answer.data.size(), 18u);
  const SubAnswer opening = second->AskOne(Request(1, 0x0e, {9968, 9968, 0}));
  if (opening_error != nullptr) *opening_error = opening.error;
  return second;
}

class SimcncServer : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    server_ = new Server();
    ASSERT_TRUE(server_->Start({"--machine", kLathe, "--port", "0", "--fail", "cnc_getfigure:15"}));
  }
  static void TearDownTestSuite() {
    delete server_;
    server_ = nullptr;
  }
  static Server* server_;
};
Server* SimcncServer::server_ = nullptr;

TEST_F(SimcncServer, OpensOnTwoConnectionsReadsParametersAndCloses) {
  std::unique_ptr<Peer> first;
  std::int16_t opening = -1;
  auto second = Open(server_->port(), &first, &opening);
  EXPECT_EQ(opening, 0);

  const Frame open_answer = Peer(server_->port()).Exchange(kOpenRequest, {0, 1});
  EXPECT_EQ(GetU16(open_answer.payload.data() + 4), 32);   // maximum axes
  EXPECT_EQ(GetU16(open_answer.payload.data() + 10), 2);   // maximum path
  EXPECT_EQ(open_answer.payload[16 + 1], 'T');              // path 1: a lathe
  EXPECT_EQ(GetU16(open_answer.payload.data() + 16 + 4), 5);  // its axes X Z C Y B

  // Parameter 1320 (real, per axis) of path 1: 812.5 on axis 2, and all axes.
  SubAnswer one = second->AskOne(Request(1, 0x0e, {1320, 1320, 2}));
  ASSERT_EQ(one.error, 0);
  ASSERT_EQ(one.data.size(), 8u + 32 * 8);
  EXPECT_EQ(GetU16(one.data.data() + 6), 4);  // real
  Number8 value = GetNumber8(one.data.data() + 8);
  EXPECT_EQ(value.base, 10);
  EXPECT_DOUBLE_EQ(value.mantissa / std::pow(10.0, value.exponent), 812.5);
  SubAnswer all = second->AskOne(Request(1, 0x0e, {1320, 1320, -1}));
  ASSERT_EQ(all.error, 0);
  value = GetNumber8(all.data.data() + 8 + 3 * 8);
  EXPECT_DOUBLE_EQ(value.mantissa / std::pow(10.0, value.exponent), 60.0);
  EXPECT_EQ(second->AskOne(Request(1, 0x0e, {32000, 32000, 0})).error, 3);  // unknown: EW_NUMBER
  EXPECT_EQ(second->AskOne(Request(1, 0x0e, {1320, 1320, 1}, {}, 3)).error, 11);  // no path 3: EW_PATH

  for (Peer* peer : {first.get(), second.get()}) {
    const Frame closed = peer->Exchange(kCloseRequest, {});
    EXPECT_EQ(closed.type, kCloseAnswer);
    EXPECT_TRUE(closed.payload.empty());
  }
}

TEST_F(SimcncServer, PmcWritesThenReadsWithTheLowByteAtTheLowerAddress) {
  std::unique_ptr<Peer> first;
  auto cnc = Open(server_->port(), &first);
  // D9700..D9701 written as bytes, read back as one word (big-endian on the wire).
  EXPECT_EQ(cnc->AskOne(Request(2, 0x8002, {9700, 9701, 9, 0, 2}, {0x34, 0x12})).error, 0);
  SubAnswer word = cnc->AskOne(Request(2, 0x8001, {9700, 9701, 9, 1}));
  ASSERT_EQ(word.error, 0);
  EXPECT_EQ(word.data, (Bytes{0x12, 0x34}));
  // A range longer than one record of the simulated CNC.
  Bytes many(60);
  for (std::size_t i = 0; i < many.size(); ++i) many[i] = static_cast<std::uint8_t>(i + 1);
  EXPECT_EQ(cnc->AskOne(Request(2, 0x8002, {100, 159, 5, 0, 60}, many)).error, 0);
  EXPECT_EQ(cnc->AskOne(Request(2, 0x8001, {100, 159, 5, 0})).data, many);
  EXPECT_EQ(cnc->AskOne(Request(2, 0x8001, {0, 1, 11, 0})).error, 4);  // no address type 11: EW_ATTRIB
  EXPECT_EQ(cnc->AskOne(Request(2, 0x8002, {0, 1, 9, 0, 3}, {1, 2})).error, 2);  // count 3, two bytes: EW_LENGTH
}

TEST_F(SimcncServer, MacroWrittenInBase2IsReadInBase10WithTheFewestDecimals) {
  std::unique_ptr<Peer> first;
  auto cnc = Open(server_->port(), &first);
  Bytes number;
  PutNumber8(number, Number8{0x62b851eb, 2, 27});  // 12.34, its last bit cut off
  PutNumber8(number, Number8{-3, 2, 1});           // -1.5
  EXPECT_EQ(cnc->AskOne(Request(1, 0x2e, {500, 501, 0, 0, 16}, number)).error, 0);
  SubAnswer read = cnc->AskOne(Request(1, 0x2d, {500, 501}));
  ASSERT_EQ(read.data.size(), 16u);
  const Number8 first_value = GetNumber8(read.data.data());
  const Number8 second_value = GetNumber8(read.data.data() + 8);
  EXPECT_EQ(first_value.mantissa, 1234);
  EXPECT_EQ(first_value.base, 10);
  EXPECT_EQ(first_value.exponent, 2);
  EXPECT_EQ(second_value.mantissa, -15);
  EXPECT_EQ(second_value.exponent, 1);
  // A single variable, and one out of range.
  EXPECT_EQ(GetNumber8(cnc->AskOne(Request(1, 0x2d, {10434, 10434})).data.data()).mantissa, 101);
  EXPECT_EQ(cnc->AskOne(Request(1, 0x2d, {0, 0})).error, 3);
}

TEST_F(SimcncServer, UnknownRequestsGiveEwFuncAndInjectedFailuresTheirCode) {
  std::unique_ptr<Peer> first;
  auto cnc = Open(server_->port(), &first);
  EXPECT_EQ(cnc->AskOne(Request(1, 0x77, {})).error, 1);
  EXPECT_EQ(cnc->AskOne(Request(2, 0x8003, {})).error, 1);
  EXPECT_EQ(cnc->AskOne(Request(7, 0x0e, {1320, 1320, 1})).error, 1);
  const SubAnswer failed = cnc->AskOne(Request(1, 0x1b, {1}));  // --fail cnc_getfigure:15
  EXPECT_EQ(failed.error, 15);
  EXPECT_TRUE(failed.data.empty());
  // Requests on a connection that never opened have no handle.
  EXPECT_EQ(Peer(server_->port()).AskOne(Request(1, 0x0e, {1320, 1320, 1})).error, -8);
}

TEST_F(SimcncServer, MalformedFramesEndOnlyTheirOwnConnection) {
  std::unique_ptr<Peer> first;
  auto cnc = Open(server_->port(), &first);
  SubRequest tofs = Request(1, 0x08, {1, 1, 1001});
  const Bytes good = EncodeRequests({tofs});

  Bytes wrong_count = good;
  wrong_count[1] = 2;  // two sub-requests announced, one sent
  Bytes short_length = good;
  short_length[3] = 20;  // a sub-request shorter than its own fields
  const std::vector<Bytes> bad_streams = {
      {0xa0, 0xa0, 0xa1, 0xa0, 0, 1, 0x21, 0x01, 0, 0},  // wrong magic
      {0xa0, 0xa0, 0xa0, 0xa0, 0, 1, 0x21, 0x01, 0xff, 0xff},  // above the frame limit
      EncodeFrame(Frame{1, kRequest, wrong_count}),
      EncodeFrame(Frame{1, kRequest, short_length}),
      EncodeFrame(Frame{1, 0x7777, {}}),  // no such frame type
  };
  for (const Bytes& stream : bad_streams) {
    Peer bad(server_->port());
    ASSERT_TRUE(bad.SendBytes(stream));
    EXPECT_TRUE(bad.Ended());
    // The opened connection goes on answering.
    const SubAnswer offset = cnc->AskOne(tofs);
    EXPECT_EQ(offset.error, 0);
    EXPECT_EQ(offset.data.size(), 8u);
  }
  std::string log = server_->Log();
  EXPECT_NE(log.find("a0 a0 a0 a0"), std::string::npos) << log;
  EXPECT_NE(log.find("above the limit"), std::string::npos) << log;
  EXPECT_NE(log.find("ends before sub-request 2"), std::string::npos) << log;
}

TEST(SimcncServerAlone, IdleAndStalledConnectionsAreEndedAfterTheTimeout) {
  Server server;
  ASSERT_TRUE(server.Start({"--machine", kLathe, "--port", "0", "--idle-timeout", "1"}));
  Peer idle(server.port());
  Peer stalled(server.port());
  ASSERT_TRUE(stalled.SendBytes({0xa0, 0xa0, 0xa0, 0xa0, 0, 1}));  // half a header
  EXPECT_TRUE(idle.Ended());
  EXPECT_TRUE(stalled.Ended());
  const std::string log = server.Log();
  EXPECT_NE(log.find("idle for 1 s"), std::string::npos) << log;
  EXPECT_NE(log.find("unfinished"), std::string::npos) << log;
}

TEST(SimcncServerAlone, FleetMachinesAreSeparateAndAStateFileIsSharedUnderItsLock) {
  const fs::path state = fs::temp_directory_path() / ("simcnc-server-state-" + std::to_string(getpid()) + ".toml");
  fs::copy_file(kLathe, state, fs::copy_options::overwrite_existing);
  {
    Server server;
    server.ExpectPorts(3);
    ASSERT_TRUE(server.Start({"--machine", kLathe, "--port", "0", "--fleet", "2", "--state", state.string(),
                              "--port", "0"}));
    std::unique_ptr<Peer> first_a, first_b, first_c;
    auto a = Open(server.port(0), &first_a);
    auto b = Open(server.port(1), &first_b);
    auto shared = Open(server.port(2), &first_c);
    EXPECT_EQ(a->AskOne(Request(2, 0x8002, {9800, 9800, 9, 0, 1}, {0x5a})).error, 0);
    EXPECT_EQ(b->AskOne(Request(2, 0x8001, {9800, 9800, 9, 0})).data, Bytes{0x00});
    EXPECT_EQ(shared->AskOne(Request(2, 0x8002, {9800, 9800, 9, 0, 1}, {0xa5})).error, 0);

    // This process sees the served state file's machine under the same lock.
    std::uint8_t seen = 0;
    std::string error;
    ASSERT_TRUE(tavrin::simcnc::WithStateFile(
        state.string(), [](void* out) { tavrin::simcnc::GetPmcByte('D', 9800, static_cast<std::uint8_t*>(out)); },
        &seen, &error))
        << error;
    EXPECT_EQ(seen, 0xa5);
  }
  fs::remove(state);
  fs::remove(state.string() + ".lock");
}

TEST(SimcncServerNumbers, Base2NumbersTakeTheFewestDecimalsTheirPrecisionAllows) {
  using tavrin::simcnc::server::ScaleNumber;
  std::int32_t value = 0;
  std::int16_t decimals = 0;
  ASSERT_TRUE(ScaleNumber(Number8{1431655765, 2, 32}, &value, &decimals));  // 1/3: as many places as fit
  EXPECT_EQ(value, 333333333);
  EXPECT_EQ(decimals, 9);
  ASSERT_TRUE(ScaleNumber(Number8{-1073741824, 2, 30}, &value, &decimals));  // -1
  EXPECT_EQ(value, -1);
  EXPECT_EQ(decimals, 0);
  ASSERT_TRUE(ScaleNumber(Number8{25, 10, 3}, &value, &decimals));  // base 10 kept as it is whole
  EXPECT_EQ(value, 25);
  EXPECT_EQ(decimals, 3);
  ASSERT_TRUE(ScaleNumber(Number8{3, 2, -4}, &value, &decimals));  // 48
  EXPECT_EQ(value, 48);
  EXPECT_FALSE(ScaleNumber(Number8{3, 2, -40}, &value, &decimals));  // does not fit 32 bits
  EXPECT_FALSE(ScaleNumber(Number8{3, 16, 1}, &value, &decimals));
}

}  // namespace
