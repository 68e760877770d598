// The simulation program may hold its file open while SetPosZ replaces it:
// on Windows the replace is then refused, and it is tried again a few times
// with a growing pause before SetPosZ gives up.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/held_file.h"
#include "support/sim_folder.h"
#include "tavrin/simulation/chuck_model.h"

namespace tavrin::test {
namespace {

using RewriteSharingTest = SimFolderTest;

TEST_F(RewriteSharingTest, AFileHeldOpenIsWaitedForBrieflyThenLeftWhole) {
  const std::string assembly = Read(kAssemblyFile);
  {
    HeldFile held(Path(kAssemblyFile));
    if (!held.held()) GTEST_SKIP() << "only Windows refuses to replace a file that another program holds open";
    ScopedReplacePauses pauses;
    EXPECT_EQ(-1, CLibChuckModel('L').SetPosZ(-77));
    EXPECT_EQ((std::vector<unsigned>{20, 40, 80, 160}), pauses.pauses());
  }
  EXPECT_EQ(assembly, Read(kAssemblyFile));
  EXPECT_NE(std::string::npos, Read("QvApplication/Qv Crash Preview/Machines/LatheATemp.ovx").find(Matrix(-77)));

  // The program lets go during the first pause: the second try succeeds.
  HeldFile held(Path(kAssemblyFile));
  ScopedReplacePauses pauses(&held);
  EXPECT_EQ(0, CLibChuckModel('L').SetPosZ(-66));
  EXPECT_EQ(1u, pauses.pauses().size());
  EXPECT_EQ(-66.0, CLibChuckModel('L').GetPosZ());
}

}  // namespace
}  // namespace tavrin::test
