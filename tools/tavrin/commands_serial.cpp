// Serial commands: a technician's check of a cable through the library's
// serial port class.  `serial send` writes a text or a file to a port;
// `serial listen` shows what arrives until a count of bytes, a time, or
// Ctrl-C.  The port's settings are changed only where an option asks, through
// the class's setters, after opening; the port keeps the others.
#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstring>
#include <fstream>
#include <iostream>
#include <iterator>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <thread>

#include "commands.h"
#include "tavrin/serial/com_port.h"

namespace tavrin::cli {

namespace {

struct SerialArgs {
  std::string port;
  std::optional<DWORD> baud;
  std::optional<int> bits;
  std::optional<std::string> parity;
  std::optional<std::string> stop;
  // send
  std::string text;
  std::string file;
  // listen
  std::optional<long long> count;
  std::optional<double> seconds;
};

const std::map<std::string, unsigned char> kParity = {
    {"none", NOPARITY}, {"odd", ODDPARITY}, {"even", EVENPARITY}, {"mark", MARKPARITY}, {"space", SPACEPARITY}};
const std::map<std::string, unsigned char> kStopBits = {{"1", ONESTOPBIT}, {"1.5", ONE5STOPBITS}, {"2", TWOSTOPBITS}};
// The speeds a port takes on Linux as on Windows.  The library does not say
// whether the port took a speed, so another is refused before opening.
const DWORD kSpeeds[] = {50,     75,     110,    134,     150,     200,     300,     600,     1200,    1800,
                         2400,   4800,   9600,   19200,   38400,   57600,   115200,  230400,  460800,  500000,
                         576000, 921600, 1000000, 1152000, 1500000, 2000000, 2500000, 3000000, 3500000, 4000000};

// "TAVRIN_COM_OPEN_FAILED (-2)".
std::string ComCodeText(short code) {
  static const char* const kNames[] = {
      "TAVRIN_COM_OK",          "TAVRIN_COM_ALREADY_OPEN",    "TAVRIN_COM_OPEN_FAILED", "TAVRIN_COM_SETUP_FAILED",
      "TAVRIN_COM_PURGE_FAILED", "TAVRIN_COM_GETSTATE_FAILED", "TAVRIN_COM_EVENT_FAILED", "TAVRIN_COM_MASK_FAILED",
      "TAVRIN_COM_WRITE_FAILED", "TAVRIN_COM_WAIT_FAILED",     "TAVRIN_COM_READ_FAILED"};
  std::string number = std::to_string(code);
  if (code > 0 || code < -10) return "code " + number;
  return std::string(kNames[-code]) + " (" + number + ")";
}

int FailCom(Output& out, short code, const std::string& what) {
  int result = out.Fail(kExitFailed, what + " failed: " + ComCodeText(code));
  if (out.json()) {
    out.data()["code"] = code;
    out.data()["code_name"] = ComCodeText(code).substr(0, ComCodeText(code).find(' '));
  }
  return result;
}

// Bytes as JSON-safe text: printable ASCII as it is, everything else \xNN.
std::string Escaped(const std::string& bytes) {
  std::string text;
  for (unsigned char c : bytes) {
    if (c >= 0x20 && c < 0x7f && c != '\\') {
      text += static_cast<char>(c);
    } else {
      char code[8];
      std::snprintf(code, sizeof code, "\\x%02x", c);
      text += code;
    }
  }
  return text;
}

// Opens the port and applies the settings asked for.  The port closes when
// the object goes.
class OpenedPort {
 public:
  ~OpenedPort() { port_.ClosePort(); }
  CLibCOMPort& port() { return port_; }

  int Open(const SerialArgs& args, Output& out) {
    char name[TAVRIN_COM_PORT_NAME_MAX + 1] = {0};
    std::strncpy(name, args.port.c_str(), TAVRIN_COM_PORT_NAME_MAX);  // length checked when parsed
    port_.SetPortName(name);
    short code = port_.OpenPort();
    if (code != TAVRIN_COM_OK) return FailCom(out, code, "opening " + args.port);
    if (args.baud) port_.SetDCBBaudRate(*args.baud);
    if (args.bits) port_.SetDCBByteSize(static_cast<unsigned char>(*args.bits));
    if (args.parity) port_.SetDCBParity(kParity.at(*args.parity));
    if (args.stop) port_.SetDCBStopBits(kStopBits.at(*args.stop));
    DCB dcb{};
    port_.GetDCB(&dcb);
    out.data()["port"] = args.port;
    out.data()["settings"] = {{"baud", dcb.BaudRate}, {"bits", dcb.ByteSize}, {"parity", dcb.Parity},
                              {"stop_bits", dcb.StopBits}};
    return kExitOk;
  }

