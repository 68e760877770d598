// The sweep loop of `tavrin publish`.
//
// Each sweep reads the machine once (status, identity, items) and publishes,
// under the prefix:
//   availability  {"state": "online"|"offline", "time", ["reason"]}, retained,
//                 QoS 1; also the will, so the broker says "offline" when
//                 this process or its link dies
//   status        every signal of the machine object's status table, the
//                 selected path and the memory mode; retained, QoS 1
//   identity      series, type, model, serial number, station numbers,
//                 maintenance product version, inch; retained, QoS 1
//   items/<name>  {"value", "source", ["code", "code_name"]}; retained, QoS 1
//   sweep         {"sweep", "duration_ms", "focas_calls", "failed", ...};
//                 not retained, QoS 0, every sweep
// Every payload is a JSON object with "time", ISO 8601 UTC.  A retained topic
// is published only when its content (without "time") changed, and all of
// them on the first sweep, every `full_every` sweeps and after every
// (re)connect to the broker.
//
// A CNC that does not answer (an open fails, or a call gives EW_SOCKET or
// EW_HANDLE) turns availability "offline" with the reason; the next try
// follows a back-off of 1, 2, 4 ... up to 30 s (never shorter than the
// interval), and "online" returns when a sweep reaches it again.  The broker
// link retries on its own (mqtt_link.h).
#ifndef TAVRIN_TOOLS_PUBLISH_PUBLISHER_H
#define TAVRIN_TOOLS_PUBLISH_PUBLISHER_H

#include <atomic>
#include <string>
#include <vector>

#include "connection.h"
#include "items.h"
#include "mqtt_link.h"
#include "output.h"

namespace tavrin::cli::publish {

struct PublishOptions {
  LinkOptions link;        // broker and credentials; client id and will are filled in here
  std::string id;          // empty: the CNC's serial number, else the host name
  std::string prefix;      // empty: tavrin/<id>
  int interval_ms = 1000;  // between sweeps
  int connect_timeout_ms = 10000;  // for the first connect to the broker
  int full_every = 60;     // every this many sweeps everything is published again
  long count = 0;          // sweeps to make; 0 until stopped
  short items_path = 1;
  bool stats = false;      // figures at the end (out's data and a line)
  std::vector<Item> items;
};

// Publishes until `count` sweeps are done or `stop` turns true.  When stopped
// it publishes availability "offline" ("stopped") and disconnects cleanly;
// after `count` sweeps it leaves the retained state as the last sweep left it
// (a snapshot for scripts) and disconnects cleanly.
//
// Says on standard error which broker it connects to, and why a connect
// failed.  Returns kExitOk; kExitNoConnection when the simulated CNC's state
// file or the FOCAS2 library cannot be prepared, the broker refuses the
// connection (user name or password, not authorised) or the TLS handshake
// fails, a --count run cannot connect (a failed connect, or none within
// `connect_timeout_ms`), or `stop` comes before the first connect;
// kExitFailed when stopped before anything was published, when the broker
// is not connected at the end of a --count run, so that the last state may
// be missing, or when a sweep of a --count run could not read everything
// (its values were published as null and its "failed" list names the
// calls).  Failures are reported on standard error.
int RunPublisher(PublishOptions options, const ConnectionOptions& connection, Output& out,
                 const std::atomic<bool>& stop);

// The default --id: `name` with every character other than letters, digits,
// '_', '-' and '.' made '-', at most 64 characters; empty stays empty.
std::string TopicName(const std::string& name);

}  // namespace tavrin::cli::publish

#endif
