#include "tools/mqtt_test_support.h"

#include <mosquitto.h>
#include <pwd.h>
#include <unistd.h>

#include <fstream>

#include "support/run_command.h"

namespace tavrin::test {

namespace {

constexpr auto kBrokerStart = std::chrono::seconds(15);
// Where Debian's mosquitto package installs them.
const char kBroker[] = "/usr/sbin/mosquitto";
const char kPasswd[] = "/usr/bin/mosquitto_passwd";
const char kOpenssl[] = "/usr/bin/openssl";

}  // namespace

TestBroker::TestBroker(const std::string& folder, const std::string& user, const std::string& password)
    : folder_(folder), port_(FreeLoopbackPort()) {
  std::ofstream config(folder_ + "/broker.conf");
  config << "listener " << port_ << " 127.0.0.1\npersistence false\nlog_dest stderr\n";
  // Run as ourselves: as root the broker would otherwise switch to a user
  // that cannot read the test's files.
  if (const passwd* me = getpwuid(geteuid())) config << "user " << me->pw_name << "\n";
  if (user.empty()) {
    config << "allow_anonymous true\n";
  } else {
    RunCommand(kPasswd, {"-c", "-b", folder_ + "/passwords", user, password});
    config << "allow_anonymous false\npassword_file " << folder_ << "/passwords\n";
  }
}

bool TestBroker::AddTlsListener() {
  const std::string f = folder_ + "/";
  std::ofstream(f + "server.ext") << "subjectAltName=IP:127.0.0.1\n";
  const std::vector<std::vector<std::string>> steps = {
      {"req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "1", "-subj", "/CN=tavrin test CA", "-keyout",
       f + "ca.key", "-out", f + "ca.pem"},
      {"req", "-newkey", "rsa:2048", "-nodes", "-subj", "/CN=127.0.0.1", "-keyout", f + "server.key", "-out",
       f + "server.csr"},
      {"x509", "-req", "-days", "1", "-in", f + "server.csr", "-CA", f + "ca.pem", "-CAkey", f + "ca.key",
       "-CAcreateserial", "-extfile", f + "server.ext", "-out", f + "server.pem"},
  };
  for (const auto& step : steps) {
    if (RunCommand(kOpenssl, step).exit_code != 0) return false;
  }
  tls_port_ = FreeLoopbackPort();
  std::ofstream(f + "broker.conf", std::ios::app) << "listener " << tls_port_ << " 127.0.0.1\ncafile " << f
                                                   << "ca.pem\ncertfile " << f << "server.pem\nkeyfile " << f
                                                   << "server.key\n";
  return true;
}

bool TestBroker::Start() {
  if (!process_.Start(kBroker, {"-c", folder_ + "/broker.conf"}, folder_ + "/broker.log")) return false;
  return WaitUntilAccepting(port_, kBrokerStart) && (tls_port_ == 0 || WaitUntilAccepting(tls_port_, kBrokerStart));
}

Subscriber::Subscriber(int port, const std::string& filter) {
  mosquitto_lib_init();
  client_ = mosquitto_new(nullptr, true, this);
  if (client_ == nullptr) return;
  mosquitto_message_callback_set(client_, &Subscriber::OnMessage);
  mosquitto_subscribe_callback_set(client_, &Subscriber::OnSubscribe);
  if (mosquitto_connect(client_, "127.0.0.1", port, 30) != MOSQ_ERR_SUCCESS) return;
  if (mosquitto_subscribe(client_, nullptr, filter.c_str(), 2) != MOSQ_ERR_SUCCESS) return;
  if (mosquitto_loop_start(client_) != MOSQ_ERR_SUCCESS) return;
  std::unique_lock<std::mutex> lock(mutex_);
  ready_ = arrived_.wait_for(lock, std::chrono::seconds(10), [this] { return subscribed_; });
}

Subscriber::~Subscriber() {
  if (client_ != nullptr) {
    mosquitto_disconnect(client_);
    mosquitto_loop_stop(client_, false);
    mosquitto_destroy(client_);
  }
  mosquitto_lib_cleanup();
}

void Subscriber::OnSubscribe(mosquitto*, void* user, int, int, const int*) {
  auto* self = static_cast<Subscriber*>(user);
  std::lock_guard<std::mutex> lock(self->mutex_);
  self->subscribed_ = true;
  self->arrived_.notify_all();
}

void Subscriber::OnMessage(mosquitto*, void* user, const mosquitto_message* message) {
  auto* self = static_cast<Subscriber*>(user);
  std::lock_guard<std::mutex> lock(self->mutex_);
  self->messages_.push_back({message->topic,
                             std::string(static_cast<const char*>(message->payload), static_cast<std::size_t>(message->payloadlen)),
                             message->qos, message->retain});
  self->arrived_.notify_all();
}

int Subscriber::WaitFor(const std::function<bool(const Message&)>& match, std::chrono::milliseconds timeout,
                        std::size_t from) {
  std::unique_lock<std::mutex> lock(mutex_);
  int found = -1;
  arrived_.wait_for(lock, timeout, [&] {
    for (std::size_t i = from; i < messages_.size(); ++i) {
      if (match(messages_[i])) {
        found = static_cast<int>(i);
        return true;
      }
    }
    return false;
  });
  return found;
}

int Subscriber::WaitForTopic(const std::string& topic, std::chrono::milliseconds timeout, std::size_t from) {
  return WaitFor([&topic](const Message& m) { return m.topic == topic; }, timeout, from);
}

std::vector<Message> Subscriber::Messages() {
  std::lock_guard<std::mutex> lock(mutex_);
  return messages_;
}

std::size_t Subscriber::Count(const std::string& topic) {
  std::lock_guard<std::mutex> lock(mutex_);
  std::size_t count = 0;
  for (const Message& m : messages_) count += m.topic == topic ? 1 : 0;
  return count;
}

}  // namespace tavrin::test
