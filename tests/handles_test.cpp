#include "support/test_support.h"

namespace tavrin::test {
namespace {

using HandlesTest = CncTest;

TEST_F(HandlesTest, OpensGiveDistinctHandlesAndFreeMakesThemUnknown) {
  unsigned short second = 0;
  unsigned short third = 0;
  ASSERT_EQ(0, lib_GetNcGuideLibHandle(&second));
  ASSERT_EQ(0, lib_GetNcLibHandleEthernet("192.0.2.7", 8193, &third));
  EXPECT_NE(handle_, second);
  EXPECT_NE(second, third);
  EXPECT_EQ(3, sim::OpenHandleCount());

  EXPECT_EQ(0, lib_FreeHandle(second));
  short path_max = 0;
  EXPECT_EQ(EW_HANDLE, lib_GetPathMax(second, &path_max));
  EXPECT_EQ(-1, path_max);
  EXPECT_EQ(EW_HANDLE, lib_FreeHandle(second));
}

TEST_F(HandlesTest, GuideHandleAlwaysAsksForNodeNine) {
  unsigned short h = 0;
  ASSERT_EQ(0, lib_GetNcGuideLibHandle(&h));
  auto entry = OnlyCall();
  EXPECT_EQ(sim::Call::cnc_allclibhndl2, entry.call);
  EXPECT_EQ(std::vector<long long>{9}, entry.args);
}

TEST_F(HandlesTest, EthernetPassesAddressAndPortWithTimeoutFive) {
  unsigned short h = 0;
  ASSERT_EQ(0, lib_GetNcLibHandleEthernet("192.0.2.7", 65535, &h));
  auto entry = OnlyCall();
  EXPECT_EQ("192.0.2.7", entry.text);
  EXPECT_EQ((std::vector<long long>{65535, 5}), entry.args);
  EXPECT_EQ("192.0.2.7", sim::LastEthernetOpen().address);
  EXPECT_EQ(5, sim::LastEthernetOpen().timeout);
}

TEST_F(HandlesTest, PathMaxGivesTheNumberOfPathsOrMinusOne) {
  short path_max = 0;
  EXPECT_EQ(0, lib_GetPathMax(handle_, &path_max));
  EXPECT_EQ(2, path_max);

  sim::FailNext(sim::Call::cnc_getpath, EW_HANDLE);
  EXPECT_EQ(EW_HANDLE, lib_GetPathMax(handle_, &path_max));
  EXPECT_EQ(-1, path_max);
}

TEST_F(HandlesTest, OpenFailurePassesTheCodeThrough) {
  sim::FailNext(sim::Call::cnc_allclibhndl, EW_PROTOCOL);
  unsigned short h = 0;
  EXPECT_EQ(EW_PROTOCOL, lib_GetNcLibHandle(&h));
}

}  // namespace
}  // namespace tavrin::test
