// The library against the vendor-like FOCAS2 library (vendor_like_control.h),
// which behaves like the CNC maker's Linux library where the library can tell:
// handles the simulated CNC behind it does not know, single macro calls made
// of its own exported range calls, real-parameter writes refused before
// anything goes out, and a CNC that stops answering.
//
// The test environment names the vendor-like library as the FOCAS2 library
// and loads examples/lathe.toml into the simulated CNC behind it.  The binding loads its
// FOCAS2 library once per process, so every test shares one vendor-like
// library and one machine; a test that turns a switch on turns it off again
// whatever happens.
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "tavrin/focas2/records.h"
#include "tavrin/simcnc.h"
#include "tavrin/tavrin.h"
#include "vendor_like_control.h"

namespace fs = std::filesystem;
namespace sim = tavrin::simcnc;
namespace focas = tavrin::focas;

namespace {

// What a FOCAS2 call gives when nothing answers on the wire.
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

// The simulated CNC of this process, reached through its control table.  It
// is the very library the vendor-like library loads as the CNC behind the
// wire (the same file), so this is the machine the library talks to.
const sim::Control* cnc = nullptr;

// Loads the simulated CNC before the first NC call: globally, so that its
// FOCAS2 names are in the process's global scope ahead of the vendor-like
// library's, wherever the binding uses RTLD_DEEPBIND; privately under
// AddressSanitizer, where nothing would keep the inner macro calls away from
// a global copy.
class SimulatedCncFirst : public testing::Environment {
 public:
  void SetUp() override {
    void* library = dlopen(TAVRIN_TEST_SIMCNC_PATH, RTLD_NOW | (kDeepBind ? RTLD_GLOBAL : RTLD_LOCAL));
    ASSERT_NE(nullptr, library) << dlerror();
    auto control = reinterpret_cast<sim::ControlFunction>(dlsym(library, "tavrin_simcnc_control"));
    ASSERT_NE(nullptr, control);
    ASSERT_EQ(sim::kControlVersion, control()->version);
    cnc = control();
    std::string error;
    ASSERT_TRUE(cnc->load_file(TAVRIN_TEST_SOURCE_DIR "/examples/lathe.toml", &error)) << error;
    ASSERT_EQ(2, cnc->path_count());
    lib_SetFocas2Library(TAVRIN_VENDOR_LIKE_PATH);
    char loaded[TAVRIN_FOCAS2_PATH_MAX + 64] = "";
    ASSERT_EQ(1, lib_DescribeFocas2Library(loaded, sizeof loaded)) << loaded;
    ASSERT_NE(nullptr, lib_GetFocas2Function("vendor_like_call_count"))
        << loaded << " is not the vendor-like FOCAS2 library (TAVRIN_FOCAS)";
  }
};
testing::Environment* const simulated_cnc_first = testing::AddGlobalTestEnvironment(new SimulatedCncFirst);

template <typename F>
F VendorLikeFunction(const char* name) {
  return reinterpret_cast<F>(lib_GetFocas2Function(name));
}

// The no-answer switch, on for one scope.
class NothingAnswers {
 public:
  NothingAnswers() : set_(VendorLikeFunction<VendorLikeSetNoAnswer>("vendor_like_set_no_answer")) {
    if (set_ != nullptr) set_(1);
  }
  ~NothingAnswers() {
    if (set_ != nullptr) set_(0);
  }
  bool on() const { return set_ != nullptr; }

 private:
  VendorLikeSetNoAnswer set_;
};

// The failing-PMC-reads switch, on for one scope.
class FailingPmcReads {
 public:
  explicit FailingPmcReads(short code)
      : set_(VendorLikeFunction<VendorLikeFailPmcReads>("vendor_like_fail_pmc_reads")) {
    if (set_ != nullptr) set_(code);
  }
  ~FailingPmcReads() {
    if (set_ != nullptr) set_(0);
  }
  bool on() const { return set_ != nullptr; }

