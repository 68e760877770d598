// End-to-end tests of the tavrin command: the built program is run against a
// temporary state file of the simulated CNC and a temporary copy of the
// example simulation folder.
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "support/run_command.h"
#include "tavrin/version.h"

namespace fs = std::filesystem;
using nlohmann::json;

namespace tavrin::test {
namespace {

std::string ReadAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

class TavrinCommandTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = fs::temp_directory_path() /
              ("tavrin-command-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(folder_);
    fs::create_directories(folder_);
    fs::copy(fs::path(TAVRIN_TEST_SOURCE_DIR) / "examples" / "sim", folder_ / "c", fs::copy_options::recursive);
    state_ = folder_ / "state.toml";
  }
  void TearDown() override { fs::remove_all(folder_); }

  CommandResult Run(std::vector<std::string> args, std::vector<std::string> environment = {}) const {
    std::vector<std::string> all{"--sim", state_.string(), "--drive-c", (folder_ / "c").string()};
    all.insert(all.end(), args.begin(), args.end());
    environment.push_back("XDG_STATE_HOME=" + (folder_ / "xdg").string());
    return RunCommand(TAVRIN_COMMAND, all, environment);
  }
  // Runs with --json, expects success and returns the parsed document.
  json Json(std::vector<std::string> args, std::vector<std::string> environment = {}) const {
    args.push_back("--json");
    CommandResult result = Run(args, environment);
    EXPECT_EQ(result.exit_code, 0) << result.err;
    json document = json::parse(result.out, nullptr, false);
    EXPECT_FALSE(document.is_discarded()) << result.out;
    if (document.is_discarded()) return json::object();
    EXPECT_EQ(document.value("ok", false), true);
    return document;
  }
  std::string AssemblyFile() const {
    return ReadAll(folder_ / "c" / "QvApplication" / "Qv Crash Preview" / "Machines" / "LatheA.ovx");
  }

