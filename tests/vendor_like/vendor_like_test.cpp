// The library against the vendor-like FOCAS2 library (vendor_like_control.h),
// which behaves like the CNC maker's Linux library where the library can tell:
// handles the simulated CNC behind it does not know, single macro calls made
// of its own exported range calls, real-parameter writes refused before
// anything goes out, and a CNC that stops answering.  What the tavrin command
// does with it is tested in tests/tools/any_focas_library_test.cpp.
//
// The test environment names the vendor-like library as the FOCAS2 library
// and loads examples/lathe.toml into the simulated CNC behind it.  The
// binding loads its library once per process, so every test shares one.
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <string>

#include "tavrin/focas2/records.h"
#include "tavrin/simcnc.h"
#include "tavrin/tavrin.h"
#include "vendor_like_control.h"

namespace fs = std::filesystem;
namespace sim = tavrin::simcnc;
namespace focas = tavrin::focas;

namespace {

constexpr short kNothingAnswers = -16;

// The binding opens its FOCAS2 library with RTLD_DEEPBIND except under
// AddressSanitizer, whose runtime refuses the flag.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool kDeepBind = false;
#elif defined(__has_feature)
#  if __has_feature(address_sanitizer)
constexpr bool kDeepBind = false;
#  else
constexpr bool kDeepBind = true;
#  endif
#else
constexpr bool kDeepBind = true;
#endif
constexpr const char* kWhyNoDeepBind =
    "AddressSanitizer refuses RTLD_DEEPBIND: the FOCAS2 library is opened plainly, so a global copy of the "
    "simulated CNC would take its inner macro calls";

// The simulated CNC behind the vendor-like library (the same file, so the
// same machine), reached through its control table.
const sim::Control* cnc = nullptr;

// Loads the simulated CNC before the first NC call: globally, so that its
// FOCAS2 names are in the process's global scope ahead of the vendor-like
// library's; privately under AddressSanitizer.
class SimulatedCncFirst : public testing::Environment {
 public:
  void SetUp() override {
    void* library = dlopen(TAVRIN_TEST_SIMCNC_PATH, RTLD_NOW | (kDeepBind ? RTLD_GLOBAL : RTLD_LOCAL));
    ASSERT_NE(nullptr, library) << dlerror();
    auto control = reinterpret_cast<sim::ControlFunction>(dlsym(library, "tavrin_simcnc_control"));
    ASSERT_NE(nullptr, control);
    cnc = control();
    std::string error;
    ASSERT_TRUE(cnc->load_file(TAVRIN_TEST_SOURCE_DIR "/examples/lathe.toml", &error)) << error;
    lib_SetFocas2Library(TAVRIN_VENDOR_LIKE_PATH);
    ASSERT_NE(nullptr, lib_GetFocas2Function("vendor_like_call_count")) << "not the vendor-like FOCAS2 library";
  }
};
testing::Environment* const simulated_cnc_first = testing::AddGlobalTestEnvironment(new SimulatedCncFirst);

TavrinFocas2Stats Stats() {
  TavrinFocas2Stats stats{};
  lib_GetFocas2Stats(&stats);
  return stats;
}

class VendorLike : public testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(EW_OK, lib_GetNcLibHandle(&handle_)); }
  void TearDown() override { EXPECT_EQ(EW_OK, lib_FreeHandle(handle_)); }
  unsigned short handle_ = 0;
};

// cnc_rdpmacro (GetStationNum) and cnc_wrpmacro (lib_WritePCode) are made of
// the library's inner range calls.  With the simulated CNC global, those
// reach the vendor-like library only because the binding opened it with
// RTLD_DEEPBIND; otherwise they end in the simulated CNC with a handle it
// does not know.
TEST_F(VendorLike, SingleMacroCallsWorkBesideAGlobalSimulatedCnc) {
  if (!kDeepBind) GTEST_SKIP() << kWhyNoDeepBind;
  ASSERT_EQ(0, cnc->current_path(handle_)) << "the simulated CNC must not know the vendor-like handle";
  ASSERT_EQ(EW_OK, lib_WritePCode(handle_, 500, 12.5));
  std::int32_t value = 0;
  short decimals = -1;
  ASSERT_TRUE(cnc->get_macro(1, 500, &value, &decimals));
  EXPECT_EQ(125, value);
  EXPECT_EQ(1, decimals);
  CLibMchn machine(handle_);
  EXPECT_EQ(2, machine.GetStationNum(2));
  EXPECT_EQ(1, machine.GetStationNum(1));
}