 private:
  VendorLikeFailPmcReads set_;
};

TavrinFocas2Stats Stats() {
  TavrinFocas2Stats stats{};
  lib_GetFocas2Stats(&stats);
  return stats;
}

bool Reached(sim::Call call) {
  for (const auto& entry : cnc->journal()) {
    if (entry.call == call) return true;
  }
  return false;
}

// A folder of its own under the temporary folder, removed with everything in it.
class TemporaryFolder {
 public:
  TemporaryFolder() {
    std::string pattern = (fs::temp_directory_path() / "tavrin-vendor-like-XXXXXX").string();
    if (mkdtemp(pattern.data()) != nullptr) path_ = pattern;
  }
  ~TemporaryFolder() {
    std::error_code error;
    if (!path_.empty()) fs::remove_all(path_, error);
  }
  TemporaryFolder(const TemporaryFolder&) = delete;
  TemporaryFolder& operator=(const TemporaryFolder&) = delete;
  const fs::path& path() const { return path_; }

 private:
  fs::path path_;
};

// A second vendor-like library with a state of its own (its own handles,
// count and start-up), opened plainly: a copy of the file under another
// name, which the dynamic linker loads as another library.  It stays loaded.
struct VendorLikeCopy {
  using StartUp = short (*)(unsigned short, const char*);
  using Exit = short (*)();
  using Open = short (*)(unsigned short*);
  using Free = short (*)(unsigned short);
  using ReadRange = short (*)(unsigned short, focas::int32, focas::int32, unsigned short, void*);
  using WriteRange = short (*)(unsigned short, unsigned short, void*);
  using ReadOne = short (*)(unsigned short, focas::int32, void*);
  using WriteOne = short (*)(unsigned short, focas::int32, focas::int32, short);

  explicit VendorLikeCopy(const fs::path& folder) {
    fs::path copy = folder / "libvendor_like_copy.so";
    std::error_code error;
    if (!fs::copy_file(TAVRIN_VENDOR_LIKE_PATH, copy, error)) return;
    library = dlopen(copy.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (library == nullptr) return;
    startup = Find<StartUp>("cnc_startupprocess");
    exit = Find<Exit>("cnc_exitprocess");
    open = Find<Open>("cnc_allclibhndl");
    free = Find<Free>("cnc_freelibhndl");
    rdpmacror = Find<ReadRange>("cnc_rdpmacror");
    wrpmacror = Find<WriteRange>("cnc_wrpmacror");
    rdpmacro = Find<ReadOne>("cnc_rdpmacro");
    wrpmacro = Find<WriteOne>("cnc_wrpmacro");
  }
  bool complete() const {
    return startup && exit && open && free && rdpmacror && wrpmacror && rdpmacro && wrpmacro;
  }
  template <typename F>
  F Find(const char* name) {
    return reinterpret_cast<F>(dlsym(library, name));
  }

  void* library = nullptr;
  StartUp startup = nullptr;
  Exit exit = nullptr;
  Open open = nullptr;
  Free free = nullptr;
  ReadRange rdpmacror = nullptr;
  WriteRange wrpmacror = nullptr;
  ReadOne rdpmacro = nullptr;
  WriteOne wrpmacro = nullptr;
};

// The range record of one macro variable.
struct OneVariable {
  focas::MacroRangeHeader header;
  focas::MacroEntry entry;
};

OneVariable Variable(focas::int32 number, focas::int32 value = 0, std::int16_t decimals = 0) {
  OneVariable record{};
  record.header.first = number;
  record.header.last = number;
  record.entry.value = value;
  record.entry.decimals = decimals;
  return record;
}

std::string FileText(const fs::path& path) {
  std::ifstream file(path);
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

// A test with a handle of the process's vendor-like library, opened on the
// default connection.
class VendorLike : public testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(EW_OK, lib_GetNcLibHandle(&handle_)); }
  void TearDown() override { EXPECT_EQ(EW_OK, lib_FreeHandle(handle_)); }

