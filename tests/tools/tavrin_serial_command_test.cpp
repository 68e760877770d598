// End-to-end test of tavrin serial: the command sends through a
// pseudo-terminal that stands for COM7, and the test reads the cable's far end.
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cstdio>
#include <filesystem>
#include <fstream>

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
}

}  // namespace
}  // namespace tavrin::test
