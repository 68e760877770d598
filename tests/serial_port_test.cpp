// CLibCOMPort over a pseudo-terminal: the library opens one end as its port
// (named COM7 through TAVRIN_COM7), the test works the other end.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "support/child_process.h"
#include "support/environment.h"
#include "support/serial_line.h"
#include "tavrin/tavrin.h"

namespace tavrin::test {
namespace {

constexpr int kTimeoutMs = 5000;
constexpr char kUnwritten = static_cast<char>(0xFF);  // fills buffers; test data avoids it

// The interface takes names as char*: keep them in writable arrays.
struct Name {
  explicit Name(const std::string& text) { std::snprintf(chars, sizeof chars, "%s", text.c_str()); }
  char chars[64];
};

std::vector<char> Pattern(std::size_t size) {
  std::vector<char> bytes(size);
  for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>((i * 7 + i / 255) % 255);
  return bytes;
}

TEST(SerialPortNameTest, NamesUpTo11CharactersAreKeptAndAnyFailedOpenLeavesThePortClosed) {
  CLibCOMPort unnamed;
  char name[12] = "x";
  HANDLE handle = nullptr;
  OVERLAPPED overlapped;
  EXPECT_FALSE(unnamed.GetPortName(name));
  EXPECT_STREQ("", name);
  EXPECT_FALSE(unnamed.GetPortHandle(&handle));
  EXPECT_EQ(INVALID_HANDLE_VALUE, handle);
  EXPECT_FALSE(unnamed.GetEventHandle(&overlapped));

  Name longest("ABCDEFGHIJK"), too_long("ABCDEFGHIJKL-and-more"), missing("NOSUCHPORT");
  CLibCOMPort port(longest.chars);
  ASSERT_TRUE(port.GetPortName(name));
  EXPECT_STREQ("ABCDEFGHIJK", name);
  port.SetPortName(too_long.chars);  // refused without spilling into the handle stored after the field
  EXPECT_FALSE(port.GetPortName(name));

  port.SetPortName(missing.chars);
  EXPECT_EQ(TAVRIN_COM_OPEN_FAILED, port.OpenPort());
  EXPECT_FALSE(port.GetPortHandle(nullptr));
  EXPECT_FALSE(port.GetDCB(nullptr));
  char data[4] = "abc";
  EXPECT_EQ(TAVRIN_COM_OK, port.SendData(data, 0));
  EXPECT_EQ(TAVRIN_COM_WRITE_FAILED, port.SendData(data, 3));
  EXPECT_EQ(TAVRIN_COM_WAIT_FAILED, port.ReceiveData(data));
}

class SerialPortTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!line_.ok()) GTEST_SKIP() << "no pseudo-terminals on this platform";
    com7_ = std::make_unique<ScopedEnv>("TAVRIN_COM7", line_.path().c_str());
  }
  void TearDown() override { port_.ClosePort(); }

  LineSettings Settings() {
    LineSettings settings{};
    EXPECT_TRUE(line_.Settings(&settings));
    return settings;
  }
  // Sends one byte and checks that it is the next thing the far end gets.
  void ExpectNextAtFarEnd(char marker) {
    char got = 0;
    ASSERT_EQ(TAVRIN_COM_OK, port_.SendData(&marker, 1));
    ASSERT_EQ(1u, line_.Read(&got, 1, kTimeoutMs));
    EXPECT_EQ(marker, got);
  }
  // Whether COM7 opens in a child process (the lock must hold across processes).
  static bool OpensInAnotherProcess() {
    long child = StartChild(
        [](void*) {
          Name com7("COM7");
          return CLibCOMPort(com7.chars).OpenPort() == TAVRIN_COM_OK;
        },
        nullptr);
    return child >= 0 && ChildSucceeded(child);
  }

  SerialLine line_;
  std::unique_ptr<ScopedEnv> com7_;
  Name com7_name_{"COM7"};
  CLibCOMPort port_{com7_name_.chars};
};

TEST_F(SerialPortTest, OpenIsExclusiveAndCanBeRepeatedAfterClose) {
  ASSERT_EQ(TAVRIN_COM_OK, port_.OpenPort());
  DCB dcb;
  EXPECT_TRUE(port_.GetEventHandle(nullptr));
  ASSERT_TRUE(port_.GetDCB(&dcb));
  EXPECT_EQ(sizeof(DCB), dcb.DCBlength);
  EXPECT_EQ(TAVRIN_COM_ALREADY_OPEN, port_.OpenPort());
  ExpectNextAtFarEnd('a');  // the open port was left alone

  CLibCOMPort second(com7_name_.chars);
  EXPECT_EQ(TAVRIN_COM_OPEN_FAILED, second.OpenPort());
  EXPECT_FALSE(second.GetPortHandle(nullptr));
  EXPECT_FALSE(OpensInAnotherProcess());

  port_.ClosePort();
  EXPECT_FALSE(port_.GetPortHandle(nullptr));
  EXPECT_FALSE(port_.GetEventHandle(nullptr));
  EXPECT_EQ(ChildProcessesSupported(), OpensInAnotherProcess());  // nothing left locked
  ASSERT_EQ(TAVRIN_COM_OK, port_.OpenPort());
  ExpectNextAtFarEnd('b');
}

