#include "nc/focas2_records.h"
#include "support/test_support.h"

namespace tavrin::test {
namespace {

using PmcTest = CncTest;
using focas::PmcRecord;

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

TEST_F(PmcTest, ReadsAskForTheRightRangeAndLength) {
  ASSERT_TRUE(sim::SetPmcByte('D', 100, 0x34));
  ASSERT_TRUE(sim::SetPmcByte('D', 101, 0x12));
  short word = 0;
  ASSERT_EQ(0, lib_ReadPmcParam_Word(handle_, 'D', 100, &word));
  EXPECT_EQ(0x1234, word);
  auto entry = OnlyCall();
  EXPECT_EQ(sim::Call::pmc_rdpmcrng, entry.call);
  EXPECT_EQ((std::vector<long long>{9, 1, 100, 101, 10}), entry.args);

  sim::ClearJournal();
  tavrin_long two_word = 0;
  ASSERT_EQ(0, lib_ReadPmcParam_2Word(handle_, 'R', 200, &two_word));
  EXPECT_EQ((std::vector<long long>{5, 2, 200, 203, 12}), OnlyCall().args);

  sim::ClearJournal();
  char byte = 0;
  ASSERT_TRUE(sim::SetPmcByte('F', 4, 0x88));
  ASSERT_EQ(0, lib_ReadPmcParam_Byte(handle_, 'F', 4, &byte));
  EXPECT_EQ(static_cast<char>(0x88), byte);
  EXPECT_EQ((std::vector<long long>{1, 0, 4, 4, 9}), OnlyCall().args);

  bool bit = false;
  ASSERT_EQ(0, lib_ReadPmcParam_Bit(handle_, 'F', 4, 3, &bit));
  EXPECT_TRUE(bit);
  ASSERT_EQ(0, lib_ReadPmcParam_Bit(handle_, 'F', 4, 2, &bit));
  EXPECT_FALSE(bit);
}

TEST_F(PmcTest, BitWriteChangesOneBitOfTheByteAsRead) {
  ASSERT_TRUE(sim::SetPmcByte('D', 9550, 0x41));
  ASSERT_EQ(0, lib_WritePmcParam_Bit(handle_, 'D', 9550, 3, true));
  std::uint8_t byte = 0;
  sim::GetPmcByte('D', 9550, &byte);
  EXPECT_EQ(0x49, byte);

  auto writes = CallsOf(sim::Call::pmc_wrpmcrng);
  ASSERT_EQ(1u, writes.size());
  EXPECT_EQ(std::vector<long long>{9}, writes[0].args);
  auto record = RecordAs<PmcRecord>(writes[0].record_in);
  EXPECT_EQ(9, record.address_type);
  EXPECT_EQ(0, record.data_type);
  EXPECT_EQ(9550, record.start);
  EXPECT_EQ(9550, record.end);

  ASSERT_TRUE(sim::SetPmcByte('D', 9550, 0x41));
  ASSERT_EQ(0, lib_WritePmcParam_Bit(handle_, 'D', 9550, 0, false));
  sim::GetPmcByte('D', 9550, &byte);
  EXPECT_EQ(0x40, byte);
}

TEST_F(PmcTest, BitWriteTreatsOnlyExactlyOneAsSet) {
  ASSERT_TRUE(sim::SetPmcByte('D', 10, 0x08));
  // An application in another language may pass any byte as the flag.
  auto write_raw = reinterpret_cast<short(TAVRIN_CALL*)(unsigned short, char, unsigned short, short, unsigned char)>(
      reinterpret_cast<void (*)()>(&lib_WritePmcParam_Bit));
  ASSERT_EQ(0, write_raw(handle_, 'D', 10, 3, 2));
  std::uint8_t byte = 0xFF;
  sim::GetPmcByte('D', 10, &byte);
  EXPECT_EQ(0x00, byte);
}

TEST_F(PmcTest, ValueWritesSendOneRecordWithoutReading) {
  ASSERT_EQ(0, lib_WritePmcParam_Word(handle_, 'D', 300, static_cast<short>(-2)));
  ASSERT_EQ(0, lib_WritePmcParam_2Word(handle_, 'D', 304, 0x01020304));
  ASSERT_EQ(0, lib_WritePmcParam_Byte(handle_, 'D', 310, 'A'));
  EXPECT_EQ((std::vector<std::string>{"pmc_wrpmcrng", "pmc_wrpmcrng", "pmc_wrpmcrng"}), CallNames());
  auto writes = CallsOf(sim::Call::pmc_wrpmcrng);
  EXPECT_EQ(std::vector<long long>{10}, writes[0].args);
  EXPECT_EQ(std::vector<long long>{12}, writes[1].args);
  EXPECT_EQ(std::vector<long long>{9}, writes[2].args);
  auto record = RecordAs<PmcRecord>(writes[1].record_in);
  EXPECT_EQ(2, record.data_type);
  EXPECT_EQ(304, record.start);
  EXPECT_EQ(307, record.end);

  tavrin_long back = 0;
  ASSERT_EQ(0, lib_ReadPmcParam_2Word(handle_, 'D', 304, &back));
  EXPECT_EQ(0x01020304, back);
  short word = 0;
  ASSERT_EQ(0, lib_ReadPmcParam_Word(handle_, 'D', 300, &word));
  EXPECT_EQ(-2, word);
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

TEST_F(PmcTest, CncRefusalsComeBackUnchanged) {
  char byte = 7;
  unsigned beyond = sim::PmcAreaSize('D');
  ASSERT_LT(beyond, 65536u);
  EXPECT_EQ(EW_NUMBER, lib_ReadPmcParam_Byte(handle_, 'D', static_cast<unsigned short>(beyond), &byte));
  EXPECT_EQ(7, byte);
  EXPECT_EQ(EW_HANDLE, lib_ReadPmcParam_Byte(static_cast<unsigned short>(handle_ + 100), 'D', 1, &byte));
}

}  // namespace
}  // namespace tavrin::test