  fs::path folder_;
  fs::path state_;
};

TEST_F(TavrinCommandTest, ReadsForPeopleAndScriptsAndSaysItIsSimulated) {
  CommandResult paths = Run({"paths"});
  EXPECT_EQ(paths.exit_code, 0);
  EXPECT_NE(paths.out.find("2 path(s)"), std::string::npos) << paths.out;
  EXPECT_NE(paths.err.find("SIMULATED CNC"), std::string::npos);
  EXPECT_TRUE(fs::exists(state_)) << "the state file is made from the example machine";

  CommandResult table = Run({"param", "get", "1420", "--kind", "two-word", "--axis", "all"});
  EXPECT_NE(table.out.find("2     24000"), std::string::npos) << table.out;
  EXPECT_NE(table.out.find("6-32  0"), std::string::npos) << table.out;
  json all = Json({"param", "get", "1420", "--kind", "two-word", "--axis", "all"});
  ASSERT_EQ(all["values"].size(), 32u);
  EXPECT_EQ(all["values"][1], 24000);
  EXPECT_EQ(Json({"param", "get", "3115.0", "-k", "bit", "-a", "5", "--generic"})["value"], 1);
  EXPECT_EQ(Json({"pmc", "get", "R6836", "--size", "word"})["value"], 10);
  EXPECT_EQ(Json({"macro", "get", "10434", "--count", "2"})["variables"][0]["value"], 10.1);
  EXPECT_EQ(Json({"offset", "get", "2"})["items"]["Z"]["geometry"], 92.115);
  EXPECT_EQ(Json({"machine", "identity"})["serial_number"], "TVL-2031-A07");
  EXPECT_EQ(Json({"machine", "axes"})["display_order"], json::parse("[0, 1, 3, 2]"));
  EXPECT_EQ(Json({"pmc", "address", "F0.3", "--for-path", "2"})["result"], "F1000.3");

  json status = Json({"machine", "status"});
  EXPECT_EQ(status["single_block"], true);
  EXPECT_GT(status["focas_calls"].get<int>(), 0);
  EXPECT_EQ(status["failed_calls"], 0);
}

TEST_F(TavrinCommandTest, CommandsWithoutACncLeaveTheStateAlone) {
  json named = Json({"error", "-8"});
  EXPECT_EQ(named["name"], "EW_HANDLE");
  EXPECT_NE(named["message"].get<std::string>().find("[EW_HANDLE:-8]"), std::string::npos);
  CommandResult help = Run({"param", "set", "--help"});
  EXPECT_EQ(help.exit_code, 0);
  EXPECT_NE(help.out.find("--kind"), std::string::npos);
  CommandResult reference = Run({"help-all"});
  EXPECT_NE(reference.out.find("### `tavrin machine tool-count set`"), std::string::npos);
  EXPECT_FALSE(fs::exists(state_));
}

TEST_F(TavrinCommandTest, WritesAreKeptBetweenRuns) {
  Json({"macro", "set", "500", "12.5", "--count", "3"});
  Json({"param", "set", "1420", "21000", "-k", "two-word", "-a", "2"});
  Json({"pmc", "set", "D9550.0", "on"});
  Json({"offset", "set", "3", "X", "-1.25", "--wear"});
  Json({"machine", "set", "machine-lock", "on"});
  EXPECT_EQ(Json({"macro", "get", "502"})["variables"][0]["value"], 12.5);
  EXPECT_EQ(Json({"param", "get", "1420", "-k", "two-word", "-a", "2"})["value"], 21000);
  EXPECT_EQ(Json({"machine", "status"})["simulation"], true);
  EXPECT_EQ(Json({"offset", "get", "3"})["items"]["X"]["wear"], -1.25);
  EXPECT_EQ(Json({"pmc", "get", "D81.0"})["value"], 1);
}

TEST_F(TavrinCommandTest, CncFailuresExitNonZeroAndNameTheCode) {
  CommandResult missing = Run({"param", "get", "32000", "-k", "word"});
  EXPECT_EQ(missing.exit_code, 1);
  EXPECT_NE(missing.err.find("EW_NUMBER"), std::string::npos) << missing.err;
  missing = Run({"offset", "get", "999", "--json"});
  EXPECT_EQ(missing.exit_code, 1);
  json document = json::parse(missing.out);
  EXPECT_EQ(document["ok"], false);
  EXPECT_EQ(document["code"], 3);
  EXPECT_NE(document["error"].get<std::string>().find("offset 999"), std::string::npos);
}

TEST_F(TavrinCommandTest, BadInputIsRefusedAndChangesNothing) {
  Json({"macro", "set", "1", "1"});  // the state file in its saved form
  std::string state = ReadAll(state_);
  std::string assembly = AssemblyFile();
  const std::vector<std::vector<std::string>> bad = {
      {"pmc", "get", "Q100"},
      {"pmc", "set", "D9550.8", "on"},
      {"pmc", "set", "D9550", "256"},
      {"pmc", "set", "R6836", "70000", "--size", "word"},
      {"param", "set", "1420", "2.5", "-k", "two-word", "-a", "1"},
      {"param", "set", "3115", "1", "-k", "bit"},
      {"param", "set", "1420", "1", "-k", "two-word", "-a", "all"},
      {"macro", "set", "1", "lots"},
      {"offset", "set", "1", "W", "1", "--wear"},
      {"offset", "set", "1", "T", "1.5", "--geometry"},
      {"machine", "set", "single-block", "maybe"},
      {"machine", "atc", "set", "0", "--type", "64"},
      {"sim", "set-z", "chuck", "M", "1"},
      {"--connect", "cnc:0", "paths"},
      {"no-such-command"},
  };
  for (const auto& args : bad) {
    CommandResult result = Run(args);
    EXPECT_EQ(result.exit_code, 2) << args[0] << " " << args[1];
    EXPECT_NE(result.err.find("tavrin: "), std::string::npos);
  }
  // The CNC options: an empty name is no default, a mistyped folder is not made.
  for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
           {"--sim", "", "paths"}, {"--focas", "", "paths"}, {"--sim", (folder_ / "typo" / "m.toml").string(), "paths"}}) {
    CommandResult result = RunCommand(TAVRIN_COMMAND, args);
    EXPECT_EQ(result.exit_code, 2) << args[0] << " '" << args[1] << "'";
    EXPECT_NE(result.err.find(args[0] + ": "), std::string::npos) << result.err;
  }
  EXPECT_FALSE(fs::exists(folder_ / "typo"));
  CommandResult scripted = Run({"pmc", "get", "D9550.9", "--json"});
  EXPECT_EQ(json::parse(scripted.out)["ok"], false);
  EXPECT_EQ(ReadAll(state_), state);
  EXPECT_EQ(AssemblyFile(), assembly);
}