// A pseudo-terminal keeps only speed and stop bits (it is always 8 bits, no
// parity): byte size and parity are checked as the library asks them of it.
TEST_F(SerialPortTest, OpeningKeepsTheLineSettingsAndSettersApplyTheWholeBlock) {
  {
    CLibCOMPort earlier(com7_name_.chars);  // leaves the line at 19200 with two stop bits
    ASSERT_EQ(TAVRIN_COM_OK, earlier.OpenPort());
    earlier.SetDCBBaudRate(19200);
    earlier.SetDCBStopBits(TWOSTOPBITS);
    earlier.ClosePort();
  }
  port_.SetDCBBaudRate(CBR_9600);  // before opening: lost
  ASSERT_EQ(TAVRIN_COM_OK, port_.OpenPort());
  DCB dcb;
  ASSERT_TRUE(port_.GetDCB(&dcb));
  EXPECT_EQ(19200u, dcb.BaudRate);
  EXPECT_EQ(TWOSTOPBITS, dcb.StopBits);
  EXPECT_EQ(19200u, Settings().baud_rate);
  EXPECT_TRUE(Settings().raw);

  SettingsRecorder applied;
  ASSERT_TRUE(applied.installed());
  port_.SetDCBBaudRate(921600);
  EXPECT_EQ(921600u, Settings().baud_rate);
  port_.SetDCBStopBits(ONESTOPBIT);
  EXPECT_EQ(ONESTOPBIT, Settings().stop_bits);
  for (int parity : {ODDPARITY, EVENPARITY, MARKPARITY, SPACEPARITY, NOPARITY}) {
    port_.SetDCBParity(static_cast<unsigned char>(parity));
    EXPECT_EQ(parity, applied.last().parity);
  }
  for (int size : {5, 6, 7, 8}) {
    port_.SetDCBByteSize(static_cast<unsigned char>(size));
    EXPECT_EQ(size, applied.last().byte_size);
    EXPECT_EQ(921600u, applied.last().baud_rate);  // the other fields go along
  }
  EXPECT_EQ(11, applied.count());

  // Settings the port cannot take are not applied; the block keeps them.
  port_.SetDCBByteSize(9);
  port_.SetDCBBaudRate(12345);
  port_.SetDCBStopBits(ONE5STOPBITS);  // only with 5 bits
  EXPECT_EQ(11, applied.count());
  port_.GetDCB(&dcb);
  EXPECT_EQ(9, dcb.ByteSize);
}

TEST_F(SerialPortTest, EveryByteValuePassesUnchangedAndAtMost512ArriveAtOnce) {
  ASSERT_EQ(TAVRIN_COM_OK, port_.OpenPort());
  std::vector<char> sent(256);
  for (int i = 0; i < 256; ++i) sent[i] = static_cast<char>(i);
  std::vector<char> pattern = Pattern(444);
  sent.insert(sent.end(), pattern.begin(), pattern.end());  // 700 bytes
  ASSERT_TRUE(line_.Write(sent.data(), sent.size()));
  ASSERT_TRUE(line_.WaitQueued(sent.size(), kTimeoutMs));

  std::vector<char> buffer(1024, kUnwritten);
  ASSERT_EQ(TAVRIN_COM_OK, port_.ReceiveData(buffer.data()));
  EXPECT_TRUE(std::equal(sent.begin(), sent.begin() + 512, buffer.begin()));
  EXPECT_EQ(kUnwritten, buffer[512]);
  std::fill(buffer.begin(), buffer.end(), kUnwritten);
  ASSERT_EQ(TAVRIN_COM_OK, port_.ReceiveData(buffer.data()));  // the rest stayed queued
  EXPECT_TRUE(std::equal(sent.begin() + 512, sent.end(), buffer.begin()));
  EXPECT_EQ(kUnwritten, buffer[188]);

  // Nothing was echoed, and a block of 0 bytes sends nothing.
  EXPECT_EQ(TAVRIN_COM_OK, port_.SendData(sent.data(), 0));
  ExpectNextAtFarEnd('m');
}

