#include "publisher.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <iostream>
#include <map>

#include "machine_reading.h"
#include "process_info.h"
#include "tavrin/nc/error_report.h"

namespace tavrin::cli::publish {

namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

constexpr int kFirstCncRetryMs = 1000;
constexpr int kLastCncRetryMs = 30000;
constexpr milliseconds kSignalCheck{200};  // how soon a stop request is noticed while waiting
constexpr milliseconds kFlushTime{5000};   // for the last messages at the end

Json Stamped(Json payload) {
  payload["time"] = tavrin::tools::UtcTimeStamp();
  return payload;
}

// The retained topics as last read, in the order they are published again
// after a reconnect (availability first).
class RetainedState {
 public:
  explicit RetainedState(MqttLink& link) : link_(link) {}

  // Keeps the payload and publishes it when its content changed or `full`.
  // Returns true when it was published.
  bool Update(const std::string& topic, const Json& payload, bool full) {
    Json content = payload;
    content.erase("time");
    std::string compare = content.dump();
    auto found = index_.find(topic);
    if (found == index_.end()) {
      index_[topic] = entries_.size();
      entries_.push_back({topic, "", ""});
      found = index_.find(topic);
    }
    Entry& entry = entries_[found->second];
    if (!full && entry.compare == compare) return false;
    entry.compare = compare;
    entry.payload = payload.dump();
    return link_.Publish(entry.topic, entry.payload, 1, true);
  }
  void PublishAll() {
    for (const Entry& entry : entries_) link_.Publish(entry.topic, entry.payload, 1, true);
  }

 private:
  struct Entry {
    std::string topic, compare, payload;
  };
  MqttLink& link_;
  std::vector<Entry> entries_;
  std::map<std::string, std::size_t> index_;
};

Json FailedJson(const std::vector<FailedCall>& failed) {
  Json list = Json::array();
  for (const FailedCall& f : failed) {
    const char* name = tavrin::Focas2CodeName(f.code);
    list.push_back({{"call", f.call}, {"code", f.code}, {"code_name", name != nullptr ? Json(name) : Json(nullptr)},
                    {"times", f.times}});
  }
  return list;
}

std::string DefaultId(Connection& connection) {
  std::string serial;
  connection.Run([&serial](Session& session) {
    serial = ReadSerialNumber(session);
    return static_cast<int>(kExitOk);
  });
  std::string id = TopicName(serial);
  if (id.empty()) id = TopicName(tavrin::tools::HostName());
  return id.empty() ? "tavrin" : id;
}

// Waits until the broker has taken the first connect: no sweep before, so
// that the first retained state arrives whole.  Each new reason a connect
// failed is told on standard error.  A --count run gives up at the first
// failure or when the connect timeout has passed; a run until stopped keeps
// trying (libmosquitto backs off up to 30 s) and says when the timeout has
// passed.  A refusal or a failed TLS handshake ends either.  Returns kExitOk
// once connected, else the exit code of the failure it reported.
int WaitForBroker(MqttLink& link, const PublishOptions& options, const std::string& broker,
                  const std::atomic<bool>& stop, Output& out) {
  const auto deadline = Clock::now() + milliseconds(options.connect_timeout_ms);
  const std::string unreached = "cannot connect to the broker " + broker + ": ";
  std::string told;
  bool timed_out = false;
  while (link.Connects() == 0) {
    if (!link.GaveUp().empty()) return out.Fail(kExitNoConnection, unreached + link.GaveUp());
    if (stop) {
      return out.Fail(kExitNoConnection,
                      "stopped before the broker " + broker + " took the connection: nothing was published");
    }
    std::string failure = link.LastError();
    if (!failure.empty() && options.count != 0) {
      return out.Fail(kExitNoConnection, unreached + failure + "; nothing was published");
    }
    if (!failure.empty() && failure != told) {
      std::cerr << "tavrin: " << unreached << failure << "; trying again\n";
      told = failure;
    }
    if (!timed_out && Clock::now() >= deadline) {
      std::string why =
          "no connection to the broker " + broker + " within " + NumberText(options.connect_timeout_ms / 1000.0) +
          " s: " +
          (failure.empty() ? "no answer (is the broker up, is it an MQTT broker, and does mqtt:// or mqtts:// match "
                             "its port?)"
                           : failure);
      if (options.count != 0) return out.Fail(kExitNoConnection, why + "; nothing was published");
      std::cerr << "tavrin: " << why << "; still trying\n";
      timed_out = true;
    }
    link.WaitForChange(timed_out ? Clock::now() + kSignalCheck : std::min(deadline, Clock::now() + kSignalCheck));
  }
  return kExitOk;
}

}  // namespace

