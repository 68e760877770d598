// Run with TAVRIN_FOCAS naming the start-up stand-in: the binding starts the
// library once, at level 0 with a log file in the temporary folder, before
// any other call; calls the stand-in lacks give EW_NODLL.
#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "tavrin/tavrin.h"

extern "C" int stand_in_startups(unsigned short* level, const char** log);

TEST(FocasStartUp, StartedOnceBeforeTheFirstCallEvenFromManyThreads) {
  std::vector<std::thread> threads;
  std::vector<short> codes(8, 99);
  std::vector<unsigned short> handles(8, 0);
  for (int i = 0; i < 8; ++i) {
    threads.emplace_back([&, i] { codes[i] = lib_GetNcLibHandle(&handles[i]); });
  }
  for (auto& t : threads) t.join();
  for (int i = 0; i < 8; ++i) {
    EXPECT_EQ(0, codes[i]);
    EXPECT_EQ(1, handles[i]);
  }

  unsigned short level = 0;
  const char* log = nullptr;
  EXPECT_EQ(1, stand_in_startups(&level, &log));
  EXPECT_EQ(0, level);
  EXPECT_NE(std::string::npos, std::string(log).find("focas2.log"));

  short path_max = 0;
  EXPECT_EQ(EW_NODLL, lib_GetPathMax(1, &path_max));
  EXPECT_EQ(-1, path_max);
}