 private:
  CLibCOMPort port_;
};

int Send(const SerialArgs& args, Output& out) {
  std::string data = args.text;
  if (!args.file.empty()) {
    std::ifstream in(args.file, std::ios::binary);
    if (!in) return out.Fail(kExitFailed, "cannot read " + args.file);
    data.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  OpenedPort opened;
  int result = opened.Open(args, out);
  if (result != kExitOk) return result;
  short code = opened.port().SendData(data.data(), static_cast<DWORD>(data.size()));
  if (code != TAVRIN_COM_OK) return FailCom(out, code, "sending to " + args.port);
  out.data()["sent_bytes"] = data.size();
  out.Line("sent " + std::to_string(data.size()) + " byte(s) to " + args.port);
  return kExitOk;
}

volatile std::sig_atomic_t interrupted = 0;
void OnInterrupt(int) { interrupted = 1; }

int Listen(const SerialArgs& args, Output& out) {
  OpenedPort opened;
  int result = opened.Open(args, out);
  if (result != kExitOk) return result;
  HANDLE handle = INVALID_HANDLE_VALUE;
  opened.port().GetPortHandle(&handle);

  std::cerr << "tavrin: listening on " << args.port << " until "
            << (args.count ? "--count bytes, " : "") << (args.seconds ? "--seconds, " : "") << "Ctrl-C or a hang-up\n";
  interrupted = 0;
  auto previous = std::signal(SIGINT, &OnInterrupt);
  auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(args.seconds.value_or(0));
  std::string received;
  const char* ended = "interrupted";
  short code = TAVRIN_COM_OK;
  char buffer[TAVRIN_COM_RECEIVE_MAX];
  for (;;) {
    if (interrupted != 0) break;
    if (args.count && static_cast<long long>(received.size()) >= *args.count) { ended = "count"; break; }
    if (args.seconds && std::chrono::steady_clock::now() >= deadline) { ended = "time"; break; }
    // ReceiveData does not say how many bytes it took: it takes what waits
    // (at most 512).  Waiting here until bytes are queued keeps its own wait
    // short (so Ctrl-C and --seconds are seen), and the count just before the
    // call says how many it took at least.  Bytes that come between the two
    // counts are found as the part of the zeroed buffer that changed; zero
    // bytes among them cannot be told from the unchanged buffer.
    DWORD waiting = 0;
    // A line that hung up (its far end closed, the device gone) cannot even
    // be counted.
    if (!lib_GetComPortInputCount(handle, &waiting)) { ended = "hang-up"; break; }
    if (waiting == 0) {
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
      continue;
    }
    std::memset(buffer, 0, sizeof buffer);
    code = opened.port().ReceiveData(buffer);
    if (code != TAVRIN_COM_OK) break;
    std::size_t taken = std::min<std::size_t>(waiting, sizeof buffer);
    for (std::size_t i = sizeof buffer; i > taken; --i) {
      if (buffer[i - 1] != 0) { taken = i; break; }
    }
    if (args.count) taken = std::min<std::size_t>(taken, static_cast<std::size_t>(*args.count) - received.size());
    received.append(buffer, taken);
    if (!out.json()) std::cout.write(buffer, static_cast<std::streamsize>(taken)).flush();
  }
  std::signal(SIGINT, previous == SIG_ERR ? SIG_DFL : previous);
  if (code != TAVRIN_COM_OK) return FailCom(out, code, "receiving from " + args.port);
  out.data()["received_bytes"] = received.size();
  out.data()["received"] = Escaped(received);
  out.data()["ended_by"] = ended;
  if (!out.json()) std::cout << '\n';
  std::string summary = "received " + std::to_string(received.size()) + " byte(s) from " + args.port;
  if (std::string(ended) == "hang-up") {
    return out.Fail(kExitFailed, summary + ", then the line hung up (its far end closed it, or the device went away)");
  }
  out.Line(summary + " (ended by " + ended + ")");
  return kExitOk;
}

void AddSettings(CLI::App* command, SerialArgs& args) {
  command->add_option("port", args.port, "the port: COMn (TAVRIN_COMn, the Wine prefix's link, else /dev/ttyS(n-1)), "
                                         "a /path, or a name under /dev; at most 11 characters")
      ->required()
      ->check([](const std::string& name) {
        return name.size() <= TAVRIN_COM_PORT_NAME_MAX ? std::string() : "port names have at most 11 characters";
      });
  command->add_option("--baud", args.baud,
                      "bits per second, a standard speed from 50 to 4000000 (default: as the port is)")
      ->check([](const std::string& text) {
        std::string list;
        for (DWORD speed : kSpeeds) {
          if (std::to_string(speed) == text) return std::string();
          list += (list.empty() ? "" : " ") + std::to_string(speed);
        }
        return text + " is no speed a serial port takes; one of " + list;
      });
  command->add_option("--bits", args.bits, "bits per byte, 5 to 8")->check(CLI::Range(5, 8));
  command->add_option("--parity", args.parity, "none, odd, even, mark or space")
      ->check(CLI::IsMember({"none", "odd", "even", "mark", "space"}));
  command->add_option("--stop", args.stop, "stop bits: 1, 1.5 or 2")->check(CLI::IsMember({"1", "1.5", "2"}));
}

}  // namespace

void AddSerialCommands(CLI::App& app, Context& context) {
  CLI::App* serial = app.add_subcommand("serial", "check a serial cable: send to or listen on a port (no CNC call)");
  serial->require_subcommand(1);
  auto args = std::make_shared<SerialArgs>();

  CLI::App* send = serial->add_subcommand("send", "write a text or a file to the port (CLibCOMPort::SendData)");
  AddSettings(send, *args);
  CLI::Option* text = send->add_option("text", args->text, "the bytes to send, as written");
  send->add_option("--file", args->file, "send this file's bytes instead")->excludes(text);
  send->callback([&context, args, send] {
    if (send->count("text") + send->count("--file") == 0) throw CLI::ValidationError("give a TEXT or --file");
    context.without_cnc = [args](Output& out) { return Send(*args, out); };
  });

  CLI::App* listen = serial->add_subcommand(
      "listen", "show what arrives on the port (CLibCOMPort::ReceiveData) until --count, --seconds or Ctrl-C; a "
                "hang-up of the line ends it with exit 1");
  AddSettings(listen, *args);
  listen->add_option("--count", args->count, "stop after this many bytes")->check(CLI::PositiveNumber);
  listen->add_option("--seconds", args->seconds, "stop after this many seconds")->check(CLI::NonNegativeNumber);
  listen->callback([&context, args] {
    context.without_cnc = [args](Output& out) { return Listen(*args, out); };
  });
}

}  // namespace tavrin::cli
