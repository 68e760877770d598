// A Mosquitto broker of the test's own on a free loopback port, and a
// subscriber that collects what arrives, for the tests of tavrin publish.
#ifndef TAVRIN_TESTS_TOOLS_MQTT_TEST_SUPPORT_H
#define TAVRIN_TESTS_TOOLS_MQTT_TEST_SUPPORT_H

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "support/background_process.h"

struct mosquitto;
struct mosquitto_message;

namespace tavrin::test {

// Started with its own configuration file in `folder` (listener on
// 127.0.0.1 only, no persistence) and waited for until it accepts
// connections; stopped by the destructor.
class TestBroker {
 public:
  // With a user, anonymous clients are refused and the password file is
  // made with mosquitto_passwd.
  TestBroker(const std::string& folder, const std::string& user = "", const std::string& password = "");
  ~TestBroker() { process_.Stop(); }
  // Adds a second listener that speaks TLS only, with a server certificate
  // for 127.0.0.1 from a CA of the test's own (made with openssl); before
  // Start.  False when the certificates cannot be made.
  bool AddTlsListener();
  bool Start();  // also after Stop, on the same port
  void Stop() { process_.Stop(); }
  int port() const { return port_; }
  std::string Url() const { return "mqtt://127.0.0.1:" + std::to_string(port_); }
  std::string TlsUrl() const { return "mqtts://127.0.0.1:" + std::to_string(tls_port_); }
  std::string CaFile() const { return folder_ + "/ca.pem"; }

 private:
  std::string folder_;
  int port_;
  int tls_port_ = 0;
  BackgroundProcess process_;
};

struct Message {
  std::string topic, payload;
  int qos = 0;
  bool retain = false;
};

class Subscriber {
 public:
  // Connects to the broker and subscribes to `filter` at QoS 2 (so each
  // message arrives with the QoS it was published with).
  Subscriber(int port, const std::string& filter);
  ~Subscriber();
  bool ready() const { return ready_; }
  // Waits for the first message from `from` on (an index into the messages)
  // that `match` accepts; returns its index, or -1 after `timeout`.
  int WaitFor(const std::function<bool(const Message&)>& match, std::chrono::milliseconds timeout, std::size_t from = 0);
  int WaitForTopic(const std::string& topic, std::chrono::milliseconds timeout, std::size_t from = 0);
  std::vector<Message> Messages();
  std::size_t Count(const std::string& topic);

 private:
  static void OnMessage(mosquitto*, void* user, const mosquitto_message* message);
  static void OnSubscribe(mosquitto*, void* user, int, int, const int*);
  mosquitto* client_ = nullptr;
  bool ready_ = false;
  std::mutex mutex_;
  std::condition_variable arrived_;
  std::vector<Message> messages_;
  bool subscribed_ = false;
};

}  // namespace tavrin::test

#endif
