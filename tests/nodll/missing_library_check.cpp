// Run with TAVRIN_FOCAS naming a library that does not exist: every NC call
// must answer EW_NODLL (-15) and touch nothing.
#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "tavrin/tavrin.h"

// The first use loads the library; many threads at once must all see the
// same answer.
TEST(MissingFocasLibrary, FirstUseFromManyThreads) {
  std::vector<std::thread> threads;
  std::vector<short> codes(8, 0);
  for (int i = 0; i < 8; ++i) {
    threads.emplace_back([&codes, i] {
      unsigned short handle = 0;
      codes[i] = lib_GetNcLibHandle(&handle);
    });
  }
  for (auto& t : threads) t.join();
  for (short code : codes) EXPECT_EQ(EW_NODLL, code);
}

TEST(MissingFocasLibrary, EveryCallGivesNoDll) {
  unsigned short handle = 77;
  EXPECT_EQ(EW_NODLL, lib_GetNcLibHandle(&handle));
  EXPECT_EQ(EW_NODLL, lib_GetNcGuideLibHandle(&handle));
  EXPECT_EQ(EW_NODLL, lib_GetNcLibHandleEthernet("192.0.2.1", 8193, &handle));
  EXPECT_EQ(77, handle);
  EXPECT_EQ(EW_NODLL, lib_FreeHandle(1));
  short path_max = 5;
  EXPECT_EQ(EW_NODLL, lib_GetPathMax(1, &path_max));
  EXPECT_EQ(-1, path_max);

  // One function per FOCAS2 call stands for those sharing it.
  bool bit = true;
  char byte = 9;
  double real = 9.0;
  EXPECT_EQ(EW_NODLL, lib_ReadCncParam_Byte(1, 1000, 0, &byte));
  EXPECT_EQ(9, byte);
  EXPECT_EQ(EW_NODLL, lib_WriteCncParam_Real(1, 1000, 0, 1.0));

  EXPECT_EQ(EW_NODLL, lib_ReadPmcParam_Bit(1, 'D', 9550, 2, &bit));
  EXPECT_EQ(EW_NODLL, lib_WritePmcParam_2Word(1, 'D', 100, 5));

  EXPECT_EQ(EW_NODLL, lib_ReadPCode(1, 500, &real));
  EXPECT_EQ(0.0, real);
  double values[3] = {1, 2, 3};
  EXPECT_EQ(EW_NODLL, lib_ReadPluralPCode(1, 500, 3, values));
  EXPECT_EQ(3.0, values[2]);
  EXPECT_EQ(EW_NODLL, lib_WritePCode(1, 500, 1.0));
  EXPECT_EQ(EW_NODLL, lib_WritePluralPCode(1, 500, 3, 1.0));

  real = 4.0;
  EXPECT_EQ(EW_NODLL, lib_ReadOffsetWearX(1, 1, &real));
  EXPECT_EQ(4.0, real);
  EXPECT_EQ(EW_NODLL, lib_WriteOffsetGeometryT(1, 1, 3));
  EXPECT_EQ(EW_NODLL, lib_WriteOffsetWearY(1, 1, 3.0));

  // Refusals that need no CNC are unchanged.
  EXPECT_EQ(DLL_FOCAS2_FUNCRET_INIT, lib_ReadPmcParam_Byte(1, 'Q', 1, &byte));
}

// Why there is no library, and that the refused calls are counted as such.
TEST(MissingFocasLibrary, TheReasonAndTheCountsSayNoLibraryWasLoaded) {
  TavrinFocas2Stats before;
  lib_GetFocas2Stats(&before);
  unsigned short handle = 0;
  EXPECT_EQ(EW_NODLL, lib_GetNcLibHandle(&handle));
  TavrinFocas2Stats after;
  lib_GetFocas2Stats(&after);
  EXPECT_EQ(after.refused, before.refused + 1);
  EXPECT_EQ(after.calls, before.calls) << "nothing reached a library";
  EXPECT_EQ(EW_NODLL, after.last_failed_code);
  EXPECT_STREQ("cnc_allclibhndl", after.last_failed_call);

  char text[512] = "";
  EXPECT_EQ(0, lib_DescribeFocas2Library(text, sizeof text));
  EXPECT_EQ(0, std::string(text).find("cannot load ")) << text;
  EXPECT_NE(std::string::npos, std::string(text).find("no-such-focas-library")) << text;
  char small[8] = "zzzzzzz";
  lib_DescribeFocas2Library(small, sizeof small);
  EXPECT_STREQ("cannot ", small) << "cut to the buffer, with its terminator";
  EXPECT_EQ(nullptr, lib_GetFocas2Function("cnc_allclibhndl"));
  EXPECT_EQ(0, lib_SetFocas2Library("/elsewhere/libfwlib32.so")) << "too late: the binding has tried already";
}
