#include "mqtt_link.h"

#include <mosquitto.h>

#include <cerrno>
#include <cstring>

#include "parse.h"

namespace tavrin::cli::publish {

namespace {

constexpr unsigned kFirstRetrySeconds = 1;
constexpr unsigned kLastRetrySeconds = 30;

}  // namespace

bool ParseBrokerUrl(const std::string& url, BrokerAddress* address, std::string* error) {
  BrokerAddress parsed;
  std::string rest;
  if (url.rfind("mqtt://", 0) == 0) {
    rest = url.substr(7);
  } else if (url.rfind("mqtts://", 0) == 0) {
    rest = url.substr(8);
    parsed.tls = true;
    parsed.port = 8883;
  } else {
    *error = "--broker '" + url + "': write mqtt://HOST[:PORT] or mqtts://HOST[:PORT]";
    return false;
  }
  if (!rest.empty() && rest.back() == '/') rest.pop_back();
  std::string port_text;
  if (!rest.empty() && rest.front() == '[') {  // [IPv6]:PORT
    std::size_t close = rest.find(']');
    if (close == std::string::npos) {
      *error = "--broker '" + url + "': an IPv6 address needs its closing ']'";
      return false;
    }
    parsed.host = rest.substr(1, close - 1);
    std::string after = rest.substr(close + 1);
    if (!after.empty()) {
      if (after.front() != ':') {
        *error = "--broker '" + url + "': only :PORT may follow the host";
        return false;
      }
      port_text = after.substr(1);
      if (port_text.empty()) port_text = "x";  // "HOST:" has no port
    }
  } else {
    std::size_t colon = rest.find(':');
    parsed.host = rest.substr(0, colon);
    if (colon != std::string::npos) {
      port_text = rest.substr(colon + 1);
      if (port_text.empty()) port_text = "x";
    }
  }
  if (parsed.host.empty() || parsed.host.find_first_of("/@ ") != std::string::npos) {
    *error = "--broker '" + url + "': no host name (mqtt://HOST[:PORT], no path, no user)";
    return false;
  }
  if (!port_text.empty()) {
    long long port = 0;
    if (!ParseInteger(port_text, 1, 65535, &port, error)) {
      *error = "--broker port: " + *error;
      return false;
    }
    parsed.port = static_cast<int>(port);
  }
  *address = parsed;
  return true;
}

MqttLink::MqttLink() { mosquitto_lib_init(); }

MqttLink::~MqttLink() {
  Stop();
  if (client_ != nullptr) mosquitto_destroy(client_);
  mosquitto_lib_cleanup();
}

bool MqttLink::Start(const LinkOptions& options, std::string* error) {
  client_ = mosquitto_new(options.client_id.c_str(), true, this);
  if (client_ == nullptr) {
    *error = "cannot make an MQTT client (out of memory, or a bad client id)";
    return false;
  }
  mosquitto_int_option(client_, MOSQ_OPT_PROTOCOL_VERSION, MQTT_PROTOCOL_V311);
  mosquitto_connect_callback_set(client_, &MqttLink::OnConnect);
  mosquitto_disconnect_callback_set(client_, &MqttLink::OnDisconnect);
  mosquitto_publish_callback_set(client_, &MqttLink::OnPublish);
  mosquitto_log_callback_set(client_, &MqttLink::OnLog);
  mosquitto_reconnect_delay_set(client_, kFirstRetrySeconds, kLastRetrySeconds, true);
  int rc = mosquitto_will_set(client_, options.will_topic.c_str(), static_cast<int>(options.will_payload.size()),
                              options.will_payload.data(), 1, true);
  if (rc != MOSQ_ERR_SUCCESS) {
    *error = std::string("the will was refused: ") + mosquitto_strerror(rc);
    return false;
  }
  if (!options.username.empty()) {
    rc = mosquitto_username_pw_set(client_, options.username.c_str(),
                                   options.password.empty() ? nullptr : options.password.c_str());
    if (rc != MOSQ_ERR_SUCCESS) {
      *error = std::string("the user name was refused: ") + mosquitto_strerror(rc);
      return false;
    }
  }
  tls_ = options.broker.tls;
  if (options.broker.tls) {
    const char* cafile = options.cafile.empty() ? nullptr : options.cafile.c_str();
    rc = mosquitto_tls_set(client_, cafile, cafile == nullptr ? "/etc/ssl/certs" : nullptr, nullptr, nullptr, nullptr);
    if (rc != MOSQ_ERR_SUCCESS) {
      *error = std::string("TLS set-up refused (--cafile): ") + mosquitto_strerror(rc);
      return false;
    }
  }
  // The network thread first, so that a broker that is down now is retried
  // with back-off by the thread rather than given up.
  rc = mosquitto_loop_start(client_);
  if (rc != MOSQ_ERR_SUCCESS) {
    *error = std::string("cannot start the MQTT network thread: ") + mosquitto_strerror(rc);
    return false;
  }
  thread_started_ = true;
  errno = 0;
  rc = mosquitto_connect_async(client_, options.broker.host.c_str(), options.broker.port, options.keepalive_seconds);
  if (rc == MOSQ_ERR_INVAL) {
    *error = "the broker address is refused";
    return false;
  }
  // Other failures (no broker yet) are retried by the thread; the first
  // one's reason is kept for the caller to report.
  if (rc != MOSQ_ERR_SUCCESS) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (rc == MOSQ_ERR_EAI) {
      last_error_ = "the host name " + options.broker.host + " cannot be resolved";
    } else {
      last_error_ = rc == MOSQ_ERR_ERRNO ? std::strerror(errno) : mosquitto_strerror(rc);
    }
    ++changes_;
  }
  return true;
}

