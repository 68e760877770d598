// `tavrin publish`: options, their checks, the password's sources, and the
// signals that end it.
#include "publish_command.h"

#include <atomic>
#include <csignal>
#include <cstdlib>
#include <fstream>
#include <memory>

#include "parse.h"
#include "publisher.h"

namespace tavrin::cli {

namespace {

std::atomic<bool> g_stop{false};
extern "C" void OnStopSignal(int) { g_stop = true; }

constexpr std::size_t kMaxPassword = 4096;

struct PublishArgs {
  std::string broker = "mqtt://localhost";
  std::string cafile, username, password_file, id, prefix, items;
  int interval_ms = 1000;
  int connect_timeout_ms = 10000;
  int full_every = 60;
  long count = 0;
  bool stats = false;
};

// The first line of the password file, without its line end.
std::string ReadPasswordFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  Require(static_cast<bool>(in), "--password-file " + path + ": cannot be read");
  std::string password;
  std::getline(in, password);
  if (!password.empty() && password.back() == '\r') password.pop_back();
  Require(!password.empty(), "--password-file " + path + ": the first line is empty");
  Require(password.size() <= kMaxPassword, "--password-file " + path + ": longer than 4096 characters");
  return password;
}

bool ValidPrefix(const std::string& prefix) {
  return !prefix.empty() && prefix.size() <= 512 && prefix.find_first_of("+#") == std::string::npos &&
         prefix.front() != '/' && prefix.back() != '/';
}

}  // namespace

void AddPublishCommand(CLI::App& app, Context& context) {
  auto args = std::make_shared<PublishArgs>();
  CLI::App* publish = app.add_subcommand(
      "publish",
      "send the machine's state to an MQTT broker as JSON: availability (also the will), status, identity, "
      "items, sweep; on change only, retained.  The password comes from TAVRIN_MQTT_PASSWORD or --password-file.");
  publish->add_option("--broker", args->broker, "mqtt://HOST[:PORT] (port 1883) or mqtts://HOST[:PORT] (8883)")
      ->capture_default_str();
  publish->add_option("--cafile", args->cafile, "mqtts: CA certificates to trust (default: the system's)");
  publish->add_option("--username", args->username, "user name at the broker");
  publish->add_option("--password-file", args->password_file,
                      "file whose first line is the password (else TAVRIN_MQTT_PASSWORD); never on the command line");
  publish->add_option("--id", args->id, "the machine's name in topics (default: its serial number, else the host name)");
  publish->add_option("--prefix", args->prefix, "topic prefix (default: tavrin/ID)");
  publish->add_option("--interval", args->interval_ms, "milliseconds between sweeps")
      ->check(CLI::Range(0, 3600000))
      ->capture_default_str();
  publish->add_option("--connect-timeout", args->connect_timeout_ms,
                      "milliseconds to wait for the broker's first answer: then a --count run exits 3, a run until "
                      "stopped says so and keeps trying")
      ->check(CLI::Range(1, 3600000))
      ->capture_default_str();
  publish->add_option("--full-every", args->full_every, "publish everything again every N sweeps")
      ->check(CLI::Range(1, 1000000))
      ->capture_default_str();
  publish->add_option("--items", args->items, "TOML file of extra values to publish (see examples/publish/items.toml, installed as share/doc/Tavrin/examples/publish/items.toml)");
  publish->add_option("--count", args->count,
                      "publish N sweeps, then exit (default: until SIGINT or SIGTERM); exits 3 at the first failed "
                      "connect, or when the broker does not answer within --connect-timeout")
      ->check(CLI::Range(0L, 1000000000L));
  publish->add_flag("--stats", args->stats, "print sweeps per second, FOCAS2 calls per sweep and messages at the end");

  publish->callback([&context, args] {
    auto options = std::make_shared<publish::PublishOptions>();
    std::string error;
    Require(publish::ParseBrokerUrl(args->broker, &options->link.broker, &error), error);
    Require(args->cafile.empty() || options->link.broker.tls, "--cafile needs an mqtts:// broker");
    options->link.cafile = args->cafile;
    options->link.username = args->username;
    if (!args->password_file.empty()) {
      options->link.password = ReadPasswordFile(args->password_file);
    } else if (const char* password = std::getenv("TAVRIN_MQTT_PASSWORD"); password != nullptr && *password != '\0') {
      Require(std::string(password).size() <= kMaxPassword, "TAVRIN_MQTT_PASSWORD: longer than 4096 characters");
      options->link.password = password;
    }
    Require(options->link.password.empty() || !args->username.empty(), "a password needs --username");
    Require(args->id.empty() || publish::TopicName(args->id) == args->id,
            "--id: use up to 64 letters, digits, '_', '-' or '.'");
    Require(args->prefix.empty() || ValidPrefix(args->prefix),
            "--prefix: topic levels without '+' or '#', no leading or trailing '/'");
    options->id = args->id;
    options->prefix = args->prefix;
    options->interval_ms = args->interval_ms;
    options->connect_timeout_ms = args->connect_timeout_ms;
    options->full_every = args->full_every;
    options->count = args->count;
    options->stats = args->stats;
    // Every item is checked now, before anything is connected.
    if (!args->items.empty()) Require(publish::LoadItems(args->items, &options->items, &error), "--items: ", error);

    context.without_cnc = [&context, options](Output& out) {
      std::signal(SIGINT, OnStopSignal);
      std::signal(SIGTERM, OnStopSignal);
      options->items_path = static_cast<short>(context.connection.path > 0 ? context.connection.path : 1);
      return publish::RunPublisher(*options, context.connection, out, g_stop);
    };
  });
}

}  // namespace tavrin::cli
