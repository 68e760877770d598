// Throughput of CLibCOMPort::SendData and ReceiveData over a pseudo-terminal
// pair set to 115200 baud, each direction alone and both at once, against the
// line rate of a real cable at that speed (115200 bits / 10 bits per byte
// with 8N1 = 11520 bytes/s), and the bytes lost or changed (the aim is 0).
// A pseudo-terminal does not pace bytes at its baud rate, so the figures show
// how far the library is from being the limit, not a cable's speed.
//
//   tavrin_serial_bench [KiB each way, default 4096]
// Linux only (pseudo-terminals).
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

#include "support/serial_line.h"
#include "tavrin/serial/com_port.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr double kLineRate = 115200.0 / 10.0;  // bytes/s: start, 8 data bits, stop

// Bytes 1..251 repeating: never 0, so the part of a zeroed buffer that
// ReceiveData filled is found exactly.
char PatternByte(std::size_t i) { return static_cast<char>(1 + i % 251); }

struct Direction {
  std::size_t received = 0;
  std::size_t changed = 0;
  double seconds = 0;
};

// The port writes `total` bytes with SendData in 4 KiB blocks; the far end
// reads them.
void PortToFar(CLibCOMPort& port, tavrin::test::SerialLine& line, std::size_t total, Direction* result) {
  auto start = Clock::now();
  std::thread writer([&port, total] {
    char block[4096];
    for (std::size_t done = 0; done < total;) {
      std::size_t size = std::min(sizeof block, total - done);
      for (std::size_t i = 0; i < size; ++i) block[i] = PatternByte(done + i);
      if (port.SendData(block, static_cast<DWORD>(size)) != TAVRIN_COM_OK) return;
      done += size;
    }
  });
  char block[4096];
  while (result->received < total) {
    std::size_t got = line.Read(block, std::min(sizeof block, total - result->received), 2000);
    if (got == 0) break;  // nothing for 2 s: the rest is lost
    for (std::size_t i = 0; i < got; ++i) result->changed += block[i] != PatternByte(result->received + i);
    result->received += got;
  }
  result->seconds = std::chrono::duration<double>(Clock::now() - start).count();
  writer.join();
}

// The far end writes `total` bytes in 256-byte blocks; the port takes them
// with ReceiveData, called when bytes are waiting.
void FarToPort(CLibCOMPort& port, tavrin::test::SerialLine& line, std::size_t total, Direction* result) {
  HANDLE handle = INVALID_HANDLE_VALUE;
  port.GetPortHandle(&handle);
  auto start = Clock::now();
  std::thread writer([&line, total] {
    char block[256];
    for (std::size_t done = 0; done < total;) {
      std::size_t size = std::min(sizeof block, total - done);
      for (std::size_t i = 0; i < size; ++i) block[i] = PatternByte(done + i);
      if (!line.Write(block, size)) return;
      done += size;
    }
  });
  char buffer[TAVRIN_COM_RECEIVE_MAX];
  auto last_progress = Clock::now();
  while (result->received < total && Clock::now() - last_progress < std::chrono::seconds(2)) {
    DWORD waiting = 0;
    if (!lib_GetComPortInputCount(handle, &waiting) || waiting == 0) {
      std::this_thread::yield();
      continue;
    }
    std::memset(buffer, 0, sizeof buffer);
    if (port.ReceiveData(buffer) != TAVRIN_COM_OK) break;
    std::size_t got = std::find(buffer, buffer + sizeof buffer, '\0') - buffer;
    for (std::size_t i = 0; i < got; ++i) result->changed += buffer[i] != PatternByte(result->received + i);
    result->received += got;
    last_progress = Clock::now();
  }
  result->seconds = std::chrono::duration<double>(Clock::now() - start).count();
  writer.join();
}

void Report(const char* name, std::size_t total, const Direction& d) {
  double rate = d.seconds > 0 ? d.received / d.seconds : 0;
  std::printf("%-22s %10zu bytes in %7.3f s  %12.0f bytes/s  %8.0f x line rate  lost %zu  changed %zu\n", name,
              d.received, d.seconds, rate, rate / kLineRate, total - d.received, d.changed);
}

}  // namespace

int main(int argc, char** argv) {
  std::size_t total = (argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 4096) * 1024;
  tavrin::test::SerialLine line;
  if (!line.ok()) return std::fprintf(stderr, "no pseudo-terminal\n"), 1;
  // "pts/N" names /dev/pts/N and fits the 11 characters of a port name.
  std::string device = line.path().substr(std::strlen("/dev/"));
  char name[TAVRIN_COM_PORT_NAME_MAX + 1] = {0};
  std::strncpy(name, device.c_str(), TAVRIN_COM_PORT_NAME_MAX);
  CLibCOMPort port(name);
  short code = port.OpenPort();
  if (code != TAVRIN_COM_OK) return std::fprintf(stderr, "OpenPort %s: %d\n", name, code), 1;
  port.SetDCBBaudRate(115200);
  port.SetDCBByteSize(8);
  port.SetDCBParity(NOPARITY);
  port.SetDCBStopBits(ONESTOPBIT);
  std::printf("%s at 115200 8N1, line rate %.0f bytes/s, %zu bytes each way\n", name, kLineRate, total);

  Direction sent, received, both_sent, both_received;
  PortToFar(port, line, total, &sent);
  Report("SendData", total, sent);
  FarToPort(port, line, total, &received);
  Report("ReceiveData", total, received);
  std::thread other([&] { PortToFar(port, line, total, &both_sent); });
  FarToPort(port, line, total, &both_received);
  other.join();
  Report("both at once: send", total, both_sent);
  Report("both at once: receive", total, both_received);
  port.ClosePort();
  bool lossless = sent.received == total && received.received == total && both_sent.received == total &&
                  both_received.received == total && sent.changed + received.changed + both_sent.changed +
                  both_received.changed == 0;
  return lossless ? 0 : 1;
}