  unsigned short handle_ = 0;
};

// cnc_rdpmacro (GetStationNum) and cnc_wrpmacro (lib_WritePCode) are made of
// the library's inner range calls.  With the simulated CNC global, those
// inner calls reach the vendor-like library only because the binding opened
// it with RTLD_DEEPBIND; elsewhere they would end in the simulated CNC with
// a handle it does not know.
TEST_F(VendorLike, SingleMacroCallsWorkBesideAGlobalSimulatedCnc) {
  if (!kDeepBind) GTEST_SKIP() << kWhyNoDeepBind;
  ASSERT_EQ(0, cnc->current_path(handle_)) << "the simulated CNC must not know the vendor-like handle";

  ASSERT_EQ(EW_OK, lib_WritePCode(handle_, 500, 12.5));
  std::int32_t value = 0;
  short decimals = -1;
  ASSERT_TRUE(cnc->get_macro(1, 500, &value, &decimals));
  EXPECT_EQ(125, value);
  EXPECT_EQ(1, decimals);

  // Each path holds its own station number (10910: 1.0 and 2.0).
  CLibMchn machine(handle_);
  EXPECT_EQ(2, machine.GetStationNum(2));
  EXPECT_EQ(1, machine.GetStationNum(1));
}

// The test above proves something only if a plainly opened library really
// loses its inner calls to the global simulated CNC.
TEST(VendorLikeCopy, APlainlyOpenedCopyLosesItsInnerMacroCallsToTheGlobalSimulatedCnc) {
  if (!kDeepBind) GTEST_SKIP() << "the simulated CNC is not global here. " << kWhyNoDeepBind;
  TemporaryFolder folder;
  ASSERT_FALSE(folder.path().empty());
  VendorLikeCopy copy(folder.path());
  ASSERT_TRUE(copy.complete()) << dlerror();
  ASSERT_EQ(EW_OK, copy.startup(0, ""));
  unsigned short handle = 0;
  ASSERT_EQ(EW_OK, copy.open(&handle));

  cnc->clear_journal();
  focas::MacroRecord record{};
  EXPECT_EQ(EW_HANDLE, copy.rdpmacro(handle, 10910, &record));
  std::vector<sim::JournalEntry> journal = cnc->journal();
  ASSERT_EQ(1u, journal.size()) << "the inner range read must be the one call that reached the simulated CNC";
  EXPECT_EQ(sim::Call::cnc_rdpmacror, journal[0].call);
  EXPECT_EQ(handle, journal[0].handle);
  EXPECT_EQ(EW_HANDLE, copy.wrpmacro(handle, 501, 7, 0));

  // Called from outside, the same range read is the copy's own and works.
  OneVariable range = Variable(10910);
  EXPECT_EQ(EW_OK, copy.rdpmacror(handle, 10910, 10910, sizeof range, &range));
  EXPECT_EQ(10, range.entry.value);
  EXPECT_EQ(1, range.entry.decimals);

  EXPECT_EQ(EW_OK, copy.free(handle));
  copy.exit();
}

// The binding's own count of calls (lib_GetFocas2Stats) against the count of
// calls the library received, over calls of every kind, failed and refused
// ones included.
TEST(VendorLikeCount, OurCountIsTheCountTheLibraryReceived) {
  auto received = VendorLikeFunction<VendorLikeCallCount>("vendor_like_call_count");
  ASSERT_NE(nullptr, received);
  TavrinFocas2Stats before = Stats();
  unsigned long long received_before = received();

  unsigned short handle = 0, node9 = 0, ethernet = 0;
  ASSERT_EQ(EW_OK, lib_GetNcLibHandle(&handle));
  ASSERT_EQ(EW_OK, lib_GetNcGuideLibHandle(&node9));
  ASSERT_EQ(EW_OK, lib_GetNcLibHandleEthernet("127.0.0.1", 8193, &ethernet));
  short paths = 0;
  EXPECT_EQ(EW_OK, lib_GetPathMax(ethernet, &paths));
  EXPECT_EQ(2, paths);

  tavrin_long rapid = 0;
  EXPECT_EQ(EW_OK, lib_ReadCncParam_2Word(handle, 1420, 2, &rapid));
  EXPECT_EQ(24000, rapid);
  EXPECT_EQ(EW_OK, lib_WriteCncParam_Byte(handle, 7257, 0, 24));
  EXPECT_EQ(EW_LENGTH, lib_WriteCncParam_Real(node9, 1320, 1, 250.0));
  char model = 0;
  EXPECT_EQ(EW_OK, lib_ReadPmcParam_Byte(handle, 'D', 4005, &model));
  EXPECT_EQ(3, model);
  EXPECT_EQ(EW_OK, lib_WritePmcParam_Bit(handle, 'D', 9550, 5, false));

  double version = 0.0;
  EXPECT_EQ(EW_OK, lib_ReadPCode(handle, 10434, &version));
  EXPECT_DOUBLE_EQ(10.1, version);
  double settings[2] = {};
  EXPECT_EQ(EW_OK, lib_ReadPluralPCode(ethernet, 14600, 2, settings));
  EXPECT_DOUBLE_EQ(1200.0, settings[1]);
  EXPECT_EQ(EW_OK, lib_WritePluralPCode(node9, 510, 3, 1.5));
  EXPECT_EQ(EW_OK, lib_WritePCode(handle, 502, 3.0));
  double geometry = 0.0;
  EXPECT_EQ(EW_OK, lib_ReadOffsetGeometryZ(handle, 2, &geometry));
  EXPECT_DOUBLE_EQ(92.115, geometry);
  EXPECT_EQ(EW_OK, lib_WriteOffsetWearT(handle, 3, 4));

  CLibMchn machine(handle);
  char series[TAVRIN_MCHN_TEXT_SIZE] = "";
  EXPECT_EQ(0, machine.GetMchnSeries(series));
  EXPECT_STREQ("Alder Series", series);
  EXPECT_EQ(1, machine.GetCncMode(2));
  EXPECT_EQ(1, machine.GetDispOrderIdx(1));  // path 2: X, Z in that order
  EXPECT_EQ(2, machine.GetStationNum(2));
  EXPECT_EQ(EW_PATH, machine.GetCncMode(3));

  EXPECT_EQ(EW_HANDLE, lib_FreeHandle(0x1234));
  EXPECT_EQ(EW_OK, lib_FreeHandle(ethernet));
  EXPECT_EQ(EW_OK, lib_FreeHandle(node9));
  EXPECT_EQ(EW_OK, lib_FreeHandle(handle));

  TavrinFocas2Stats after = Stats();
  EXPECT_EQ(before.refused, after.refused);
  EXPECT_EQ(received() - received_before, (after.calls - before.calls) + (after.refused - before.refused));
  EXPECT_EQ(3u, after.failed - before.failed);  // the real write, path 3, handle 0x1234
}

// A CNC that stops answering: opens and reads give -16 without reaching it,
// the stats name the call, and the paths, which the library keeps itself,
// still answer.
TEST_F(VendorLike, WhenNothingAnswersOpensAndReadsGiveMinus16) {
  cnc->clear_journal();
  {
    NothingAnswers nothing;
    ASSERT_TRUE(nothing.on());
    unsigned short other = 0;
    EXPECT_EQ(kNothingAnswers, lib_GetNcLibHandle(&other));
    TavrinFocas2Stats stats = Stats();
    EXPECT_EQ(kNothingAnswers, stats.last_failed_code);
    EXPECT_STREQ("cnc_allclibhndl", stats.last_failed_call);

    double limit = -1.0;
    EXPECT_EQ(kNothingAnswers, lib_ReadCncParam_Real(handle_, 1320, 2, &limit));
    EXPECT_EQ(-1.0, limit);
    stats = Stats();
    EXPECT_EQ(kNothingAnswers, stats.last_failed_code);
    EXPECT_STREQ("cnc_rdparam", stats.last_failed_call);

    short paths = 0;
    EXPECT_EQ(EW_OK, lib_GetPathMax(handle_, &paths));
    EXPECT_EQ(2, paths);
  }
  EXPECT_EQ(0u, cnc->journal_size()) << "nothing may reach the CNC while it does not answer";

  double limit = 0.0;
  EXPECT_EQ(EW_OK, lib_ReadCncParam_Real(handle_, 1320, 2, &limit));
  EXPECT_DOUBLE_EQ(812.5, limit);
}

// The library refuses real-parameter writes itself: the binding's read comes
// back, the write never goes out, and the CNC keeps its value.
TEST_F(VendorLike, RealParameterWritesAreRefusedBeforeAnythingGoesOut) {
  cnc->clear_journal();
  EXPECT_EQ(EW_LENGTH, lib_WriteCncParam_Real(handle_, 1320, 2, 800.0));
  EXPECT_EQ(EW_LENGTH, lib_WriteCncParam(handle_, 1320, 2, TAVRIN_PARAM_REAL, 800.0));
  EXPECT_TRUE(Reached(sim::Call::cnc_rdparam));
  EXPECT_FALSE(Reached(sim::Call::cnc_wrparam));
  TavrinFocas2Stats stats = Stats();
  EXPECT_EQ(EW_LENGTH, stats.last_failed_code);
  EXPECT_STREQ("cnc_wrparam", stats.last_failed_call);

  std::int32_t value = 0;
  int decimals = -1;
  ASSERT_TRUE(cnc->get_param(1, 1320, 2, &value, &decimals));
  EXPECT_EQ(812500, value);
  EXPECT_EQ(3, decimals);
}

// PMC reads that fail: the machine object's getters give their failure
// values and its setters write nothing.
TEST_F(VendorLike, FailingPmcReadsWriteNothing) {
  cnc->clear_journal();
  {
    FailingPmcReads failing(EW_NOPMC);
    ASSERT_TRUE(failing.on());
    CLibMchn machine(handle_);
    EXPECT_EQ(-1, machine.GetMchnType());
    machine.SetSingleBlockMode(false);
    char model = 'x';
    EXPECT_EQ(EW_NOPMC, lib_ReadPmcParam_Byte(handle_, 'D', 4005, &model));
    EXPECT_EQ('x', model);
    EXPECT_EQ(EW_NOPMC, lib_WritePmcParam_Bit(handle_, 'D', 9550, 2, false));
    TavrinFocas2Stats stats = Stats();
    EXPECT_EQ(EW_NOPMC, stats.last_failed_code);
    EXPECT_STREQ("pmc_rdpmcrng", stats.last_failed_call);
  }
  EXPECT_EQ(0u, cnc->journal_size());
  std::uint8_t requests = 0;
  ASSERT_TRUE(cnc->get_pmc_byte('D', 9550, &requests));
  EXPECT_EQ(0x04, requests) << "single block request bit must still be set";
}

// With TAVRIN_VENDOR_LIKE_STATE the library keeps the machine in a state file
// that each call loads and saves under its lock, as the tavrin command does,
// and with TAVRIN_VENDOR_LIKE_COUNT_FILE it leaves its count at exit: what a
// test of another process (the tavrin command) relies on.  A fresh copy of the
// library reads them at its start-up.
TEST(VendorLikeCopy, StateFileCarriesTheMachineAndTheCountIsLeftAtExit) {
  TemporaryFolder folder;
  ASSERT_FALSE(folder.path().empty());
  fs::path state = folder.path() / "machine.toml";
  fs::path count = folder.path() / "count";
  fs::copy_file(fs::path(TAVRIN_TEST_SOURCE_DIR) / "examples" / "lathe.toml", state);

  // The state file's loads replace this process's simulated CNC machine,
  // which the other tests share: it is put back at the end.
  struct RestoreMachine {
    std::string text = cnc->save_text();
    ~RestoreMachine() {
      std::string error;
      EXPECT_TRUE(cnc->load_text(text, &error)) << error;
    }
  } restore;

  VendorLikeCopy copy(folder.path());
  ASSERT_TRUE(copy.complete()) << dlerror();
  setenv("TAVRIN_VENDOR_LIKE_STATE", state.c_str(), 1);
  setenv("TAVRIN_VENDOR_LIKE_COUNT_FILE", count.c_str(), 1);
  short started = copy.startup(0, "");
  unsetenv("TAVRIN_VENDOR_LIKE_STATE");
  ASSERT_EQ(EW_OK, started);

  unsigned short handle = 0;
  EXPECT_EQ(EW_OK, copy.open(&handle));
  OneVariable write = Variable(700, 42);
  EXPECT_EQ(EW_OK, copy.wrpmacror(handle, sizeof write, &write));

  // Another user of the state file, with the machine in memory forgotten
  // first: the write must be in the file.
  std::string error;
  ASSERT_TRUE(cnc->load_text(restore.text, &error)) << error;
  struct Check {
    std::int32_t seen = -1;
  } check;
  ASSERT_TRUE(cnc->with_state_file(
      state.string(),
      [](void* user) {
        short decimals = 0;
        cnc->get_macro(1, 700, &static_cast<Check*>(user)->seen, &decimals);
        cnc->set_macro(1, 700, 43, 0);
      },
      &check, &error))
      << error;
  EXPECT_EQ(42, check.seen);

  // And the library's next call must load that user's change from the file.
  ASSERT_TRUE(cnc->load_text(restore.text, &error)) << error;
  OneVariable read = Variable(700);
  EXPECT_EQ(EW_OK, copy.rdpmacror(handle, 700, 700, sizeof read, &read));
  EXPECT_EQ(43, read.entry.value);

  EXPECT_EQ(EW_OK, copy.free(handle));
  copy.exit();
  unsetenv("TAVRIN_VENDOR_LIKE_COUNT_FILE");
  EXPECT_EQ("4", FileText(count));
}

}  // namespace