// The test above proves something only if a plainly opened library really
// loses its inner calls: a copy of the file, opened without RTLD_DEEPBIND.
TEST(VendorLikeCopy, APlainlyOpenedCopyLosesItsInnerMacroCallsToTheGlobalSimulatedCnc) {
  if (!kDeepBind) GTEST_SKIP() << "the simulated CNC is not global here. " << kWhyNoDeepBind;
  std::string folder = (fs::temp_directory_path() / "tavrin-vendor-like-XXXXXX").string();
  ASSERT_NE(nullptr, mkdtemp(folder.data()));
  fs::path copy = fs::path(folder) / "libvendor_like_copy.so";
  fs::copy_file(TAVRIN_VENDOR_LIKE_PATH, copy);
  void* library = dlopen(copy.c_str(), RTLD_NOW | RTLD_LOCAL);
  fs::remove_all(folder);
  ASSERT_NE(nullptr, library) << dlerror();
  auto startup = reinterpret_cast<short (*)(unsigned short, const char*)>(dlsym(library, "cnc_startupprocess"));
  auto open = reinterpret_cast<short (*)(unsigned short*)>(dlsym(library, "cnc_allclibhndl"));
  auto read_one = reinterpret_cast<short (*)(unsigned short, focas::int32, void*)>(dlsym(library, "cnc_rdpmacro"));
  ASSERT_TRUE(startup && open && read_one);
  ASSERT_EQ(EW_OK, startup(0, ""));
  unsigned short handle = 0;
  ASSERT_EQ(EW_OK, open(&handle));

  cnc->clear_journal();
  focas::MacroRecord record{};
  EXPECT_EQ(EW_HANDLE, read_one(handle, 10910, &record));
  std::vector<sim::JournalEntry> journal = cnc->journal();
  ASSERT_EQ(1u, journal.size()) << "the inner range read must be the one call that reached the simulated CNC";
  EXPECT_EQ(sim::Call::cnc_rdpmacror, journal[0].call);
  EXPECT_EQ(handle, journal[0].handle);
}

// The binding's own count against the count of calls the library received,
// over calls of every kind, failed ones included.
TEST(VendorLikeCount, OurCountIsTheCountTheLibraryReceived) {
  auto received = reinterpret_cast<VendorLikeCallCount>(lib_GetFocas2Function("vendor_like_call_count"));
  ASSERT_NE(nullptr, received);
  TavrinFocas2Stats before = Stats();
  unsigned long long received_before = received();

  unsigned short handle = 0, ethernet = 0;
  ASSERT_EQ(EW_OK, lib_GetNcLibHandle(&handle));
  ASSERT_EQ(EW_OK, lib_GetNcLibHandleEthernet("127.0.0.1", 8193, &ethernet));
  tavrin_long rapid = 0;
  EXPECT_EQ(EW_OK, lib_ReadCncParam_2Word(handle, 1420, 2, &rapid));
  EXPECT_EQ(EW_LENGTH, lib_WriteCncParam_Real(ethernet, 1320, 1, 250.0));
  EXPECT_EQ(EW_OK, lib_WritePmcParam_Bit(handle, 'D', 9550, 5, false));
  double settings[2] = {};
  EXPECT_EQ(EW_OK, lib_ReadPluralPCode(ethernet, 14600, 2, settings));
  double geometry = 0.0;
  EXPECT_EQ(EW_OK, lib_ReadOffsetGeometryZ(handle, 2, &geometry));
  CLibMchn machine(handle);
  EXPECT_EQ(2, machine.GetStationNum(2));
  EXPECT_EQ(EW_PATH, machine.GetCncMode(3));
  EXPECT_EQ(EW_HANDLE, lib_FreeHandle(0x1234));
  EXPECT_EQ(EW_OK, lib_FreeHandle(ethernet));
  EXPECT_EQ(EW_OK, lib_FreeHandle(handle));

  TavrinFocas2Stats after = Stats();
  EXPECT_EQ(received() - received_before, (after.calls - before.calls) + (after.refused - before.refused));
  EXPECT_EQ(3u, after.failed - before.failed);  // the real write, path 3, handle 0x1234
}

// What the library refuses without reaching the CNC: every call while
// nothing answers (-16; the paths, which it keeps itself, still answer), and
// real-parameter writes (EW_LENGTH).  The stats name the refused call.
TEST_F(VendorLike, RefusedCallsNeverReachTheCncAndAreNamed) {
  auto set_no_answer = reinterpret_cast<VendorLikeSetNoAnswer>(lib_GetFocas2Function("vendor_like_set_no_answer"));
  ASSERT_NE(nullptr, set_no_answer);
  cnc->clear_journal();
  set_no_answer(1);
  unsigned short other = 0;
  EXPECT_EQ(kNothingAnswers, lib_GetNcLibHandle(&other));
  double limit = -1.0;
  EXPECT_EQ(kNothingAnswers, lib_ReadCncParam_Real(handle_, 1320, 2, &limit));
  EXPECT_EQ(-1.0, limit);
  EXPECT_STREQ("cnc_rdparam", Stats().last_failed_call);
  short paths = 0;
  EXPECT_EQ(EW_OK, lib_GetPathMax(handle_, &paths));
  set_no_answer(0);
  EXPECT_EQ(0u, cnc->journal_size()) << "nothing may reach the CNC while it does not answer";

  EXPECT_EQ(EW_LENGTH, lib_WriteCncParam_Real(handle_, 1320, 2, 800.0));
  EXPECT_EQ(EW_LENGTH, Stats().last_failed_code);
  EXPECT_STREQ("cnc_wrparam", Stats().last_failed_call);
  for (const auto& entry : cnc->journal()) EXPECT_NE(sim::Call::cnc_wrparam, entry.call);
  std::int32_t value = 0;
  ASSERT_TRUE(cnc->get_param(1, 1320, 2, &value, nullptr));
  EXPECT_EQ(812500, value);
}

}  // namespace
