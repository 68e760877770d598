// tavrin publish against a real Mosquitto broker of the test's own on
// loopback: the built command run as a user runs it, and the publisher run in
// this process where the simulated CNC's failure injection must reach it.
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <thread>

#include "publisher.h"
#include "support/run_command.h"
#include "tavrin/simcnc.h"
#include "tools/mqtt_test_support.h"

namespace fs = std::filesystem;
using nlohmann::json;
using namespace std::chrono_literals;

namespace tavrin::test {
namespace {

constexpr auto kWait = 15s;  // generous: a loaded machine, and one broker retry

bool IsState(const Message& m, const std::string& topic, const std::string& state) {
  return m.topic == topic && json::parse(m.payload, nullptr, false).value("state", "") == state;
}

std::string ReadLog(const fs::path& log) {
  std::ifstream in(log);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// Waits, bounded, until the program's log shows `text`: its ready signal.
bool LogShows(BackgroundProcess& program, const fs::path& log, const std::string& text) {
  for (int i = 0; i < 500 && program.Running(); ++i) {
    if (ReadLog(log).find(text) != std::string::npos) return true;
    std::this_thread::sleep_for(20ms);  // polling the log
  }
  return ReadLog(log).find(text) != std::string::npos;
}

class PublishTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = fs::temp_directory_path() /
              ("tavrin-publish-" + std::to_string(getpid()) + "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(folder_);
    fs::create_directories(folder_);
    state_ = (folder_ / "state.toml").string();
  }
  void TearDown() override {
    publisher_.Stop(9);
    broker_.reset();
    fs::remove_all(folder_);
  }
  void StartBroker(const std::string& user = "", const std::string& password = "") {
    broker_ = std::make_unique<TestBroker>(folder_.string(), user, password);
    ASSERT_TRUE(broker_->Start()) << "mosquitto did not start";
  }
  std::vector<std::string> Args(std::vector<std::string> extra) const {
    std::vector<std::string> args{"--sim", state_, "publish", "--broker", broker_->Url(), "--id", "m1"};
    args.insert(args.end(), extra.begin(), extra.end());
    return args;
  }
  CommandResult Run(std::vector<std::string> extra, std::vector<std::string> env = {}) const {
    return RunCommand(TAVRIN_COMMAND, Args(extra), env);
  }
  void StartPublisher(std::vector<std::string> extra, std::vector<std::string> env = {}) {
    ASSERT_TRUE(publisher_.Start(TAVRIN_COMMAND, Args(extra), (folder_ / "publisher.log").string(), env));
  }
  std::string PublisherLog() const { return ReadLog(folder_ / "publisher.log"); }
  CommandResult Publish(const std::string& broker, std::vector<std::string> extra) const {
    std::vector<std::string> args{"--sim", state_, "publish", "--broker", broker, "--id", "m1"};
    args.insert(args.end(), extra.begin(), extra.end());
    return RunCommand(TAVRIN_COMMAND, args);
  }

  fs::path folder_;
  std::string state_;
  std::unique_ptr<TestBroker> broker_;
  BackgroundProcess publisher_;
};

TEST_F(PublishTest, RetainedJsonWithEveryStatusSignalAndChangeOnlyLive) {
  StartBroker();
  fs::path items = folder_ / "items.toml";
  std::ofstream(items) << "[[item]]\nname = \"rapid_x\"\nkind = \"param\"\nnumber = 1420\ntype = \"two-word\"\naxis = 1\n";
  Subscriber live(broker_->port(), "tavrin/m1/#");
  ASSERT_TRUE(live.ready());
  CommandResult run = Run({"--count", "3", "--interval", "0", "--full-every", "2", "--items", items.string()});
  ASSERT_EQ(run.exit_code, 0) << run.err;
  ASSERT_GE(live.WaitFor([](const Message& m) { return m.payload.find("\"sweep\":3") != std::string::npos; }, kWait), 0);
  EXPECT_EQ(live.Count("tavrin/m1/status"), 2u) << "sweep 1 and the full republish on sweep 3";

  // Afterwards the broker holds the retained state, JSON with a time stamp.
  Subscriber late(broker_->port(), "tavrin/m1/#");
  ASSERT_TRUE(late.ready());
  for (const char* topic : {"availability", "status", "identity", "items/rapid_x"}) {
    int i = late.WaitForTopic(std::string("tavrin/m1/") + topic, kWait);
    ASSERT_GE(i, 0) << topic;
    Message m = late.Messages()[static_cast<std::size_t>(i)];
    EXPECT_TRUE(m.retain) << topic;
    EXPECT_EQ(m.qos, 1) << topic;
    json payload = json::parse(m.payload, nullptr, false);
    ASSERT_FALSE(payload.is_discarded()) << m.payload;
    EXPECT_NE(payload.value("time", "").find('Z'), std::string::npos) << m.payload;
  }
  json status = json::parse(late.Messages()[static_cast<std::size_t>(late.WaitForTopic("tavrin/m1/status", kWait))].payload);
  CommandResult table = RunCommand(TAVRIN_COMMAND, {"--sim", state_, "machine", "status", "--json"});
  json signals = json::parse(table.out);
  for (auto& signal : signals.items()) {
    if (signal.key() == "ok" || signal.key() == "focas_calls" || signal.key() == "failed_calls") continue;
    EXPECT_EQ(status[signal.key()], signal.value()) << signal.key();
  }
  EXPECT_EQ(json::parse(late.Messages()[static_cast<std::size_t>(late.WaitForTopic("tavrin/m1/items/rapid_x", kWait))].payload)["value"], 20000);
  EXPECT_EQ(late.Count("tavrin/m1/sweep"), 0u) << "the sweep topic is not retained";
}

TEST_F(PublishTest, OneStatusPerChangeAndSigtermSaysOffline) {
  StartBroker();
  Subscriber sub(broker_->port(), "tavrin/m1/#");
  ASSERT_TRUE(sub.ready());
  StartPublisher({"--interval", "100", "--full-every", "100000"});
  auto sweep_after = [&sub](std::size_t from) {
    return sub.WaitForTopic("tavrin/m1/sweep", kWait, from);
  };
  ASSERT_GE(sub.WaitForTopic("tavrin/m1/status", kWait), 0) << PublisherLog();
  CommandResult flip = RunCommand(TAVRIN_COMMAND, {"--sim", state_, "machine", "set", "simulation", "on"});
  ASSERT_EQ(flip.exit_code, 0) << flip.err;
  int changed = sub.WaitFor([](const Message& m) {
    return m.topic == "tavrin/m1/status" && json::parse(m.payload).value("simulation", false);
  }, kWait);
  ASSERT_GE(changed, 0);
  int mark = changed;
  for (int i = 0; i < 3; ++i) mark = sweep_after(static_cast<std::size_t>(mark) + 1);  // three unchanged sweeps
  ASSERT_GE(mark, 0);
  EXPECT_EQ(sub.Count("tavrin/m1/status"), 2u);

  EXPECT_EQ(publisher_.Stop(15), 0);
  int offline = sub.WaitFor([](const Message& m) { return IsState(m, "tavrin/m1/availability", "offline"); }, kWait);
  ASSERT_GE(offline, 0);
  EXPECT_NE(sub.Messages()[static_cast<std::size_t>(offline)].payload.find("stopped"), std::string::npos);
}

TEST_F(PublishTest, TheBrokerSaysOfflineWhenThePublisherIsKilled) {
  StartBroker();
  Subscriber sub(broker_->port(), "tavrin/m1/availability");
  ASSERT_TRUE(sub.ready());
  StartPublisher({"--interval", "200"});
  ASSERT_GE(sub.WaitFor([](const Message& m) { return IsState(m, m.topic, "online"); }, kWait), 0) << PublisherLog();
  publisher_.Stop(9);
  EXPECT_GE(sub.WaitFor([](const Message& m) { return IsState(m, m.topic, "offline"); }, kWait), 0);
}

TEST_F(PublishTest, RepublishesTheRetainedStateAfterABrokerRestart) {
  StartBroker();
  StartPublisher({"--interval", "200"});
  {
    Subscriber sub(broker_->port(), "tavrin/m1/status");
    ASSERT_GE(sub.WaitForTopic("tavrin/m1/status", kWait), 0) << PublisherLog();
  }
  broker_->Stop();  // no persistence: the retained state is gone with it
  ASSERT_TRUE(broker_->Start());
  Subscriber sub(broker_->port(), "tavrin/m1/#");
  ASSERT_TRUE(sub.ready());
  EXPECT_GE(sub.WaitForTopic("tavrin/m1/status", 40s), 0) << PublisherLog();  // first retry after 1 s
  EXPECT_GE(sub.WaitFor([](const Message& m) { return IsState(m, "tavrin/m1/availability", "online"); }, kWait), 0);
}

TEST_F(PublishTest, WrongPasswordIsRefusedAndTheRightOneNeverShows) {
  StartBroker("shop", "s3cret-Pw");
  std::ofstream(folder_ / "wrong") << "not-it\n";
  CommandResult wrong = Run({"--username", "shop", "--password-file", (folder_ / "wrong").string(), "--count", "1"});
  EXPECT_EQ(wrong.exit_code, 3);
  EXPECT_NE(wrong.err.find("refused"), std::string::npos) << wrong.err;

  StartPublisher({"--username", "shop", "--interval", "200"}, {"TAVRIN_MQTT_PASSWORD=s3cret-Pw"});
  ASSERT_TRUE(LogShows(publisher_, folder_ / "publisher.log", "publishing to")) << PublisherLog();
  EXPECT_EQ(publisher_.VisibleArguments().find("s3cret"), std::string::npos);
}

TEST_F(PublishTest, OverTlsTheBrokerIsCheckedAgainstTheGivenCa) {
  broker_ = std::make_unique<TestBroker>(folder_.string());
  ASSERT_TRUE(broker_->AddTlsListener()) << "openssl could not make the certificates";
  ASSERT_TRUE(broker_->Start()) << "mosquitto did not start";
  Subscriber sub(broker_->port(), "tavrin/m1/#");
  ASSERT_TRUE(sub.ready());
  CommandResult tls = Publish(broker_->TlsUrl(), {"--cafile", broker_->CaFile(), "--count", "1"});
  EXPECT_EQ(tls.exit_code, 0) << tls.err;
  EXPECT_GE(sub.WaitForTopic("tavrin/m1/status", kWait), 0);

  // The wrong scheme for a port is named at once, not waited on.
  CommandResult tls_on_plain = Publish("mqtts" + broker_->Url().substr(4), {"--cafile", broker_->CaFile(), "--count", "1"});
  EXPECT_EQ(tls_on_plain.exit_code, 3);
  EXPECT_NE(tls_on_plain.err.find("the TLS handshake failed"), std::string::npos) << tls_on_plain.err;
  CommandResult plain_on_tls = Publish("mqtt" + broker_->TlsUrl().substr(5), {"--count", "1"});
  EXPECT_EQ(plain_on_tls.exit_code, 3);
  EXPECT_NE(plain_on_tls.err.find("before the broker answered"), std::string::npos) << plain_on_tls.err;
}

// A broker that refuses or never answers is named with the reason: a
// --count run exits 3, a run until stopped keeps trying and, stopped before
// it ever connected, exits 3 too.
TEST_F(PublishTest, ABrokerThatCannotBeReachedIsToldAndEndsNonZero) {
  const std::string refused = "mqtt://127.0.0.1:" + std::to_string(FreeLoopbackPort());
  CommandResult run = Publish(refused, {"--count", "1"});
  EXPECT_EQ(run.exit_code, 3);
  EXPECT_NE(run.err.find("connecting to the MQTT broker 127.0.0.1:"), std::string::npos) << run.err;
  EXPECT_NE(run.err.find("Connection refused"), std::string::npos) << run.err;

  // A port whose connections are queued and never answered.
  int silent = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t size = sizeof address;
  ASSERT_EQ(bind(silent, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  ASSERT_EQ(listen(silent, 4), 0);
  ASSERT_EQ(getsockname(silent, reinterpret_cast<sockaddr*>(&address), &size), 0);
  run = Publish("mqtt://127.0.0.1:" + std::to_string(ntohs(address.sin_port)), {"--count", "1", "--connect-timeout", "300"});
  close(silent);
  EXPECT_EQ(run.exit_code, 3);
  EXPECT_NE(run.err.find("within 0.3 s: no answer"), std::string::npos) << run.err;

  ASSERT_TRUE(publisher_.Start(TAVRIN_COMMAND, {"--sim", state_, "publish", "--broker", refused, "--id", "m1"},
                               (folder_ / "publisher.log").string()));
  ASSERT_TRUE(LogShows(publisher_, folder_ / "publisher.log", "trying again")) << PublisherLog();
  EXPECT_EQ(publisher_.Stop(SIGINT), 3);
  EXPECT_NE(PublisherLog().find("nothing was published"), std::string::npos) << PublisherLog();
}

TEST_F(PublishTest, ABadItemsFileIsRefusedBeforeConnecting) {
  StartBroker();
  Subscriber sub(broker_->port(), "#");
  ASSERT_TRUE(sub.ready());
  fs::path items = folder_ / "items.toml";
  std::ofstream(items) << "[[item]]\nname = \"a\"\nkind = \"macro\"\nnumber = 1\n\n"
                          "[[item]]\nname = \"b\"\nkind = \"pmc\"\naddress = \"D9550.8\"\n";
  CommandResult run = Run({"--items", items.string(), "--count", "1"});
  EXPECT_EQ(run.exit_code, 2);
  EXPECT_NE(run.err.find("items.toml:9:"), std::string::npos) << run.err;
  std::ofstream(items) << "[[item]]\nname = \"a\"\nkind = \"macro\"\nnumber = 1\n[[item]]\nname = \"a\"\nkind = \"macro\"\nnumber = 2\n";
  run = Run({"--items", items.string(), "--count", "1"});
  EXPECT_NE(run.err.find("items.toml:5:"), std::string::npos) << run.err;
  EXPECT_NE(run.err.find("used twice"), std::string::npos) << run.err;
  // Nothing arrived before our own marker.
  RunCommand("/usr/bin/mosquitto_pub", {"-h", "127.0.0.1", "-p", std::to_string(broker_->port()), "-t", "marker", "-m", "x"});
  EXPECT_EQ(sub.WaitForTopic("marker", kWait), 0);
}

// In this process, so that the simulated CNC's failure injection reaches the
// publisher: a CNC link that breaks and comes back.
TEST_F(PublishTest, ACncThatStopsAnsweringIsOfflineWithTheCodeThenOnline) {
  StartBroker();
  Subscriber sub(broker_->port(), "tavrin/m1/availability");
  ASSERT_TRUE(sub.ready());
  cli::publish::PublishOptions options;
  std::string error;
  ASSERT_TRUE(cli::publish::ParseBrokerUrl(broker_->Url(), &options.link.broker, &error));
  options.id = "m1";
  options.interval_ms = 100;
  cli::ConnectionOptions connection;
  connection.sim_file = state_;
  cli::Output out(true);
  std::atomic<bool> stop{false};
  int result = -1;
  std::thread publisher([&] { result = cli::publish::RunPublisher(options, connection, out, stop); });

  auto state = [&sub](const std::string& s, std::size_t from) {
    return sub.WaitFor([&s](const Message& m) { return IsState(m, m.topic, s); }, kWait, from);
  };
  int online = state("online", 0);
  EXPECT_GE(online, 0);
  simcnc::FailAlways(simcnc::Call::pmc_rdpmcrng, -16);
  int offline = state("offline", static_cast<std::size_t>(online + 1));
  EXPECT_GE(offline, 0);
  if (offline >= 0) {
    std::string reason = json::parse(sub.Messages()[static_cast<std::size_t>(offline)].payload).value("reason", "");
    EXPECT_NE(reason.find("pmc_rdpmcrng"), std::string::npos) << reason;
    EXPECT_NE(reason.find("-16"), std::string::npos) << reason;
  }
  simcnc::ClearFailures();
  EXPECT_GE(state("online", static_cast<std::size_t>(offline + 1)), 0);
  stop = true;
  publisher.join();
  EXPECT_EQ(result, 0);
}

// A read that fails while the CNC answers: its value is published as null,
// never as the machine object's stand-in (-1, false), the sweep names the
// call and is not ok, and the run exits 1.
TEST_F(PublishTest, AFailedReadIsNullAndNamedNeverAStandInValue) {
  StartBroker();
  Subscriber sub(broker_->port(), "tavrin/m1/#");
  ASSERT_TRUE(sub.ready());
  cli::publish::PublishOptions options;
  std::string error;
  ASSERT_TRUE(cli::publish::ParseBrokerUrl(broker_->Url(), &options.link.broker, &error));
  options.id = "m1";
  options.count = 1;
  cli::ConnectionOptions connection;
  connection.sim_file = state_;
  cli::Output out(true);
  std::atomic<bool> stop{false};
  simcnc::FailAlways(simcnc::Call::cnc_rdpmacro, 3);
  int result = cli::publish::RunPublisher(options, connection, out, stop);
  simcnc::ClearFailures();
  EXPECT_EQ(result, 1);

  int at = sub.WaitForTopic("tavrin/m1/identity", kWait);
  ASSERT_GE(at, 0);
  json identity = json::parse(sub.Messages()[static_cast<std::size_t>(at)].payload);
  ASSERT_EQ(identity["station_numbers"].size(), 2u);
  EXPECT_TRUE(identity["station_numbers"][0].is_null()) << identity.dump();
  EXPECT_EQ(identity["model"], 3) << "a PMC read beside it is unharmed";
  at = sub.WaitForTopic("tavrin/m1/sweep", kWait);
  ASSERT_GE(at, 0);
  json sweep = json::parse(sub.Messages()[static_cast<std::size_t>(at)].payload);
  EXPECT_FALSE(sweep["ok"].get<bool>());
  ASSERT_FALSE(sweep["failed"].empty()) << sweep.dump();
  EXPECT_EQ(sweep["failed"][0]["call"], "cnc_rdpmacro") << sweep.dump();
  EXPECT_GT(sweep["focas_calls"].get<long long>(), 20);
}

// The command through the vendor-like FOCAS2 library publishes what it
// publishes against the simulated CNC with the same machine, and a library
// whose PMC reads get no answer makes the sweep fail and the run exit 1.
TEST_F(PublishTest, AnyFocasLibraryPublishesTheSameState) {
  StartBroker();
  fs::path vendor_state = folder_ / "vendor.toml";
  fs::copy_file(fs::path(TAVRIN_TEST_SOURCE_DIR) / "examples" / "lathe.toml", vendor_state);
  fs::copy_file(vendor_state, state_);
  Subscriber sub(broker_->port(), "tavrin/#");
  ASSERT_TRUE(sub.ready());
  auto publish = [&](const std::string& id, std::vector<std::string> cnc, std::vector<std::string> env) {
    cnc.insert(cnc.end(), {"publish", "--broker", broker_->Url(), "--id", id, "--count", "1"});
    env.push_back("TAVRIN_VENDOR_LIKE_STATE=" + vendor_state.string());
    return RunCommand(TAVRIN_COMMAND, cnc, env);
  };
  auto payload = [&sub](const std::string& topic) {
    int at = sub.WaitForTopic(topic, kWait);
    if (at < 0) return json(nullptr);
    json p = json::parse(sub.Messages()[static_cast<std::size_t>(at)].payload);
    p.erase("time");
    p.erase("duration_ms");
    return p;
  };
  CommandResult simulated = publish("s", {"--sim", state_}, {});
  CommandResult vendor = publish("v", {"--focas", TAVRIN_TEST_VENDOR_LIKE}, {});
  EXPECT_EQ(simulated.exit_code, 0) << simulated.err;
  EXPECT_EQ(vendor.exit_code, 0) << vendor.err;
  for (const char* topic : {"identity", "status", "sweep"}) {
    json from_simulated = payload(std::string("tavrin/s/") + topic);
    EXPECT_FALSE(from_simulated.is_null()) << topic;
    EXPECT_EQ(payload(std::string("tavrin/v/") + topic), from_simulated) << topic;
  }

  CommandResult silent = publish("q", {"--focas", TAVRIN_TEST_VENDOR_LIKE}, {"TAVRIN_VENDOR_LIKE_FAIL_PMC_READS=-16"});
  EXPECT_EQ(silent.exit_code, 1) << silent.err;
  json sweep = payload("tavrin/q/sweep");
  EXPECT_FALSE(sweep.value("ok", true)) << sweep.dump();
  EXPECT_NE(sweep.dump().find("pmc_rdpmcrng"), std::string::npos) << sweep.dump();
  EXPECT_EQ(payload("tavrin/q/availability").value("state", ""), "offline");
}

// tavrin watch, here for the background process these tests have: SIGINT
// and SIGTERM end it alike, with its refreshes' exit status.
TEST_F(PublishTest, WatchEndsAlikeOnSigintAndSigterm) {
  for (int signal_number : {SIGINT, SIGTERM}) {
    BackgroundProcess watch;
    fs::path log = folder_ / ("watch-" + std::to_string(signal_number) + ".log");
    ASSERT_TRUE(watch.Start(TAVRIN_COMMAND, {"--sim", state_, "watch", "--interval", "50", "--json"}, log.string()));
    ASSERT_TRUE(LogShows(watch, log, "\"refresh\":1,")) << ReadLog(log);
    EXPECT_EQ(watch.Stop(signal_number), 0) << signal_number << ReadLog(log);
  }
}

}  // namespace
}  // namespace tavrin::test