std::string TopicName(const std::string& name) {
  std::string topic;
  for (char c : name) {
    if (topic.size() == kMaxItemName) break;
    bool ok = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' || c == '-' ||
              c == '.';
    topic += ok ? c : '-';
  }
  return topic;
}

int RunPublisher(PublishOptions options, const ConnectionOptions& connection_options, Output& out,
                 const std::atomic<bool>& stop) {
  // The connection reports its failures into its own output, read after
  // every sweep for the reason the CNC could not be reached.
  Output cnc_out(true);
  Connection connection(connection_options, cnc_out);
  int prepared = connection.Prepare();
  if (prepared != kExitOk) return out.Fail(prepared, cnc_out.data().value("error", "the CNC cannot be prepared"));

  if (options.id.empty()) options.id = DefaultId(connection);
  if (options.prefix.empty()) options.prefix = "tavrin/" + options.id;
  const std::string availability = options.prefix + "/availability";
  options.link.client_id = "tavrin-publish-" + options.id;
  options.link.will_topic = availability;
  options.link.will_payload =
      Stamped({{"state", "offline"}, {"reason", "the publisher's link to the broker broke (time: when it connected)"}})
          .dump();

  MqttLink link;
  std::string error;
  const BrokerAddress& address = options.link.broker;
  const std::string broker = (address.host.find(':') != std::string::npos ? "[" + address.host + "]" : address.host) +
                             ":" + std::to_string(address.port);
  std::cerr << "tavrin: connecting to the MQTT broker " << broker << (address.tls ? " over TLS" : "") << " as "
            << options.link.client_id << '\n';
  if (!link.Start(options.link, &error)) return out.Fail(kExitNoConnection, error);
  int waited = WaitForBroker(link, options, broker, stop, out);
  if (waited != kExitOk) {
    link.Stop();
    return waited;
  }
  std::cerr << "tavrin: publishing to " << broker << " under " << options.prefix << '\n';

  RetainedState retained(link);
  std::uint64_t seen_connects = link.Connects();
  bool was_connected = true;
  bool cnc_reached = true;
  int cnc_retry_ms = kFirstCncRetryMs;
  long sweeps = 0;
  long long calls_total = 0;
  MachineReading reading;
  const auto started = Clock::now();

  long failed_sweeps = 0;  // sweeps with a failed read or no CNC
  while (!stop && (options.count == 0 || sweeps < options.count)) {
    ++sweeps;
    const bool full = (sweeps - 1) % options.full_every == 0;
    const auto sweep_start = Clock::now();
    const std::uint64_t published_before = link.Published();

    cnc_out = Output(true);
    // The handle stays open from sweep to sweep while the CNC answers; a
    // CNC that stops answering gets a new handle at the next try.
    int result = connection.Run(
        [&](Session& session) {
          ReadMachine(session, options.items, options.items_path, &reading);
          return static_cast<int>(kExitOk);
        },
        Connection::HandleUse::kKeep);
    if (result != kExitOk) {
      reading = MachineReading();
      reading.fault = cnc_out.data().value("error", "the CNC cannot be reached");
    }
    if (!reading.reached) connection.DropHandle();
    const auto duration = std::chrono::duration<double, std::milli>(Clock::now() - sweep_start).count();

    if (reading.reached) {
      if (!cnc_reached) std::cerr << "tavrin: the CNC answers again\n";
      cnc_reached = true;
      cnc_retry_ms = kFirstCncRetryMs;
      retained.Update(availability, Stamped({{"state", "online"}}), full);
      retained.Update(options.prefix + "/identity", Stamped(reading.identity), full);
      retained.Update(options.prefix + "/status", Stamped(reading.status), full);
      for (std::size_t i = 0; i < options.items.size(); ++i) {
        retained.Update(options.prefix + "/items/" + options.items[i].name, Stamped(reading.items[i]), full);
      }
    } else {
      if (cnc_reached) std::cerr << "tavrin: the CNC does not answer: " << reading.fault << '\n';
      cnc_reached = false;
      // The status, identity and items keep their last values: availability
      // tells they are old.
      retained.Update(availability, Stamped({{"state", "offline"}, {"reason", reading.fault}}), full);
    }
    if (reading.focas_calls > 0) calls_total += reading.focas_calls;
    const bool sweep_ok = reading.reached && reading.failed.empty();
    if (!sweep_ok) ++failed_sweeps;
    Json sweep = {{"sweep", sweeps},
                  {"ok", sweep_ok},
                  {"duration_ms", duration},
                  {"focas_calls", reading.focas_calls >= 0 ? Json(reading.focas_calls) : Json(nullptr)},
                  {"failed", FailedJson(reading.failed)},
                  {"cnc", cnc_reached ? "online" : "offline"},
                  {"published", link.Published() - published_before}};
    link.Publish(options.prefix + "/sweep", Stamped(sweep).dump(), 0, false);

    if (options.count != 0 && sweeps >= options.count) break;
    int wait_ms = options.interval_ms;
    if (!cnc_reached) {
      wait_ms = std::max(wait_ms, cnc_retry_ms);
      cnc_retry_ms = std::min(cnc_retry_ms * 2, kLastCncRetryMs);
    }
    const auto next = sweep_start + milliseconds(wait_ms);
    do {
      if (!link.GaveUp().empty()) break;
      bool connected = link.Connected();
      if (connected != was_connected) {
        std::cerr << "tavrin: " << (connected ? "connected again to " : "lost the broker ") << broker << '\n';
        was_connected = connected;
      }
      if (link.Connects() != seen_connects && connected) {
        seen_connects = link.Connects();
        retained.PublishAll();  // a restarted broker may have lost them
      }
      link.WaitForChange(std::min(next, Clock::now() + kSignalCheck));
    } while (!stop && Clock::now() < next);
    if (!link.GaveUp().empty()) break;
  }

  const double seconds = std::chrono::duration<double>(Clock::now() - started).count();
  int result = kExitOk;
  if (!link.GaveUp().empty()) {
    result = out.Fail(kExitNoConnection, "the link to the broker " + broker + " ended: " + link.GaveUp());
  } else if (stop && link.Published() == 0) {
    result = out.Fail(kExitFailed, "stopped before anything was published to the broker " + broker);
  } else if (stop) {
    retained.Update(availability, Stamped({{"state", "offline"}, {"reason", "the publisher was stopped"}}), true);
    link.Flush(kFlushTime);
  } else if (!link.Flush(kFlushTime)) {
    result = out.Fail(kExitFailed, "the broker " + broker + " is not connected: the last state may be missing there");
  } else if (failed_sweeps != 0) {
    // Each failed read was published as null and named in its sweep's "failed" list.
    result = out.Fail(kExitFailed, std::to_string(failed_sweeps) + " of " + std::to_string(sweeps) +
                                       " sweeps could not read everything (see their \"failed\" lists)");
  }
  link.Stop();
  if (options.stats) {
    Json stats = {{"sweeps", sweeps},
                  {"seconds", seconds},
                  {"sweeps_per_second", seconds > 0 ? sweeps / seconds : 0.0},
                  {"focas_calls_per_sweep", sweeps > 0 ? static_cast<double>(calls_total) / sweeps : 0.0},
                  {"messages", link.Published()},
                  {"messages_per_second", seconds > 0 ? link.Published() / seconds : 0.0}};
    out.data()["stats"] = stats;
    char line[256];
    std::snprintf(line, sizeof line, "%ld sweeps in %.2f s: %.1f sweeps/s, %.1f FOCAS2 calls per sweep, %llu messages (%.1f/s)",
                  sweeps, seconds, stats["sweeps_per_second"].get<double>(), stats["focas_calls_per_sweep"].get<double>(),
                  static_cast<unsigned long long>(link.Published()), stats["messages_per_second"].get<double>());
    out.Line(line);
  }
  return result;
}

}  // namespace tavrin::cli::publish
