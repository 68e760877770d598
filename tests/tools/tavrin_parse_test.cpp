// The tavrin command's reading of what a person types, and its number and
// table text, tested directly.
#include <gtest/gtest.h>

#include "tools/tavrin/connection.h"
#include "tools/tavrin/output.h"
#include "tools/tavrin/parse.h"

namespace tavrin::cli {
namespace {

TEST(TavrinParseTest, WholeNumbersMustFitTheirRange) {
  long long value = 7;
  std::string error;
  EXPECT_TRUE(ParseInteger("0x1F", 0, 255, &value, &error));
  EXPECT_EQ(value, 31);
  EXPECT_FALSE(ParseInteger("0b0000_0100", 0, 255, &value, &error));
  EXPECT_TRUE(ParseInteger("0b100", 0, 255, &value, &error));
  EXPECT_EQ(value, 4);
  EXPECT_TRUE(ParseInteger("-128", -128, 255, &value, &error));
  EXPECT_EQ(value, -128);
  value = 7;
  for (const char* bad : {"", "-", "0x", "1.5", "12a", "256", "-129", "99999999999999999999"}) {
    EXPECT_FALSE(ParseInteger(bad, -128, 255, &value, &error)) << bad;
    EXPECT_FALSE(error.empty());
  }
  EXPECT_EQ(value, 7) << "a refused text leaves the output alone";
  double number = 0.0;
  EXPECT_TRUE(ParseNumber("-1.25", &number, &error));
  EXPECT_EQ(number, -1.25);
  for (const char* bad : {"", "nan", "inf", "1e999", "1,5", "1.5x"}) EXPECT_FALSE(ParseNumber(bad, &number, &error)) << bad;
}

TEST(TavrinParseTest, PmcAddressesAsAPersonWritesThem) {
  PmcAddress address;
  std::string error;
  ASSERT_TRUE(ParsePmcAddress("d9550.2", &address, &error));
  EXPECT_EQ(address.Text(), "D9550.2");
  ASSERT_TRUE(ParsePmcAddress("R6836", &address, &error));
  EXPECT_EQ(address.bit, -1);
  EXPECT_EQ(address.byte, 6836);
  for (const char* bad : {"", "Q1", "D", "D.1", "D9550.", "D9550.8", "D65536", "D95x0", "D-1", "9550"}) {
    EXPECT_FALSE(ParsePmcAddress(bad, &address, &error)) << bad;
  }
  ParamNumber number;
  ASSERT_TRUE(ParseParamNumber("3115.7", &number, &error));
  EXPECT_EQ(number.number, 3115);
  EXPECT_EQ(number.bit, 7);
  for (const char* bad : {"32768", "3115.8", "3115.", ".1", "-1", "12.1.1"}) {
    EXPECT_FALSE(ParseParamNumber(bad, &number, &error)) << bad;
  }
}

TEST(TavrinParseTest, SwitchesSidesAndConnections) {
  bool on = false;
  std::string error;
  EXPECT_TRUE(ParseSwitch("ON", &on, &error) && on);
  EXPECT_TRUE(ParseSwitch("0", &on, &error) && !on);
  EXPECT_FALSE(ParseSwitch("2", &on, &error));
  bool left = false;
  EXPECT_TRUE(ParseSide("l", &left, &error) && left);
  EXPECT_FALSE(ParseSide("LR", &left, &error));
  ConnectTarget target;
  ASSERT_TRUE(ParseConnect("192.168.0.5:8200", &target, &error));
  EXPECT_EQ(target.kind, ConnectTarget::kEthernet);
  EXPECT_EQ(target.address, "192.168.0.5");
  EXPECT_EQ(target.port, 8200);
  ASSERT_TRUE(ParseConnect("fe80::1", &target, &error));
  EXPECT_EQ(target.address, "fe80::1");
  EXPECT_EQ(target.port, 8193);
  ASSERT_TRUE(ParseConnect("node9", &target, &error));
  EXPECT_EQ(target.kind, ConnectTarget::kNode9);
  for (const char* bad : {":8193", "cnc:", "cnc:0", "cnc:65536"}) EXPECT_FALSE(ParseConnect(bad, &target, &error)) << bad;
}

TEST(TavrinParseTest, NearestWordWithinReachForDidYouMean) {
  const std::vector<std::string> words{"state", "status", "set", "--json", "--count", "-i"};
  EXPECT_EQ(NearestWord("statuss", words), "status");
  EXPECT_EQ(NearestWord("STATUS", words), "status") << "case aside";
  EXPECT_EQ(NearestWord("--jsno", words), "--json") << "a swap is one change";
  EXPECT_EQ(NearestWord("stat", words), "state") << "the first of equally near ones";
  EXPECT_EQ(NearestWord("sat", words), "set");
  EXPECT_EQ(NearestWord("--cnt", words), "") << "two changes are too many for a short word";
  EXPECT_EQ(NearestWord("--bogus", words), "");
  EXPECT_EQ(NearestWord("status", words), "") << "a valid word needs no suggestion";
}

TEST(TavrinParseTest, NumbersAndTablesForPeople) {
  EXPECT_EQ(NumberText(250.0), "250");
  EXPECT_EQ(NumberText(812.5), "812.5");
  EXPECT_EQ(NumberText(0.001), "0.001");
  EXPECT_EQ(NumberText(-0.012), "-0.012");
  EXPECT_EQ(NumberText(1e-20), "9.9999999999999995e-21");
  EXPECT_EQ(CodeText(-8), "EW_HANDLE (-8)");
  EXPECT_EQ(CodeText(-100), "code -100");
  EXPECT_EQ(TableText({{"a", "bb"}, {{"ccc", ""}, {"d", "e"}}}), "a    bb\n---  --\nccc\nd    e\n");
}

}  // namespace
}  // namespace tavrin::cli