TEST_F(TavrinCommandTest, MovesSimulationModels) {
  json models = Json({"sim", "models"});
  EXPECT_EQ(models["sides"]["L"]["chuck"]["z"], -120.0);
  EXPECT_EQ(models["sides"]["R"]["jaws"]["count"], 3);
  EXPECT_EQ(models["sides"]["L"]["work"]["origin_distance"], -35.5);
  EXPECT_EQ(Json({"sim", "set-z", "chuck", "L", "-150"})["z"], -150.0);
  EXPECT_EQ(Json({"sim", "models"})["sides"]["L"]["chuck"]["z"], -150.0);
  EXPECT_NE(AssemblyFile().find("-150"), std::string::npos);
  EXPECT_EQ(Json({"chuck", "set", "L", "-140"})["z"], -140.0);  // the same through the model's own command
  EXPECT_EQ(Json({"chuck", "get", "L"})["z"], -140.0);
  EXPECT_EQ(Json({"sim", "structure"})["machine_name"], "LatheA");
}

// A move that could not change both files whole changes neither; moves of
// several runs at once never leave the files disagreeing; text from a
// Windows panel's settings comes out as valid JSON.
TEST_F(TavrinCommandTest, SimulationFilesAreChangedWholeOrNotAtAll) {
  const fs::path machines = folder_ / "c" / "QvApplication" / "Qv Crash Preview" / "Machines";
  const std::string machine = ReadAll(machines / "LatheA.ovp"), assembly = AssemblyFile();
  auto replaced = [](std::string text, const std::string& from, const std::string& to) {
    return text.replace(text.find(from), from.size(), to);
  };
  const std::string chuck_line = "0,0,0,-120,1</matrix>";
  struct Broken {
    std::string file, contents, says;
  } cases[] = {
      {"LatheA.ovx", replaced(assembly, chuck_line, std::string("0,0,0,-120,1</matrix>\0", 22)), "NUL byte"},
      {"LatheA.ovp", replaced(machine, "</fixture>", "</fixtures>"), "closing tag missing"},
      {"LatheA.ovp", replaced(machine, chuck_line, "0,0,0,-120,1</matrix><!-- moved -->"), "not 16 numbers alone"},
      {"LatheA.ovp", replaced(machine, chuck_line, "0,0,0,-120,1</matrix><!--" + std::string(600, '-') + "-->"),
       "longer than 511"},
  };
  for (const Broken& broken : cases) {
    std::ofstream(machines / broken.file, std::ios::binary) << broken.contents;
    CommandResult result = Run({"chuck", "set", "L", "-140"});
    EXPECT_EQ(result.exit_code, 1) << broken.says;
    EXPECT_NE(result.err.find(broken.says), std::string::npos) << result.err;
    EXPECT_EQ(ReadAll(machines / broken.file), broken.contents);
    std::ofstream(machines / broken.file, std::ios::binary) << (broken.file == "LatheA.ovp" ? machine : assembly);
  }
  EXPECT_EQ(Run({"work", "set", "R", "1e300"}).exit_code, 2);

  std::vector<std::thread> runs;
  for (int i = 0; i < 8; ++i) {
    runs.emplace_back([this, i] { EXPECT_EQ(Run({"chuck", "set", "L", std::to_string(-130 - i)}).exit_code, 0); });
  }
  for (std::thread& run : runs) run.join();
  const double z = Json({"chuck", "get", "L"})["z"];
  EXPECT_NE(ReadAll(machines / "LatheA.ovp").find("0,0,0," + std::to_string(static_cast<int>(z)) + ",1</matrix>"),
            std::string::npos);

  const fs::path settings = folder_ / "c" / "QvApplication" / "Qv Crash Preview" / "CustomSetting.ini";
  const std::string shift_jis = replaced(ReadAll(settings), "Type-A", "\x90\xf9\x94\xd5" "A");
  std::ofstream(settings, std::ios::binary) << shift_jis;
  EXPECT_EQ(Json({"sim", "structure"})["machine_type"], "\\x90\\xF9\\x94\\xD5A");
  EXPECT_EQ(Json({"sim", "structure"}, {"TAVRIN_PANEL_CODE_PAGE=932"})["machine_type"], "\u65cb\u76e4A");
}

