// tavrin-simcnc: the simulated CNC served over TCP as a FOCAS2 Ethernet CNC.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "server.h"

namespace {

const char kHelp[] =
    "Usage: tavrin-simcnc [OPTIONS] (--machine FILE | --state FILE) [--port N] ...\n"
    "\n"
    "Serves simulated CNCs over TCP, each as a FOCAS2 Ethernet CNC on a port of\n"
    "its own, answering the requests of the 19 FOCAS2 calls Tavrin makes from\n"
    "the simulated CNC (its checks, its failure injection).  Prints\n"
    "\"listening on ADDRESS:PORT\" for each machine once every port is bound.\n"
    "\n"
    "Machines (repeat for several; options after a machine apply to it):\n"
    "  --machine FILE      a machine description (examples/lathe.toml); changes\n"
    "                      made over the network stay in memory\n"
    "  --state FILE        a state file shared, under its lock, with `tavrin --sim\n"
    "                      FILE` and other servers: every frame loads it and\n"
    "                      saves it back\n"
    "  --port N            its port (default 8193 for the first machine, the\n"
    "                      previous one's plus 1 for the others; 0: any free port)\n"
    "  --fleet N           serve N copies of this machine, on N consecutive ports\n"
    "                      from its port (each port 0 with port 0); each copy is a\n"
    "                      machine of its own, except that copies of a --state\n"
    "                      file share that file\n"
    "  --fail CALL:CODE[:N]  every call of CALL (a FOCAS2 name, e.g. cnc_rdparam)\n"
    "                      answers CODE, or only its N-th call from the start\n"
    "\n"
    "Server:\n"
    "  --listen ADDRESS    IPv4 address to listen on (default 127.0.0.1; a LAN\n"
    "                      address, or 0.0.0.0 for all)\n"
    "  --idle-timeout S    end a connection silent for S seconds, or one that\n"
    "                      leaves a frame unfinished that long (default 60)\n"
    "  --max-connections N per machine (default 64; further ones are refused)\n"
    "  --max-frame BYTES   largest request payload accepted (default 16384)\n"
    "  --verbose           log every connection opened and closed\n"
    "  --help              this text\n"
    "\n"
    "A connection that sends something no FOCAS2 client sends, stalls or comes\n"
    "beyond the limit is ended with one line on standard error; the others go\n"
    "on.  SIGINT or SIGTERM stops the server.\n"
    "\n"
    "POSIX only (poll on non-blocking sockets, one thread).  A Windows build would\n"
    "need Winsock (WSAStartup, WSAPoll, ioctlsocket for non-blocking sockets,\n"
    "closesocket, SetConsoleCtrlHandler in place of the signals).\n";

struct MachineOption {
  std::string file;
  bool shared = false;
  long port = -1;  // not given
  long fleet = 1;
  struct Failure {
    std::string call;
    short code;
    int nth;
  };
  std::vector<Failure> failures;
};

bool Number(const std::string& text, long low, long high, long* value) {
  if (text.empty()) return false;
  char* end = nullptr;
  const long parsed = std::strtol(text.c_str(), &end, 10);
  if (*end != '\0' || parsed < low || parsed > high) return false;
  *value = parsed;
  return true;
}

int Usage(const std::string& what) {
  std::fprintf(stderr, "tavrin-simcnc: %s (see tavrin-simcnc --help)\n", what.c_str());
  return 2;
}

bool ParseFailure(const std::string& text, MachineOption::Failure* failure) {
  const auto colon = text.find(':');
  if (colon == std::string::npos || colon == 0) return false;
  const auto second = text.find(':', colon + 1);
  long code = 0, nth = 0;
  if (!Number(text.substr(colon + 1, second == std::string::npos ? std::string::npos : second - colon - 1), -32768,
              32767, &code)) {
    return false;
  }
  if (second != std::string::npos && !Number(text.substr(second + 1), 1, 1000000000, &nth)) return false;
  *failure = {text.substr(0, colon), static_cast<short>(code), static_cast<int>(nth)};
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  using tavrin::simcnc::server::MachineService;
  using tavrin::simcnc::server::ServedMachine;
  using tavrin::simcnc::server::ServerOptions;

  ServerOptions options;
  std::vector<MachineOption> wanted;
  for (int i = 1; i < argc; ++i) {
    const std::string option = argv[i];
    if (option == "--help" || option == "-h") {
      std::fputs(kHelp, stdout);
      return 0;
    }
    if (option == "--verbose") {
      options.verbose = true;
      continue;
    }
    if (i + 1 >= argc) return Usage(option + " needs a value");
    const std::string value = argv[++i];
    long number = 0;
    if (option == "--machine" || option == "--state") {
      if (value.empty()) return Usage(option + " needs a file");
      MachineOption machine;
      machine.file = value;
      machine.shared = option == "--state";
      wanted.push_back(machine);
    } else if (option == "--listen") {
      options.listen_address = value;
    } else if (option == "--idle-timeout") {
      if (!Number(value, 1, 86400, &number)) return Usage("--idle-timeout takes 1 to 86400 seconds");
      options.idle_timeout_seconds = static_cast<int>(number);
    } else if (option == "--max-connections") {
      if (!Number(value, 1, 100000, &number)) return Usage("--max-connections takes 1 to 100000");
      options.max_connections_per_machine = static_cast<int>(number);
    } else if (option == "--max-frame") {
      if (!Number(value, 64, 65535, &number)) return Usage("--max-frame takes 64 to 65535 bytes");
      options.max_payload = static_cast<std::size_t>(number);
    } else if (option == "--port" || option == "--fleet" || option == "--fail") {
      if (wanted.empty()) return Usage(option + " must follow a --machine or --state");
      MachineOption& machine = wanted.back();
      if (option == "--port") {
        if (!Number(value, 0, 65535, &machine.port)) return Usage("--port takes 0 to 65535");
      } else if (option == "--fleet") {
        if (!Number(value, 1, 10000, &machine.fleet)) return Usage("--fleet takes 1 to 10000");
      } else {
        MachineOption::Failure failure;
        if (!ParseFailure(value, &failure)) return Usage("--fail takes CALL:CODE or CALL:CODE:N");
        machine.failures.push_back(failure);
      }
    } else {
      return Usage("unknown option " + option);
    }
  }
  if (wanted.empty()) return Usage("no machine: give --machine FILE or --state FILE");

  std::vector<ServedMachine> machines;
  long next_port = 8193;
  for (const MachineOption& want : wanted) {
    const long first = want.port >= 0 ? want.port : next_port;
    if (first != 0 && first + want.fleet - 1 > 65535) return Usage("the ports of " + want.file + " pass 65535");
    for (long copy = 0; copy < want.fleet; ++copy) {
      ServedMachine machine;
      machine.name = want.file;
      machine.port = static_cast<std::uint16_t>(first == 0 ? 0 : first + copy);
      machine.service = std::make_unique<MachineService>();
      std::string error;
      if (!machine.service->Load(want.file, want.shared, &error)) {
        std::fprintf(stderr, "tavrin-simcnc: %s\n", error.c_str());
        return 3;
      }
      for (const auto& failure : want.failures) {
        if (!machine.service->PlanFailure(failure.call, failure.code, failure.nth)) {
          return Usage("--fail: " + failure.call + " is not one of the FOCAS2 calls served");
        }
      }
      machines.push_back(std::move(machine));
    }
    next_port = first == 0 ? 0 : first + want.fleet;
  }
  std::string error;
  if (!tavrin::simcnc::server::Serve(options, machines, &error)) {
    std::fprintf(stderr, "tavrin-simcnc: %s\n", error.c_str());
    return 3;
  }
  return 0;
}
