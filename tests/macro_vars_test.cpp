#include "support/test_support.h"

namespace tavrin::test {
namespace {

using MacroVarsTest = CncTest;

TEST_F(MacroVarsTest, ReadDecodesWithTheVariablesOwnDecimals) {
  struct Case {
    std::int32_t m;
    short d;
    double expected;
  } cases[] = {{125, 3, 0.125}, {7, 0, 7.0}, {0, -1, 0.0}, {25, -1, 2.5}, {-15, 1, -1.5}};
  for (const Case& c : cases) {
    sim::SetMacro(1, 500, c.m, c.d);
    double value = -1;
    ASSERT_EQ(0, lib_ReadPCode(handle_, 500, &value));
    EXPECT_DOUBLE_EQ(c.expected, value) << c.m << "/" << c.d;
  }
}

TEST_F(MacroVarsTest, WriteEncodesWithTheFewestDecimals) {
  struct Case {
    double value;
    std::int32_t m;
    short d;
  } cases[] = {
      {0.125, 125, 3},     {-1.5, -15, 1},          {3.0, 3, 0},         {2.00000001, 2, 0},
      {0.000000001, 0, 0}, {12345678.9, 12345678, 0}, {1.23456789, 123456789 / 10, 7},
  };
  for (const Case& c : cases) {
    sim::ClearJournal();
    ASSERT_EQ(0, lib_WritePCode(handle_, 600, c.value));
    EXPECT_EQ((std::vector<long long>{600, c.m, c.d}), OnlyCall().args) << c.value;
  }
}

TEST_F(MacroVarsTest, PluralWriteSendsOneRecordOfEqualEntries) {
  ASSERT_EQ(0, lib_WritePluralPCode(handle_, 500, 3, 2.5));
  EXPECT_EQ(sim::Call::cnc_wrpmacror, OnlyCall().call);
  for (std::int32_t n = 499; n <= 503; ++n) {
    std::int32_t m = 0;
    short d = 0;
    ASSERT_TRUE(sim::GetMacro(1, n, &m, &d));
    EXPECT_EQ(n == 499 || n == 503 ? 0 : 25, m) << n;
    EXPECT_EQ(n == 499 || n == 503 ? 0 : 1, d) << n;
  }
}

TEST_F(MacroVarsTest, PluralReadDecodesEachEntry) {
  sim::SetMacro(1, 500, 1, 0);
  sim::SetMacro(1, 501, 25, 1);
  sim::SetMacro(1, 502, -125, 3);
  sim::SetMacro(1, 503, 4, -1);
  double values[4] = {};
  ASSERT_EQ(0, lib_ReadPluralPCode(handle_, 500, 4, values));
  EXPECT_DOUBLE_EQ(1.0, values[0]);
  EXPECT_DOUBLE_EQ(2.5, values[1]);
  EXPECT_DOUBLE_EQ(-0.125, values[2]);
  EXPECT_DOUBLE_EQ(0.4, values[3]);
}

// The largest run's record length still fits in 16 bits; one more is refused.
TEST_F(MacroVarsTest, PluralCountsOutsideOneToTheLargestAreRefused) {
  std::vector<double> values(TAVRIN_PCODE_MAX_COUNT + 1, -1.0);
  EXPECT_EQ(-100, lib_ReadPluralPCode(handle_, 500, 4, nullptr));
  EXPECT_EQ(DLL_FOCAS2_FUNCRET_INIT, lib_ReadPluralPCode(handle_, 500, 0, values.data()));
  EXPECT_EQ(DLL_FOCAS2_FUNCRET_INIT, lib_ReadPluralPCode(handle_, 1, TAVRIN_PCODE_MAX_COUNT + 1, values.data()));
  EXPECT_EQ(DLL_FOCAS2_FUNCRET_INIT, lib_WritePluralPCode(handle_, 500, -1, 1.0));
  EXPECT_EQ(0u, sim::JournalSize());
  ASSERT_EQ(0, lib_ReadPluralPCode(handle_, 1, TAVRIN_PCODE_MAX_COUNT, values.data()));
  EXPECT_EQ(0.0, values[TAVRIN_PCODE_MAX_COUNT - 1]);
}

}  // namespace
}  // namespace tavrin::test