TEST_F(TavrinCommandTest, ControlsTheSimulationApplication) {
  Json({"sim", "redraw"});
  EXPECT_EQ(Json({"pmc", "get", "D9693"})["value"], 0x48) << "bit 3 set beside bit 6, in the state file";
  Json({"sim", "soft", "off"});
  EXPECT_EQ(Json({"sim", "soft", "get"})["on"], false);
  EXPECT_EQ(Json({"pmc", "get", "D9693"})["value"], 0x08);
  Json({"sim", "soft", "on"});
  EXPECT_EQ(Json({"sim", "soft", "get"})["on"], true);
  EXPECT_EQ(Run({"sim", "soft", "maybe"}).exit_code, 2);

  json files = Json({"sim", "files"});
  EXPECT_EQ(files["machine_file"], "C:\\QvApplication\\Qv Crash Preview\\Machines\\LatheA.ovp");
  EXPECT_EQ(files["assembly_file"], "C:\\QvApplication\\Qv Crash Preview\\Machines\\LatheA.ovx");

  // Never the real simulation: a program that does nothing, and no display
  // on which to look for its window.
  EXPECT_EQ(Json({"sim", "start", "--debug"}, {"TAVRIN_SIMULATION=true"})["debug"], true);
  EXPECT_EQ(Json({"sim", "start"}, {"TAVRIN_SIMULATION=true"})["debug"], false);
  // Wine only when asked for, and never here: no wine on this PATH.
  CommandResult unset = Run({"sim", "start"}, {"TAVRIN_SIMULATION="});
  EXPECT_EQ(unset.exit_code, 2);
  EXPECT_NE(unset.err.find("set TAVRIN_SIMULATION"), std::string::npos) << unset.err;
  EXPECT_EQ(Run({"sim", "start", "--wine"}, {"TAVRIN_SIMULATION=true"}).exit_code, 2);
  EXPECT_EQ(Run({"sim", "start"}, {"TAVRIN_SIMULATION=wine"}).exit_code, 2);
  EXPECT_EQ(Run({"sim", "start"}, {"TAVRIN_SIMULATION=" + (folder_ / "none").string()}).exit_code, 1);
  CommandResult no_wine = Run({"sim", "start", "--wine"}, {"TAVRIN_SIMULATION=", "PATH=" + folder_.string()});
  EXPECT_EQ(no_wine.exit_code, 1);
  EXPECT_NE(no_wine.err.find("wine is not found"), std::string::npos) << no_wine.err;
  EXPECT_EQ(Json({"sim", "end", "--impact-ward"}, {"DISPLAY="})["window"], "QV Impact Ward");
  EXPECT_EQ(Run({"sim", "end", "--cell-desk", "--impact-ward"}, {"DISPLAY="}).exit_code, 2);

  fs::remove(folder_ / "c" / "QvApplication" / "Qv Crash Preview" / "Orvex.ini");
  EXPECT_EQ(Run({"sim", "files"}).exit_code, 1);
}

TEST_F(TavrinCommandTest, WatchRefreshesTheCountAskedForAndStopsAtAFailureUnlessToldNot) {
  CommandResult watch = Run({"watch", "--count", "3", "--interval", "0", "--json"});
  EXPECT_EQ(watch.exit_code, 0) << watch.err;
  std::istringstream lines(watch.out);
  std::string line;
  int refreshes = 0;
  while (std::getline(lines, line)) {
    json frame = json::parse(line);
    EXPECT_EQ(frame["refresh"], ++refreshes);
    EXPECT_EQ(frame["time"].get<std::string>().size(), 24u) << frame["time"];  // 2026-12-06T08:20:23.507Z
    EXPECT_GT(frame["focas_calls"].get<int>(), 0);
  }
  EXPECT_EQ(refreshes, 3);
  CommandResult people = Run({"watch", "--count", "2", "--interval", "0"});
  EXPECT_EQ(people.exit_code, 0);
  EXPECT_EQ(people.out.find('\x1b'), std::string::npos) << "no escape codes into a pipe";
  EXPECT_NE(people.out.find("refresh 2"), std::string::npos);
  EXPECT_EQ(Run({"watch", "--interval", "0.5"}).exit_code, 2) << "milliseconds, whole";

  std::ofstream(state_) << "broken = [\n";  // every refresh fails: no CNC
  auto count_lines = [](const std::string& text) { return std::count(text.begin(), text.end(), '\n'); };
  CommandResult stopped = Run({"watch", "--count", "3", "--interval", "0", "--json"});
  EXPECT_EQ(stopped.exit_code, 3);
  EXPECT_EQ(count_lines(stopped.out), 1);
  CommandResult going = Run({"watch", "--count", "3", "--interval", "0", "--json", "--keep-going"});
  EXPECT_EQ(going.exit_code, 3);
  ASSERT_EQ(count_lines(going.out), 3);
  EXPECT_NE(json::parse(going.out.substr(going.out.rfind('{'))).value("error", "").find("state file"), std::string::npos);
}

TEST_F(TavrinCommandTest, DemoShowsTheCallsAndTheFailingCode) {
  CommandResult demo = Run({"demo"}, {"DISPLAY="});  // no viewer window on the tester's display
  EXPECT_EQ(demo.exit_code, 0) << demo.err;
  EXPECT_NE(demo.out.find("pmc_wrpmcrng(handle 1: 9) -> 0, wrote 04"), std::string::npos) << demo.out;
  EXPECT_NE(demo.out.find("wrote 48"), std::string::npos) << "D9693.3 set beside bit 6";
  EXPECT_NE(demo.out.find("[EW_NUMBER"), std::string::npos);
  EXPECT_FALSE(fs::exists(state_)) << "the demo uses no state file";
}