// More than the driver takes at once: SendData goes on after partial writes,
// and every byte value but 0xFF (line feeds included) goes out unchanged.
TEST_F(SerialPortTest, A64KiBBlockIsSentWhole) {
  ASSERT_EQ(TAVRIN_COM_OK, port_.OpenPort());
  std::vector<char> block = Pattern(64 * 1024), at_far_end(block.size());
  std::size_t far_count = 0;
  std::thread reader([&] { far_count = line_.Read(at_far_end.data(), at_far_end.size(), kTimeoutMs); });
  EXPECT_EQ(TAVRIN_COM_OK, port_.SendData(block.data(), static_cast<DWORD>(block.size())));
  reader.join();
  EXPECT_EQ(block.size(), far_count);
  EXPECT_TRUE(block == at_far_end);
}

TEST_F(SerialPortTest, WaitEndsWithoutACharacterWhenTheEventIsSignalledOrThePortCloses) {
  ASSERT_EQ(TAVRIN_COM_OK, port_.OpenPort());
  OVERLAPPED overlapped;
  ASSERT_TRUE(port_.GetEventHandle(&overlapped));
  SignalEvent(overlapped.hEvent);
  char buffer[512];
  std::memset(buffer, kUnwritten, sizeof buffer);
  EXPECT_EQ(TAVRIN_COM_OK, port_.ReceiveData(buffer));
  EXPECT_EQ(std::string(sizeof buffer, kUnwritten), std::string(buffer, sizeof buffer));

  std::atomic<int> result{1};
  std::thread receiver([&] { result = port_.ReceiveData(buffer); });
  port_.ClosePort();  // wakes the receiver
  receiver.join();
  // 0 when the wait had begun, -9 when the port was closed before it did.
  EXPECT_TRUE(result == TAVRIN_COM_OK || result == TAVRIN_COM_WAIT_FAILED) << result;
}

TEST_F(SerialPortTest, PortNamesMapToDevicesAsUnderWine) {
  namespace fs = std::filesystem;
  fs::path prefix = fs::temp_directory_path() / ("tavrin-serial-" + line_.path().substr(line_.path().rfind('/') + 1));
  fs::remove_all(prefix);
  fs::create_directories(prefix / ".wine" / "dosdevices");
  ScopedEnv home("HOME", prefix.string().c_str());
  ScopedEnv wine_prefix("WINEPREFIX", prefix.string().c_str());
  ScopedEnv no_com3("TAVRIN_COM3", nullptr);
  const char* const plain[][2] = {{"COM7", line_.path().c_str()},  // TAVRIN_COM7 first
                                  {"COM3", "/dev/ttyS2"},           {"com12", "/dev/ttyS11"},
                                  {"ttyUSB0", "/dev/ttyUSB0"},      {"COM0", "/dev/COM0"},
                                  {"/tmp/x", "/tmp/x"}};
  for (const auto& p : plain) EXPECT_EQ(p[1], DevicePathFor(p[0])) << p[0];

  fs::create_directories(prefix / "dosdevices");
  fs::create_symlink(line_.path(), prefix / "dosdevices" / "com3");
  fs::create_symlink(line_.path(), prefix / ".wine" / "dosdevices" / "com12");
  EXPECT_EQ((prefix / "dosdevices" / "com3").string(), DevicePathFor("COM3"));
  ScopedEnv default_prefix("WINEPREFIX", nullptr);  // $HOME/.wine
  EXPECT_EQ((prefix / ".wine" / "dosdevices" / "com12").string(), DevicePathFor("COM12"));
  fs::remove_all(prefix);
}

TEST_F(SerialPortTest, EachFailingStepGivesItsCode) {
  for (const StepFault& fault : OpenStepFaults()) {
    SCOPED_TRACE(std::string(fault.call) + " #" + std::to_string(fault.occurrence));
    short code;
    {
      SyscallFailure failure(fault.call, fault.occurrence);
      ASSERT_TRUE(failure.installed());
      code = port_.OpenPort();
    }
    EXPECT_EQ(fault.code, code);
    // An opened device stays open until ClosePort, and nothing is left locked.
    EXPECT_EQ(code != TAVRIN_COM_OPEN_FAILED, port_.GetPortHandle(nullptr));
    port_.ClosePort();
    EXPECT_EQ(TAVRIN_COM_OK, port_.OpenPort());
    port_.ClosePort();
  }

  ASSERT_EQ(TAVRIN_COM_OK, port_.OpenPort());
  ASSERT_TRUE(line_.Write("xyz", 3));
  ASSERT_TRUE(line_.WaitQueued(3, kTimeoutMs));
  char data[512] = "abc";
  for (const StepFault& fault : TransferFaults()) {
    SyscallFailure failure(fault.call, fault.occurrence);
    EXPECT_EQ(fault.code, fault.code == TAVRIN_COM_WRITE_FAILED ? port_.SendData(data, 3) : port_.ReceiveData(data))
        << fault.call;
  }
  EXPECT_EQ(TAVRIN_COM_OK, port_.ReceiveData(data));  // the bytes are still there
  EXPECT_EQ(0, std::memcmp(data, "xyz", 3));
}

}  // namespace
}  // namespace tavrin::test
