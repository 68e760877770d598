#include "support/test_support.h"

namespace tavrin::test {
namespace {

class ToolOffsetsTest : public CncTest {
 protected:
  void SetUp() override {
    CncTest::SetUp();
    sim::SetFigures(1, 9, 3, 4);
  }
};

using ScaledRead = short(TAVRIN_CALL*)(unsigned short, short, double*);
using ScaledWrite = short(TAVRIN_CALL*)(unsigned short, short, double);

struct ScaledMember {
  ScaledRead read;
  ScaledWrite write;
  short type;
};
const ScaledMember kScaled[] = {
    {lib_ReadOffsetWearX, lib_WriteOffsetWearX, 0},         {lib_ReadOffsetGeometryX, lib_WriteOffsetGeometryX, 1},
    {lib_ReadOffsetWearZ, lib_WriteOffsetWearZ, 2},         {lib_ReadOffsetGeometryZ, lib_WriteOffsetGeometryZ, 3},
    {lib_ReadOffsetWearR, lib_WriteOffsetWearR, 4},         {lib_ReadOffsetGeometryR, lib_WriteOffsetGeometryR, 5},
    {lib_ReadOffsetWearY, lib_WriteOffsetWearY, 8},         {lib_ReadOffsetGeometryY, lib_WriteOffsetGeometryY, 9},
};

// Each member reads and writes only its own type; the figure is asked for
// after the read and before the write.
TEST_F(ToolOffsetsTest, EveryScaledMemberUsesItsTypeAndTheInputFigure) {
  for (const ScaledMember& member : kScaled) {
    sim::SetOffset(1, 5, member.type, 125 + member.type);
    sim::ClearJournal();
    double value = 0;
    ASSERT_EQ(0, member.read(handle_, 5, &value));
    EXPECT_DOUBLE_EQ((125 + member.type) / 1000.0, value) << member.type;
    EXPECT_EQ((std::vector<std::string>{"cnc_rdtofs", "cnc_getfigure"}), CallNames());
    sim::ClearJournal();
    ASSERT_EQ(0, member.write(handle_, 6, 12.345));
    EXPECT_EQ((std::vector<std::string>{"cnc_getfigure", "cnc_wrtofs"}), CallNames());
    std::int32_t written = 0;
    EXPECT_TRUE(sim::GetOffset(1, 6, member.type, &written) && written == 12345) << member.type;
  }
}

TEST_F(ToolOffsetsTest, WritesTruncateTowardZero) {
  ASSERT_EQ(0, lib_WriteOffsetWearX(handle_, 1, -0.0005));
  ASSERT_EQ(0, lib_WriteOffsetWearX(handle_, 1, 1.2345));
  auto writes = CallsOf(sim::Call::cnc_wrtofs);
  EXPECT_EQ(0, writes[0].args[3]);
  EXPECT_EQ(1234, writes[1].args[3]);

  sim::SetFigures(1, 9, 4, 4);
  sim::ClearJournal();
  ASSERT_EQ(0, lib_WriteOffsetWearR(handle_, 2, 0.0125));
  EXPECT_EQ((std::vector<long long>{2, 4, 8, 125}), CallsOf(sim::Call::cnc_wrtofs)[0].args);
}

TEST_F(ToolOffsetsTest, NegativeFiguresGiveFractionsOfTen) {
  sim::SetFigures(1, 9, -1, 0);
  sim::SetOffset(1, 3, 0, 7);
  double value = 0;
  ASSERT_EQ(0, lib_ReadOffsetWearX(handle_, 3, &value));
  EXPECT_DOUBLE_EQ(70.0, value);
}

TEST_F(ToolOffsetsTest, TMembersMakeOneCallWithoutFigures) {
  ASSERT_EQ(0, lib_WriteOffsetGeometryT(handle_, 4, 3));
  EXPECT_EQ((std::vector<long long>{4, 7, 8, 3}), OnlyCall().args);
  sim::ClearJournal();
  tavrin_long t = 0;
  ASSERT_EQ(0, lib_ReadOffsetGeometryT(handle_, 4, &t));
  EXPECT_EQ(3, t);
  EXPECT_EQ((std::vector<long long>{4, 7, 8}), OnlyCall().args);
  ASSERT_EQ(0, lib_WriteOffsetWearT(handle_, 4, -2));
  ASSERT_EQ(0, lib_ReadOffsetWearT(handle_, 4, &t));
  EXPECT_EQ(-2, t);
}

}  // namespace
}  // namespace tavrin::test