TEST_F(TavrinCommandTest, TwoProcessesWritingTheStateLoseNoWrite) {
  Json({"paths"});  // make the state file first
  constexpr int kWrites = 10;
  auto writer = [this](int first) {
    for (int i = 0; i < kWrites; ++i) {
      EXPECT_EQ(Run({"macro", "set", std::to_string(first + i), std::to_string(first + i)}).exit_code, 0);
    }
  };
  std::thread a(writer, 600);
  std::thread b(writer, 700);
  a.join();
  b.join();
  for (int first : {600, 700}) {
    json run = Json({"macro", "get", std::to_string(first), "--count", std::to_string(kWrites)});
    for (int i = 0; i < kWrites; ++i) EXPECT_EQ(run["variables"][i]["value"], first + i);
  }
}

TEST_F(TavrinCommandTest, ConnectionsPathsAndMessagesOfTheLibrary) {
  CommandResult no_library = RunCommand(TAVRIN_COMMAND, {"--focas", (folder_ / "none.so").string(), "paths"});
  EXPECT_EQ(no_library.exit_code, 3);
  EXPECT_NE(no_library.err.find("EW_NODLL"), std::string::npos) << no_library.err;
  EXPECT_EQ(no_library.err.find("SIMULATED"), std::string::npos);
  EXPECT_EQ(Json({"--connect", "192.168.0.5:8200", "paths"})["paths"], 2);
  EXPECT_EQ(Json({"--path", "2", "macro", "get", "10910"})["variables"][0]["value"], 2.0);
  EXPECT_EQ(Run({"--path", "3", "paths"}).exit_code, 2);

  Json({"macro", "set", "10434", "5"});  // a maintenance product version without tool counting
  CommandResult unsupported = Run({"machine", "tool-count", "get", "1", "--json"});
  EXPECT_EQ(unsupported.exit_code, 1);
  EXPECT_EQ(json::parse(unsupported.out)["messages"].size(), 1u);
}

// The log file is beside the program: a copy of it in the test's folder.
TEST_F(TavrinCommandTest, LogSaysWhereTheLineWentAndFailsWhenItDidNot) {
  fs::path program = folder_ / "tavrin";
  fs::copy_file(TAVRIN_COMMAND, program);
  CommandResult logged = RunCommand(program.string(), {"log", "cable checked"});
  EXPECT_EQ(logged.exit_code, 0) << logged.err;
  EXPECT_NE(logged.out.find((folder_ / "tavrin_Log.txt").string()), std::string::npos) << logged.out;
  EXPECT_EQ(ReadAll(folder_ / "tavrin_Log.txt"), "cable checked\n");
  fs::remove(folder_ / "tavrin_Log.txt");
  fs::create_directory(folder_ / "tavrin_Log.txt");  // cannot be written
  CommandResult lost = RunCommand(program.string(), {"log", "lost", "--json"});
  EXPECT_EQ(lost.exit_code, 1);
  EXPECT_EQ(json::parse(lost.out)["ok"], false);
}

TEST_F(TavrinCommandTest, VersionAndMistypedWordsAreTold) {
  CommandResult version = Run({"--version"});
  EXPECT_EQ(version.exit_code, 0);
  EXPECT_EQ(version.out, std::string("tavrin ") + lib_GetTavrinVersion() + ", library " + lib_GetTavrinVersion() + "\n");
  for (const auto& [args, told] : std::vector<std::pair<std::vector<std::string>, std::string>>{
           {{"--bogus"}, "unknown option \"--bogus\" (see tavrin --help)"},
           {{"machine", "statuss"}, "unknown command \"statuss\"; did you mean \"status\"?"},
           {{"paths", "--jsno"}, "unknown option \"--jsno\"; did you mean \"--json\"?"},
           {{"watch", "--cuont", "1"}, "unknown option \"--cuont\"; did you mean \"--count\"?"},
           {{"pmcc", "get", "D1"}, "unknown command \"pmcc\"; did you mean \"pmc\"?"},
           {{"paths", "extra"}, "unexpected argument \"extra\" (see tavrin paths --help)"}}) {
    CommandResult wrong = Run(args);
    EXPECT_EQ(wrong.exit_code, 2) << told;
    EXPECT_NE(wrong.err.find(told), std::string::npos) << wrong.err;
  }
}

}  // namespace
}  // namespace tavrin::test
