// The tavrin command through any FOCAS2 library: every CNC family run once
// against the simulated CNC (--sim) and once through the tests' vendor-like
// FOCAS2 library (--focas), which behaves like the CNC maker's library where
// that matters and keeps the same machine in its own state file.  Both must
// print the same and exit the same; failures of the library must be named.
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>

#include "support/background_process.h"
#include "support/run_command.h"

namespace fs = std::filesystem;
using nlohmann::json;

namespace tavrin::test {
namespace {

class AnyFocasLibraryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = fs::temp_directory_path() /
              ("tavrin-any-focas-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(folder_);
    fs::create_directories(folder_);
    fs::copy(fs::path(TAVRIN_TEST_SOURCE_DIR) / "examples" / "sim", folder_ / "c", fs::copy_options::recursive);
    for (const char* name : {"simulated.toml", "vendor.toml"}) {
      fs::copy_file(fs::path(TAVRIN_TEST_SOURCE_DIR) / "examples" / "lathe.toml", folder_ / name);
    }
  }
  void TearDown() override { fs::remove_all(folder_); }

 public:
  CommandResult Simulated(std::vector<std::string> args) const {
    std::vector<std::string> all{"--sim", (folder_ / "simulated.toml").string(), "--drive-c", (folder_ / "c").string()};
    all.insert(all.end(), args.begin(), args.end());
    return RunCommand(TAVRIN_COMMAND, all, {"XDG_STATE_HOME=" + (folder_ / "xdg").string()});
  }
  CommandResult VendorLike(std::vector<std::string> args, std::vector<std::string> environment = {}) const {
    std::vector<std::string> all{"--focas", TAVRIN_TEST_VENDOR_LIKE, "--drive-c", (folder_ / "c").string()};
    all.insert(all.end(), args.begin(), args.end());
    environment.push_back("TAVRIN_VENDOR_LIKE_STATE=" + (folder_ / "vendor.toml").string());
    environment.push_back("TAVRIN_VENDOR_LIKE_COUNT_FILE=" + CountFile());
    environment.push_back("XDG_STATE_HOME=" + (folder_ / "xdg").string());
    return RunCommand(TAVRIN_COMMAND, all, environment);
  }

 protected:
  std::string CountFile() const { return (folder_ / "count").string(); }
  long long VendorCount() const {
    std::ifstream in(CountFile());
    long long count = -1;
    in >> count;
    return count;
  }