void MqttLink::OnConnect(mosquitto*, void* user, int rc) {
  auto* self = static_cast<MqttLink*>(user);
  std::lock_guard<std::mutex> lock(self->mutex_);
  if (rc == 0) {
    self->connected_ = true;
    ++self->connects_;
    self->last_error_.clear();
  } else if (rc == 1 || rc == 2 || rc == 4 || rc == 5) {
    // Protocol, client id, user name or password, or not authorised: the
    // same connect would be refused again.
    self->gave_up_ = std::string("refused: ") + mosquitto_connack_string(rc);
  } else {
    self->last_error_ = std::string("refused: ") + mosquitto_connack_string(rc);
  }
  ++self->changes_;
  self->changed_.notify_all();
}

void MqttLink::OnDisconnect(mosquitto*, void* user, int rc) {
  auto* self = static_cast<MqttLink*>(user);
  // MOSQ_ERR_ERRNO reads errno, this thread's, set by the failed call.
  std::string reason = rc == MOSQ_ERR_SUCCESS ? "" : mosquitto_strerror(rc);
  std::lock_guard<std::mutex> lock(self->mutex_);
  if (!self->connected_ && (rc == MOSQ_ERR_CONN_LOST || rc == MOSQ_ERR_PROTOCOL)) {
    // Closed before the broker's CONNACK: something else listens there.
    reason += " before the broker answered (is it an MQTT broker, and does mqtt:// or mqtts:// match its port?)";
  }
  if (!reason.empty()) self->last_error_ = reason;
  self->connected_ = false;
  self->unacknowledged_ = 0;  // QoS 0 not sent is dropped; QoS 1 is sent again and acknowledged later
  ++self->changes_;
  self->changed_.notify_all();
}

void MqttLink::OnPublish(mosquitto*, void* user, int) {
  auto* self = static_cast<MqttLink*>(user);
  std::lock_guard<std::mutex> lock(self->mutex_);
  if (self->unacknowledged_ > 0) --self->unacknowledged_;
  self->changed_.notify_all();
}

void MqttLink::OnLog(mosquitto*, void* user, int level, const char* text) {
  if ((level & MOSQ_LOG_ERR) == 0 || text == nullptr) return;
  auto* self = static_cast<MqttLink*>(user);
  std::lock_guard<std::mutex> lock(self->mutex_);
  // libmosquitto reports a failed TLS handshake only here, and its network
  // thread then stops trying.
  if (self->tls_ && !self->connected_ && self->gave_up_.empty()) {
    self->gave_up_ = std::string("the TLS handshake failed (") + text + "); does mqtts:// match the broker's port?";
  } else {
    self->last_error_ = text;
  }
  ++self->changes_;
  self->changed_.notify_all();
}

std::uint64_t MqttLink::Connects() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return connects_;
}

bool MqttLink::Connected() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return connected_;
}

std::string MqttLink::GaveUp() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return gave_up_;
}

std::string MqttLink::LastError() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return last_error_;
}

bool MqttLink::WaitForChange(std::chrono::steady_clock::time_point until) {
  std::unique_lock<std::mutex> lock(mutex_);
  std::uint64_t seen = changes_;
  return changed_.wait_until(lock, until, [&] { return changes_ != seen; });
}

bool MqttLink::Publish(const std::string& topic, const std::string& payload, int qos, bool retain) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (!connected_) return false;
  // Under the lock, so that the acknowledgement (on the network thread) is
  // counted after the message.
  int rc = mosquitto_publish(client_, nullptr, topic.c_str(), static_cast<int>(payload.size()), payload.data(), qos, retain);
  if (rc != MOSQ_ERR_SUCCESS) return false;
  ++published_;
  ++unacknowledged_;
  return true;
}

bool MqttLink::Flush(std::chrono::milliseconds timeout) {
  std::unique_lock<std::mutex> lock(mutex_);
  changed_.wait_for(lock, timeout, [&] { return unacknowledged_ == 0 || !connected_; });
  return unacknowledged_ == 0 && connected_;
}

void MqttLink::Stop() {
  if (!thread_started_) return;
  thread_started_ = false;
  mosquitto_disconnect(client_);
  // The thread ends once the DISCONNECT is sent; forced when the link was
  // down (the thread may be waiting out a retry).
  bool down = !Connected();
  mosquitto_loop_stop(client_, down);
}

std::uint64_t MqttLink::Published() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return published_;
}

}  // namespace tavrin::cli::publish
