#include "support/test_support.h"

namespace tavrin::test {
namespace {

using PmcTest = CncTest;

TEST(PmcAddressTypeCode, OnlyTheElevenUpperCaseLetters) {
  const char letters[] = "GFYXARTKCDE";
  const short codes[] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 12};
  for (int i = 0; i < 11; ++i) EXPECT_EQ(codes[i], lib_GetPmcAddressTypeCode(letters[i])) << letters[i];
  for (char other : {'M', 'Z', 'd', 'g', '\0', 'B'}) EXPECT_EQ(-1, lib_GetPmcAddressTypeCode(other)) << other;
}

TEST(PmcAddressOfPath, ShiftsBlocksByPath) {
  EXPECT_EQ(100, lib_GetPmcAddress(100, 1, 1));
  EXPECT_EQ(1100, lib_GetPmcAddress(100, 2, 0));
  EXPECT_EQ(2100, lib_GetPmcAddress(100, 2, 1));
  EXPECT_EQ(2100, lib_GetPmcAddress(100, 3, 0));
  EXPECT_EQ(3100, lib_GetPmcAddress(100, 3, 1));
  EXPECT_EQ(5000, lib_GetPmcAddress(4000, 2, 1));
  EXPECT_EQ(-1, lib_GetPmcAddress(100, 4, 0));
  EXPECT_EQ(-1, lib_GetPmcAddress(100, 0, 0));
}

TEST_F(PmcTest, ReadsTakeTheBytesAtTheAddressLeastSignificantFirst) {
  const std::uint8_t bytes[] = {0x34, 0x12, 0x88, 0x01};
  for (unsigned i = 0; i < 4; ++i) ASSERT_TRUE(sim::SetPmcByte('R', 200 + i, bytes[i]));
  short word = 0;
  tavrin_long two_word = 0;
  char byte = 0;
  bool bit = false;
  ASSERT_EQ(0, lib_ReadPmcParam_Word(handle_, 'R', 200, &word));
  EXPECT_EQ(0x1234, word);
  ASSERT_EQ(0, lib_ReadPmcParam_2Word(handle_, 'R', 200, &two_word));
  EXPECT_EQ(0x01881234, two_word);
  ASSERT_EQ(0, lib_ReadPmcParam_Byte(handle_, 'R', 202, &byte));
  EXPECT_EQ(static_cast<char>(0x88), byte);
  ASSERT_EQ(0, lib_ReadPmcParam_Bit(handle_, 'R', 202, 3, &bit));
  EXPECT_TRUE(bit);
  ASSERT_EQ(0, lib_ReadPmcParam_Bit(handle_, 'R', 202, 2, &bit));
  EXPECT_FALSE(bit);
  EXPECT_EQ(5u, sim::JournalSize());
}

TEST_F(PmcTest, BitWriteChangesOneBitOfTheByteAsReadAndOnlyOneSetsIt) {
  std::uint8_t byte = 0;
  ASSERT_TRUE(sim::SetPmcByte('D', 9550, 0x41));
  ASSERT_EQ(0, lib_WritePmcParam_Bit(handle_, 'D', 9550, 3, true));
  sim::GetPmcByte('D', 9550, &byte);
  EXPECT_EQ(0x49, byte);
  ASSERT_EQ(0, lib_WritePmcParam_Bit(handle_, 'D', 9550, 0, false));
  sim::GetPmcByte('D', 9550, &byte);
  EXPECT_EQ(0x48, byte);
  EXPECT_EQ((std::vector<std::string>{"pmc_rdpmcrng", "pmc_wrpmcrng", "pmc_rdpmcrng", "pmc_wrpmcrng"}), CallNames());

  // An application in another language may pass any byte as the flag.
  auto write_raw = reinterpret_cast<short(TAVRIN_CALL*)(unsigned short, char, unsigned short, short, unsigned char)>(
      reinterpret_cast<void (*)()>(&lib_WritePmcParam_Bit));
  ASSERT_EQ(0, write_raw(handle_, 'D', 9550, 3, 2));
  sim::GetPmcByte('D', 9550, &byte);
  EXPECT_EQ(0x40, byte);
}

TEST_F(PmcTest, ValueWritesSendOneRecordWithoutReading) {
  ASSERT_EQ(0, lib_WritePmcParam_Word(handle_, 'D', 300, static_cast<short>(-2)));
  ASSERT_EQ(0, lib_WritePmcParam_2Word(handle_, 'D', 304, 0x01020304));
  ASSERT_EQ(0, lib_WritePmcParam_Byte(handle_, 'D', 310, 'A'));
  EXPECT_EQ((std::vector<std::string>{"pmc_wrpmcrng", "pmc_wrpmcrng", "pmc_wrpmcrng"}), CallNames());
  const unsigned expected[][2] = {{300, 0xFE}, {301, 0xFF}, {304, 0x04}, {307, 0x01}, {308, 0}, {310, 'A'}};
  for (const auto& e : expected) {
    std::uint8_t byte = 0xAA;
    sim::GetPmcByte('D', e[0], &byte);
    EXPECT_EQ(e[1], byte) << "D" << e[0];
  }
}

TEST_F(PmcTest, UnknownLetterIsRefusedWithoutACncCall) {
  char byte = 5;
  bool bit = true;
  EXPECT_EQ(DLL_FOCAS2_FUNCRET_INIT, lib_ReadPmcParam_Byte(handle_, 'Q', 1, &byte));
  EXPECT_EQ(DLL_FOCAS2_FUNCRET_INIT, lib_ReadPmcParam_Bit(handle_, 'd', 1, 0, &bit));
  EXPECT_EQ(DLL_FOCAS2_FUNCRET_INIT, lib_WritePmcParam_Bit(handle_, 'M', 1, 0, true));
  EXPECT_EQ(DLL_FOCAS2_FUNCRET_INIT, lib_WritePmcParam_Word(handle_, 'Z', 1, 1));
  EXPECT_EQ(5, byte);
  EXPECT_TRUE(bit);
  EXPECT_EQ(0u, sim::JournalSize());
}

}  // namespace
}  // namespace tavrin::test
