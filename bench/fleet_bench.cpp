// FOCAS2 over Ethernet with a fleet: N simulated machines served by one
// tavrin-simcnc, one `tavrin publish` per machine (through our own FOCAS2
// client library) to one Mosquitto broker, for N = 1, 10 and 50.  Prints the
// sweeps per second of the whole fleet, the server's memory per machine and
// a publisher's peak memory; then the requests per second and the latency of
// one connection on loopback (one PMC byte read per request).
//
//   tavrin_fleet_bench [SWEEPS per publisher, default 50]     (Linux)
#include <dlfcn.h>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <netinet/in.h>
#include <arpa/inet.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

pid_t Spawn(const std::vector<std::string>& args, const std::string& log) {
  std::vector<char*> argv;
  for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, log.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
  posix_spawn_file_actions_adddup2(&actions, 1, 2);
  pid_t pid = -1;
  if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0) pid = -1;
  posix_spawn_file_actions_destroy(&actions);
  return pid;
}

// A loopback port nothing listens on now, and `count` free ones after it.
int FreePorts(int count) {
  for (int base = 20000 + static_cast<int>(getpid() % 20000);; base += count + 1) {
    bool free = true;
    for (int port = base; port < base + count && free; ++port) {
      int fd = socket(AF_INET, SOCK_STREAM, 0);
      sockaddr_in address{};
      address.sin_family = AF_INET;
      address.sin_port = htons(static_cast<uint16_t>(port));
      address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
      free = bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
      close(fd);
    }
    if (free) return base;
  }
}

bool Accepting(int port) {
  int fd = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<uint16_t>(port));
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  bool ok = connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
  close(fd);
  return ok;
}

bool WaitAccepting(int port) {
  for (int i = 0; i < 1000; ++i) {
    if (Accepting(port)) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return false;
}

long RssKb(pid_t pid) {
  std::ifstream status("/proc/" + std::to_string(pid) + "/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("VmRSS:", 0) == 0) return std::atol(line.c_str() + 6);
  }
  return -1;
}

void Stop(pid_t pid) {
  kill(pid, SIGTERM);
  waitpid(pid, nullptr, 0);
}

// One connection's requests per second and latencies, through the client
// library's pmc_rdpmcrng.
void OneConnection(int port) {
  void* library = dlopen(TAVRIN_BENCH_FOCAS2_NET, RTLD_NOW | RTLD_LOCAL);
  if (library == nullptr) return;
  using Startup = short (*)(unsigned short, const char*);
  using Open = short (*)(const char*, unsigned short, long, unsigned short*);
  using ReadPmc = short (*)(unsigned short, short, short, unsigned short, unsigned short, unsigned short, void*);
  using Free = short (*)(unsigned short);
  auto startup = reinterpret_cast<Startup>(dlsym(library, "cnc_startupprocess"));
  auto open = reinterpret_cast<Open>(dlsym(library, "cnc_allclibhndl3"));
  auto read = reinterpret_cast<ReadPmc>(dlsym(library, "pmc_rdpmcrng"));
  auto release = reinterpret_cast<Free>(dlsym(library, "cnc_freelibhndl"));
  unsigned short handle = 0;
  if (startup == nullptr || open == nullptr || read == nullptr || release == nullptr) return;
  startup(0, "fleet_bench.log");
  if (open("127.0.0.1", static_cast<unsigned short>(port), 5, &handle) != 0) {
    std::printf("one connection: could not open a handle\n");
    return;
  }
  struct {  // the PMC record: address type, data type, first and last address, data
    short type_a, type_d;
    unsigned short start, end;
    char data[8];
  } record{};
  constexpr int kRequests = 20000;
  std::vector<double> micros;
  micros.reserve(kRequests);
  const auto start = Clock::now();
  for (int i = 0; i < kRequests; ++i) {
    const auto before = Clock::now();
    read(handle, 9, 0, 9550, 9550, 9, &record);  // D9550, one byte
    micros.push_back(std::chrono::duration<double, std::micro>(Clock::now() - before).count());
  }
  const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
  release(handle);
  std::sort(micros.begin(), micros.end());
  std::printf("one connection: %.0f requests/s; latency median %.1f us, 99th percentile %.1f us\n",
              kRequests / seconds, micros[micros.size() / 2], micros[micros.size() * 99 / 100]);
}

}  // namespace

int main(int argc, char** argv) {
  const int sweeps = argc > 1 ? std::atoi(argv[1]) : 50;
  const fs::path folder = fs::temp_directory_path() / ("tavrin-fleet-bench-" + std::to_string(getpid()));
  fs::create_directories(folder);
  const std::string log = (folder / "log.txt").string();
  const std::string mosquitto = TAVRIN_BENCH_MOSQUITTO;
  std::printf("%d sweeps per publisher, interval 0; machines served by one tavrin-simcnc\n", sweeps);
  std::printf("%9s  %14s  %20s  %22s\n", "machines", "sweeps/s", "server KB/machine", "publisher peak KB");
  for (int machines : {1, 10, 50}) {
    const int first = FreePorts(machines + 1);
    const int broker_port = first + machines;
    pid_t server = Spawn({TAVRIN_BENCH_SIMCNC_SERVER, "--machine", TAVRIN_BENCH_LATHE, "--fleet",
                          std::to_string(machines), "--port", std::to_string(first)}, log);
    std::ofstream(folder / "mosquitto.conf") << "listener " << broker_port << " 127.0.0.1\nallow_anonymous true\n";
    pid_t broker = mosquitto.empty() ? -1 : Spawn({mosquitto, "-c", (folder / "mosquitto.conf").string()}, log);
    if (server < 0 || broker < 0 || !WaitAccepting(first + machines - 1) || !WaitAccepting(broker_port)) {
      std::printf("%9d  could not start the server or the broker (see %s)\n", machines, log.c_str());
      if (server > 0) Stop(server);
      if (broker > 0) Stop(broker);
      continue;
    }
    const auto start = Clock::now();
    std::vector<pid_t> publishers;
    for (int i = 0; i < machines; ++i) {
      publishers.push_back(Spawn({TAVRIN_BENCH_COMMAND, "--focas", TAVRIN_BENCH_FOCAS2_NET, "--connect",
                                  "127.0.0.1:" + std::to_string(first + i), "publish", "--broker",
                                  "mqtt://127.0.0.1:" + std::to_string(broker_port), "--id", "m" + std::to_string(i),
                                  "--interval", "0", "--count", std::to_string(sweeps)},
                                 log));
    }
    long peak_kb = 0;
    int failed = 0;
    for (pid_t publisher : publishers) {
      int status = 0;
      rusage usage{};
      wait4(publisher, &status, 0, &usage);
      peak_kb = std::max(peak_kb, usage.ru_maxrss);
      failed += WIFEXITED(status) && WEXITSTATUS(status) == 0 ? 0 : 1;
    }
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    const long server_kb = RssKb(server);
    std::printf("%9d  %14.0f  %20.0f  %22ld%s\n", machines, machines * sweeps / seconds,
                static_cast<double>(server_kb) / machines, peak_kb,
                failed > 0 ? ("  (" + std::to_string(failed) + " publishers failed)").c_str() : "");
    if (machines == 1) OneConnection(first);
    Stop(server);
    Stop(broker);
  }
  fs::remove_all(folder);
  return 0;
}