  fs::path folder_;
};

// The output with its time stamps (watch's refreshes) left out.
std::string WithoutTimes(const std::string& text) {
  static const std::regex kTime("[0-9]{4}-[0-9]{2}-[0-9]{2}T[0-9:.]+Z");
  return std::regex_replace(text, kTime, "TIME");
}

// One run of every CNC family of the command.
std::vector<std::vector<std::string>> CncFamilyRuns() {
  return {
      {"paths"},
      {"param", "get", "1420", "--kind", "two-word", "--axis", "all"},
      {"param", "get", "3115.0", "-k", "bit", "-a", "5", "--generic"},
      {"param", "set", "1420", "24500", "--kind", "two-word", "--axis", "2"},
      {"param", "get", "1420", "--kind", "two-word", "--axis", "2"},
      {"param", "get", "32000", "--kind", "word"},  // no such parameter: exit 1 both ways
      {"pmc", "get", "D9550"},
      {"pmc", "set", "R6836", "12", "--size", "word"},
      {"pmc", "get", "R6836", "--size", "word"},
      {"macro", "set", "10500", "1.5"},  // cnc_wrpmacro, which calls the library's own cnc_wrpmacror
      {"macro", "get", "10500"},
      {"macro", "get", "10434", "--count", "4"},
      {"offset", "set", "1", "X", "1.23456", "--wear"},
      {"offset", "get", "1"},
      {"machine", "set", "single-block", "off"},
      {"machine", "status"},
      {"machine", "identity", "--json"},  // station numbers through cnc_rdpmacro
      {"machine", "tool-count", "set", "3", "--setting", "77", "--addition", "5"},
      {"machine", "tool-count", "get", "3"},
      {"machine", "axes"},
      {"machine", "atc", "get", "1"},
      {"machine", "magazine"},
      {"language"},
      {"sim", "soft", "get"},
      {"sim", "redraw"},
      {"watch", "--count", "2", "--interval", "0", "--json"},
      {"--path", "2", "macro", "get", "10910"},
  };
}

// Every family through `other` gives what it gives against the simulated CNC.
template <typename Run>
void ExpectTheSameAsSimulated(const AnyFocasLibraryTest& test, Run other) {
  for (const auto& args : CncFamilyRuns()) {
    std::string shown;
    for (const auto& a : args) shown += a + " ";
    CommandResult simulated = test.Simulated(args);
    CommandResult through = other(args);
    EXPECT_EQ(through.exit_code, simulated.exit_code) << shown << "\n" << through.err << simulated.err;
    EXPECT_EQ(WithoutTimes(through.out), WithoutTimes(simulated.out)) << shown << "\n" << through.err;
    if (args.front() != "param" || args[2] != "32000") {
      EXPECT_EQ(simulated.exit_code, 0) << shown << simulated.err;
    }
  }
}

TEST_F(AnyFocasLibraryTest, EveryCncFamilyGivesTheSameValuesAndExitCodes) {
  ExpectTheSameAsSimulated(*this, [this](const std::vector<std::string>& args) { return VendorLike(args); });
}

// Over the wire: our own FOCAS2 client library against tavrin-simcnc serving
// a copy of the same machine on a loopback port.
TEST_F(AnyFocasLibraryTest, ThroughTheWireEveryCncFamilyGivesTheSameValuesAndExitCodes) {
  fs::copy_file(fs::path(TAVRIN_TEST_SOURCE_DIR) / "examples" / "lathe.toml", folder_ / "wire.toml");
  const int port = FreeLoopbackPort();
  BackgroundProcess server;
  ASSERT_TRUE(server.Start(TAVRIN_TEST_SIMCNC_SERVER,
                           {"--state", (folder_ / "wire.toml").string(), "--port", std::to_string(port)},
                           (folder_ / "server.log").string()));
  ASSERT_TRUE(WaitUntilAccepting(port, std::chrono::seconds(10)));
  const std::string address = "127.0.0.1:" + std::to_string(port);
  ExpectTheSameAsSimulated(*this, [&](const std::vector<std::string>& args) {
    std::vector<std::string> all{"--focas", TAVRIN_TEST_FOCAS2_NET, "--connect", address,
                                 "--drive-c", (folder_ / "c").string()};
    all.insert(all.end(), args.begin(), args.end());
    return RunCommand(TAVRIN_COMMAND, all, {"XDG_STATE_HOME=" + (folder_ / "xdg").string()});
  });
  EXPECT_EQ(0, server.Stop());
}

TEST_F(AnyFocasLibraryTest, OurCallCountIsTheLibrarysOwn) {
  CommandResult status = VendorLike({"machine", "status", "--json"});
  ASSERT_EQ(status.exit_code, 0) << status.err;
  json data = json::parse(status.out);
  // The library received the status's calls, plus the handle's open and free.
  EXPECT_EQ(VendorCount(), data["focas_calls"].get<long long>() + 2);
  EXPECT_EQ(data["focas_calls"].get<long long>(), 10) << "nine PMC reads and the path count";
}

TEST_F(AnyFocasLibraryTest, FailingReadsAreNamedAndExitOne) {
  CommandResult status = VendorLike({"--connect", "127.0.0.1:8193", "machine", "status"},
                                    {"TAVRIN_VENDOR_LIKE_FAIL_PMC_READS=-16"});
  EXPECT_EQ(status.exit_code, 1) << status.err;
  EXPECT_NE(status.out.find("left chuck check             failed  D6045.1"), std::string::npos) << status.out;
  EXPECT_EQ(status.out.find(" off "), std::string::npos) << "no failed read is shown as off:\n" << status.out;
  EXPECT_NE(status.err.find("left chuck check (D6045.1) (pmc_rdpmcrng) failed: code -16 (no answer from 127.0.0.1:8193)"),
            std::string::npos)
      << status.err;

  CommandResult json_status = VendorLike({"machine", "status", "--json"}, {"TAVRIN_VENDOR_LIKE_FAIL_PMC_READS=-16"});
  json data = json::parse(json_status.out);
  EXPECT_FALSE(data["ok"].get<bool>());
  EXPECT_TRUE(data["single_block"].is_null());
  EXPECT_TRUE(data["selected_path"].is_null());
  ASSERT_FALSE(data["failed"].empty());
  EXPECT_EQ(data["failed"][0]["call"], "pmc_rdpmcrng");
  EXPECT_EQ(data["failed"][0]["code"], -16);

  CommandResult identity = VendorLike({"machine", "identity"}, {"TAVRIN_VENDOR_LIKE_FAIL_PMC_READS=-16"});
  EXPECT_EQ(identity.exit_code, 1) << identity.out;
  EXPECT_NE(identity.err.find("GetMchnSeries failed: code -16"), std::string::npos) << identity.err;
}

TEST_F(AnyFocasLibraryTest, NoLibraryNoAnswerAndUnstorableValuesAreToldApart) {
  CommandResult silent = VendorLike({"--connect", "192.0.2.7:8193", "paths"}, {"TAVRIN_VENDOR_LIKE_NO_ANSWER=1"});
  EXPECT_EQ(silent.exit_code, 3);
  EXPECT_NE(silent.err.find("code -16 (no answer from 192.0.2.7:8193)"), std::string::npos) << silent.err;

  CommandResult missing = RunCommand(TAVRIN_COMMAND, {"--focas", (folder_ / "nothing.so").string(), "paths"});
  EXPECT_EQ(missing.exit_code, 3);
  EXPECT_NE(missing.err.find("EW_NODLL (-15): cannot load " + (folder_ / "nothing.so").string() + ": "), std::string::npos)
      << missing.err;
  std::ofstream(folder_ / "not-a-library.so") << "text";
  CommandResult broken = RunCommand(TAVRIN_COMMAND, {"--focas", (folder_ / "not-a-library.so").string(), "paths"});
  EXPECT_NE(broken.err.find("cannot load"), std::string::npos) << broken.err;

  fs::remove(CountFile());
  CommandResult huge = VendorLike({"offset", "set", "1", "X", "1e300", "--wear"});
  EXPECT_EQ(huge.exit_code, 2);
  EXPECT_EQ(VendorCount(), -1) << "refused before the FOCAS2 library was even loaded";
  CommandResult fine = VendorLike({"macro", "set", "10500", "1.123456789123"});
  EXPECT_EQ(fine.exit_code, 0) << fine.err;
  EXPECT_NE(fine.out.find("#10500: asked for 1.123456789123, the CNC stored 1.1234567"), std::string::npos) << fine.out;
}

}  // namespace
}  // namespace tavrin::test
