#include "support/test_support.h"

namespace tavrin::test {
namespace {

class CncParamsTest : public CncTest {
 protected:
  void SetUp() override {
    CncTest::SetUp();
    sim::DefineParam(1, 1001, sim::ParamKind::Bit, false);
    sim::DefineParam(1, 1002, sim::ParamKind::Bit, true);
    sim::DefineParam(1, 1020, sim::ParamKind::Byte, true);
    sim::DefineParam(1, 1320, sim::ParamKind::Word, true);
    sim::DefineParam(1, 1400, sim::ParamKind::TwoWord, false);
    sim::DefineParam(1, 1421, sim::ParamKind::Real, true, 3);
    sim::DefineParam(1, 1500, sim::ParamKind::Real, false, 2);
    sim::DefineParam(1, 12, sim::ParamKind::Bit, false);
    sim::DefineParam(1, 13, sim::ParamKind::Word, false);
    sim::ClearJournal();
  }
  static std::int32_t Stored(short number, short axis, int* decimals = nullptr) {
    std::int32_t value = 0;
    EXPECT_TRUE(sim::GetParam(1, number, axis, &value, decimals));
    return value;
  }
};

// The simulated CNC refuses any length but the kind's, so a read that
// succeeds asked with the right one.
TEST_F(CncParamsTest, TypedReadsOfOneAxisAndOfAllAxes) {
  for (short axis = 1; axis <= 32; ++axis) sim::SetParam(1, 1320, axis, axis * 100 - 1);
  short words[32] = {};
  ASSERT_EQ(0, lib_ReadCncParam_Word(handle_, 1320, -1, words));
  for (int i = 0; i < 32; ++i) EXPECT_EQ((i + 1) * 100 - 1, words[i]);
  EXPECT_EQ(1u, sim::JournalSize());

  sim::SetParam(1, 1020, 2, -5);
  sim::SetParam(1, 1400, 0, -70000);
  char byte = 0, bytes[32] = {};
  tavrin_long two_word = 0;
  ASSERT_EQ(0, lib_ReadCncParam_Byte(handle_, 1020, 2, &byte));
  ASSERT_EQ(0, lib_ReadCncParam_Byte(handle_, 1020, -1, bytes));
  ASSERT_EQ(0, lib_ReadCncParam_2Word(handle_, 1400, 0, &two_word));
  EXPECT_EQ(-5, byte);
  EXPECT_EQ(-5, bytes[1]);
  EXPECT_EQ(-70000, two_word);
}

TEST_F(CncParamsTest, RealReadsUseEachAxisOwnDecimals) {
  sim::SetParam(1, 1500, 0, 125, 2);
  double value = 0;
  ASSERT_EQ(0, lib_ReadCncParam_Real(handle_, 1500, 0, &value));
  EXPECT_DOUBLE_EQ(1.25, value);
  sim::SetParam(1, 1421, 1, 1500, 3);
  sim::SetParam(1, 1421, 2, 1500, 1);
  double values[32] = {};
  ASSERT_EQ(0, lib_ReadCncParam_Real(handle_, 1421, -1, values));
  EXPECT_DOUBLE_EQ(1.5, values[0]);
  EXPECT_DOUBLE_EQ(150.0, values[1]);
}

TEST_F(CncParamsTest, BitReadAndWriteTouchOnlyTheirBit) {
  sim::SetParam(1, 1001, 0, 0x41);
  bool bit = false;
  ASSERT_EQ(0, lib_ReadCncParam_Bit(handle_, 1001, 6, 0, &bit));
  EXPECT_TRUE(bit);

  sim::ClearJournal();
  ASSERT_EQ(0, lib_WriteCncParam_Bit(handle_, 1001, 3, 0, true));
  EXPECT_EQ(0x49, Stored(1001, 0));
  EXPECT_EQ((std::vector<std::string>{"cnc_rdparam", "cnc_wrparam"}), CallNames());

  // An application in another language may pass any byte as the flag.
  auto write_raw = reinterpret_cast<short(TAVRIN_CALL*)(unsigned short, short, short, short, unsigned char)>(
      reinterpret_cast<void (*)()>(&lib_WriteCncParam_Bit));
  ASSERT_EQ(0, write_raw(handle_, 1001, 6, 0, 2));
  EXPECT_EQ(0x09, Stored(1001, 0));
}

TEST_F(CncParamsTest, WritesRefuseAllAxesWithoutACall) {
  EXPECT_EQ(DLL_FOCAS2_FUNCRET_INIT, lib_WriteCncParam_Word(handle_, 1320, -1, 5));
  EXPECT_EQ(DLL_FOCAS2_FUNCRET_INIT, lib_WriteCncParam_Bit(handle_, 1002, 0, -1, true));
  EXPECT_EQ(DLL_FOCAS2_FUNCRET_INIT, lib_WriteCncParam_Byte(handle_, 1020, -1, 5));
  EXPECT_EQ(DLL_FOCAS2_FUNCRET_INIT, lib_WriteCncParam_2Word(handle_, 1400, -1, 5));
  EXPECT_EQ(DLL_FOCAS2_FUNCRET_INIT, lib_WriteCncParam_Real(handle_, 1421, -1, 5.0));
  EXPECT_EQ(0u, sim::JournalSize());
}

TEST_F(CncParamsTest, ValueWritesMakeOneCallWithoutReading) {
  ASSERT_EQ(0, lib_WriteCncParam_Word(handle_, 1320, 3, -1234));
  ASSERT_EQ(0, lib_WriteCncParam_Byte(handle_, 1020, 1, -7));
  ASSERT_EQ(0, lib_WriteCncParam_2Word(handle_, 1400, 0, 123456789));
  EXPECT_EQ((std::vector<std::string>{"cnc_wrparam", "cnc_wrparam", "cnc_wrparam"}), CallNames());
  EXPECT_EQ(-1234, Stored(1320, 3));
  EXPECT_EQ(-7, Stored(1020, 1));
  EXPECT_EQ(123456789, Stored(1400, 0));
}

TEST_F(CncParamsTest, RealWriteKeepsDecimalsAndTruncates) {
  sim::SetParam(1, 1421, 2, 0, 3);
  ASSERT_EQ(0, lib_WriteCncParam_Real(handle_, 1421, 2, 1.2345));
  int decimals = -1;
  EXPECT_EQ(1234, Stored(1421, 2, &decimals));
  EXPECT_EQ(3, decimals);
  ASSERT_EQ(0, lib_WriteCncParam_Real(handle_, 1421, 2, -0.0009));
  EXPECT_EQ(0, Stored(1421, 2));
}

TEST_F(CncParamsTest, GenericReadTakesTheBitFromTheFirstDecimal) {
  sim::SetParam(1, 12, 0, 0x20);
  short code = 0;
  EXPECT_EQ(1.0, lib_ReadCncParam(handle_, 12.5, 0, 0, &code));
  EXPECT_EQ(0, code);
  EXPECT_EQ(0.0, lib_ReadCncParam(handle_, 12.4, 0, 0, &code));
  EXPECT_EQ(0.0, lib_ReadCncParam(handle_, 12.0, 0, 0, &code));
  EXPECT_EQ(1.0, lib_ReadCncParam(handle_, 12.7 - 0.2, 0, 0, &code));

  sim::SetParam(1, 13, 0, -300);
  EXPECT_EQ(-300.0, lib_ReadCncParam(handle_, 13.5, 0, 2, &code));

  sim::SetParam(1, 1500, 0, -125, 2);
  EXPECT_DOUBLE_EQ(-1.25, lib_ReadCncParam(handle_, 1500, 0, 8, &code));
}

TEST_F(CncParamsTest, GenericFunctionsRefuseBadArgumentsWithoutACall) {
  short code = 0;
  for (short kind : {3, 5, 6, 7, -1, 16}) {
    EXPECT_EQ(0.0, lib_ReadCncParam(handle_, 13, 0, kind, &code));
    EXPECT_EQ(DLL_FOCAS2_FUNCRET_INIT, code);
    EXPECT_EQ(DLL_FOCAS2_FUNCRET_INIT, lib_WriteCncParam(handle_, 13, 0, kind, 1.0));
  }
  EXPECT_EQ(0.0, lib_ReadCncParam(handle_, 13, -1, 2, &code));
  EXPECT_EQ(DLL_FOCAS2_FUNCRET_INIT, code);
  EXPECT_EQ(0.0, lib_ReadCncParam(handle_, -1.0, 0, 2, &code));
  EXPECT_EQ(DLL_FOCAS2_FUNCRET_INIT, code);
  EXPECT_EQ(DLL_FOCAS2_FUNCRET_INIT, lib_WriteCncParam(handle_, -0.5, 0, 2, 1.0));
  EXPECT_EQ(DLL_FOCAS2_FUNCRET_INIT, lib_WriteCncParam(handle_, 13, -2, 2, 1.0));
  EXPECT_EQ(0u, sim::JournalSize());
}

TEST_F(CncParamsTest, GenericRealWriteFindsTheFewestDecimals) {
  struct Case {
    double value;
    std::int32_t m;
    int d;
  } cases[] = {{0.125, 125, 3}, {-1.5, -15, 1}, {3.0, 3, 0}, {1.0000001, 1000000, 6}};
  for (const Case& c : cases) {
    ASSERT_EQ(0, lib_WriteCncParam(handle_, 1500, 0, 8, c.value));
    int decimals = -1;
    EXPECT_EQ(c.m, Stored(1500, 0, &decimals)) << c.value;
    EXPECT_EQ(c.d, decimals) << c.value;
  }
}

TEST_F(CncParamsTest, GenericBitWriteSetsOnlyOnExactlyOne) {
  sim::SetParam(1, 12, 0, 0x21);
  ASSERT_EQ(0, lib_WriteCncParam(handle_, 12.5, 0, 0, 2.0));
  EXPECT_EQ(0x01, Stored(12, 0));
  ASSERT_EQ(0, lib_WriteCncParam(handle_, 12.3, 0, 0, 1.0));
  EXPECT_EQ(0x09, Stored(12, 0));
  ASSERT_EQ(0, lib_WriteCncParam(handle_, 13.9, 0, 2, -3.9));
  EXPECT_EQ(-3, Stored(13, 0));
}

}  // namespace
}  // namespace tavrin::test
