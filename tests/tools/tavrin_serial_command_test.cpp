// End-to-end tests of tavrin serial: the command sends and listens through a
// pseudo-terminal that stands for COM7, and the test works the cable's far end.
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "support/run_command.h"
#include "support/serial_line.h"

namespace tavrin::test {
namespace {

TEST(TavrinSerialCommandTest, SendsTextAndFilesWithSettingsAndNamesFailures) {
  SerialLine line;
  ASSERT_TRUE(line.ok());
  const std::vector<std::string> com7{"TAVRIN_COM7=" + line.path()};

  CommandResult text = RunCommand(TAVRIN_COMMAND, {"serial", "send", "COM7", "cable ok\n", "--json"}, com7);
  ASSERT_EQ(text.exit_code, 0) << text.err;
  EXPECT_EQ(nlohmann::json::parse(text.out)["sent_bytes"], 9);
  char got[64] = {0};
  EXPECT_EQ(std::string(got, line.Read(got, 9, 2000)), "cable ok\n") << "raw: no line-end translation";

  std::string file = (std::filesystem::temp_directory_path() / "tavrin-serial-send.bin").string();
  std::ofstream(file, std::ios::binary) << std::string("\0\xff\r\n", 4);
  CommandResult sent = RunCommand(TAVRIN_COMMAND,
                                  {"serial", "send", "COM7", "--file", file, "--baud", "9600", "--stop", "2"}, com7);
  std::remove(file.c_str());
  ASSERT_EQ(sent.exit_code, 0) << sent.err;
  EXPECT_EQ(std::string(got, line.Read(got, 4, 2000)), std::string("\0\xff\r\n", 4));
  LineSettings settings{};
  ASSERT_TRUE(line.Settings(&settings));
  EXPECT_EQ(settings.baud_rate, 9600u);
  EXPECT_EQ(settings.stop_bits, TWOSTOPBITS);

  CommandResult missing = RunCommand(TAVRIN_COMMAND, {"serial", "send", "COM7", "x"}, {"TAVRIN_COM7=/nonexistent/tty"});
  EXPECT_EQ(missing.exit_code, 1);
  EXPECT_NE(missing.err.find("TAVRIN_COM_OPEN_FAILED (-2)"), std::string::npos) << missing.err;
  EXPECT_EQ(RunCommand(TAVRIN_COMMAND, {"serial", "send", "COM7"}, com7).exit_code, 2) << "no text nor file";
  CommandResult odd = RunCommand(TAVRIN_COMMAND, {"serial", "send", "COM7", "x", "--baud", "12345"}, com7);
  EXPECT_EQ(odd.exit_code, 2) << "a speed the port would not take is refused, not reported as set";
  EXPECT_NE(odd.err.find("19200"), std::string::npos) << odd.err;
}

// The far end of the cable closes while the command listens: it says so and
// exits 1, rather than wait for ever.
TEST(TavrinSerialCommandTest, ListenReportsAHangUp) {
  int far = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
  ASSERT_GE(far, 0);
  ASSERT_EQ(grantpt(far), 0);
  ASSERT_EQ(unlockpt(far), 0);
  std::vector<std::string> environment{std::string("TAVRIN_COM7=") + ptsname(far)};
  for (char** variable = environ; *variable != nullptr; ++variable) environment.emplace_back(*variable);
  std::vector<char*> envp;
  for (std::string& variable : environment) envp.push_back(variable.data());
  envp.push_back(nullptr);
  std::vector<std::string> args{TAVRIN_COMMAND, "serial", "listen", "COM7"};
  std::vector<char*> argv;
  for (std::string& arg : args) argv.push_back(arg.data());
  argv.push_back(nullptr);
  int err[2];
  ASSERT_EQ(pipe2(err, O_CLOEXEC), 0);
  pid_t listener = fork();
  ASSERT_GE(listener, 0);
  if (listener == 0) {
    dup2(err[1], 2);
    execve(TAVRIN_COMMAND, argv.data(), envp.data());
    _exit(127);
  }
  close(err[1]);
  auto read_err = [&err](bool one_line) {
    std::string text;
    char c = 0;
    while (read(err[0], &c, 1) == 1 && !(one_line && c == '\n')) text += c;
    return text;
  };
  std::string ready = read_err(true);  // once the port is open
  EXPECT_NE(ready.find("listening on COM7"), std::string::npos) << ready;
  close(far);
  std::string told = read_err(false);
  close(err[0]);
  int status = 0;
  ASSERT_EQ(waitpid(listener, &status, 0), listener);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1) << status;
  EXPECT_NE(told.find("hung up"), std::string::npos) << told;
}

}  // namespace
}  // namespace tavrin::test
