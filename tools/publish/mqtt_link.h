// The link of `tavrin publish` to the shop's MQTT broker, over libmosquitto.
//
// libmosquitto's own network thread keeps the link: it connects, and after a
// failed connect or a lost link reconnects on its own with exponential
// back-off from 1 s up to 30 s (not after a failed TLS handshake: GaveUp).
// The will (availability "offline") is registered with every connect, so the
// broker publishes it when this process dies or its link breaks.  MQTT 3.1.1, which MQTT 5 brokers accept.
#ifndef TAVRIN_TOOLS_PUBLISH_MQTT_LINK_H
#define TAVRIN_TOOLS_PUBLISH_MQTT_LINK_H

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>

struct mosquitto;

namespace tavrin::cli::publish {

struct BrokerAddress {
  std::string host;
  int port = 1883;
  bool tls = false;
};
// mqtt://HOST[:PORT] (port 1883) or mqtts://HOST[:PORT] (port 8883); an IPv6
// host is written in brackets.  Returns false with *error on anything else.
bool ParseBrokerUrl(const std::string& url, BrokerAddress* address, std::string* error);

struct LinkOptions {
  BrokerAddress broker;
  std::string cafile;    // mqtts: CA certificates (default: the system's /etc/ssl/certs)
  std::string username;  // empty: no user name
  std::string password;
  std::string client_id;
  std::string will_topic;
  std::string will_payload;
  int keepalive_seconds = 30;
};

class MqttLink {
 public:
  MqttLink();
  ~MqttLink();
  MqttLink(const MqttLink&) = delete;
  MqttLink& operator=(const MqttLink&) = delete;

  // Sets the link up and starts connecting in the background.  Returns false
  // with *error when the options are refused (bad CA file, no memory, no
  // network thread); an unreachable broker is not an error: it is retried
  // (see LastError).
  bool Start(const LinkOptions& options, std::string* error);

  // The number of successful connects so far; a new value means the link is
  // (re)connected and the retained state must be published again.
  std::uint64_t Connects() const;
  bool Connected() const;
  // Why the link gave up for good, or empty: the broker refused the connect
  // (bad user name or password, not authorised), or the TLS handshake
  // failed (a plain port, a wrong CA), after which libmosquitto does not
  // try again.  The caller ends.
  std::string GaveUp() const;
  // Why the latest connect failed or the link broke (refused, host name not
  // found, reset); empty after a successful connect.  The link retries.
  std::string LastError() const;

  // Waits until the link's state changes (connect, loss, refusal) or until
  // `until`, whichever is first.  Returns true when it changed.
  bool WaitForChange(std::chrono::steady_clock::time_point until);

  // Queues a message for the broker.  Returns false when the link is down or
  // libmosquitto refuses it (the message is then dropped).
  bool Publish(const std::string& topic, const std::string& payload, int qos, bool retain);
  // Waits until every QoS 1 message has been acknowledged, or the link is
  // down, or `timeout` passed; true when none is left unacknowledged.
  bool Flush(std::chrono::milliseconds timeout);
  // Ends cleanly: DISCONNECT (so the broker drops the will), then stops the
  // network thread.  Safe to call twice.
  void Stop();

  std::uint64_t Published() const;  // messages handed to libmosquitto

 private:
  static void OnConnect(mosquitto*, void* user, int rc);
  static void OnDisconnect(mosquitto*, void* user, int rc);
  static void OnPublish(mosquitto*, void* user, int mid);
  static void OnLog(mosquitto*, void* user, int level, const char* text);

  mosquitto* client_ = nullptr;
  bool thread_started_ = false;
  bool tls_ = false;
  mutable std::mutex mutex_;
  std::condition_variable changed_;
  bool connected_ = false;
  std::uint64_t connects_ = 0;
  std::uint64_t changes_ = 0;
  std::uint64_t published_ = 0;
  std::uint64_t unacknowledged_ = 0;
  std::string gave_up_;
  std::string last_error_;
};

}  // namespace tavrin::cli::publish

#endif
