// tavrin demo: the two typical requests of an operator application, told in
// words, against the simulated CNC loaded with the example machine and a
// temporary copy of the example simulation folder.  Nothing outside that
// temporary folder is touched: the demo uses no state file.
#include <filesystem>
#include <iostream>
#include <random>

#include "commands.h"
#include "data_files.h"
#include "journal_view.h"
#include "platform/program_environment.h"
#include "tavrin/machine/mchn.h"
#include "tavrin/message.h"
#include "tavrin/nc/cnc_params.h"
#include "tavrin/nc/error_report.h"
#include "tavrin/nc/handles.h"
#include "tavrin/nc/return_codes.h"
#include "tavrin/simulation/chuck_model.h"
#include "tavrin/simulation/simu_module.h"

namespace fs = std::filesystem;
namespace sim = tavrin::simcnc;

namespace tavrin::cli {

namespace {

// Tells each step, with the FOCAS2 calls it made, to people or into the
// JSON document's "steps".
class Narrator {
 public:
  explicit Narrator(Output& out) : out_(out), steps_(Json::array()) {}
  ~Narrator() { out_.data()["steps"] = steps_; }

  void Say(const std::string& text) {
    steps_.push_back({{"text", text}, {"calls", Json::array()}});
    out_.Line("");
    out_.Line(text);
  }
  void Note(const std::string& text) {
    if (!steps_.empty()) steps_.back()["text"] = steps_.back()["text"].get<std::string>() + "\n" + text;
    std::string indented = "   " + text;
    for (std::size_t at = indented.find('\n'); at != std::string::npos; at = indented.find('\n', at + 1)) {
      indented.insert(at + 1, "   ");
    }
    out_.Line(indented);
  }
  // Shows the calls made since the last ShowCalls.
  void ShowCalls() {
    std::vector<sim::JournalEntry> journal = sim::Journal();
    for (std::size_t i = shown_; i < journal.size(); ++i) {
      std::string line = DescribeCall(journal[i]);
      if (!steps_.empty()) steps_.back()["calls"].push_back(line);
      out_.Line("     FOCAS2: " + line);
    }
    shown_ = journal.size();
  }

 private:
  Output& out_;
  Json steps_;
  std::size_t shown_ = 0;
};

int ShowBox(const char* text, const char* /*caption*/, unsigned int style, void* user) {
  static_cast<Narrator*>(user)->Note("message box (style 0x" + [style] {
    char hex[16];
    std::snprintf(hex, sizeof hex, "%X", style);
    return std::string(hex);
  }() + "): " + std::string(text != nullptr ? text : ""));
  return 1;
}

class TemporaryCopy {
 public:
  bool Make(const std::string& from, std::string* error) {
    std::random_device random;
    for (int attempt = 0; attempt < 10 && path_.empty(); ++attempt) {
      fs::path candidate = fs::temp_directory_path() / ("tavrin-demo-" + std::to_string(random()));
      std::error_code code;
      if (fs::create_directory(candidate, code)) path_ = candidate;
    }
    std::error_code code;
    if (path_.empty()) {
      *error = "cannot make a temporary folder";
      return false;
    }
    fs::copy(from, path_, fs::copy_options::recursive, code);
    if (code) *error = "cannot copy " + from + ": " + code.message();
    return !code;
  }
  ~TemporaryCopy() {
    std::error_code ignored;
    if (!path_.empty()) fs::remove_all(path_, ignored);
  }
  const fs::path& path() const { return path_; }

 private:
  fs::path path_;
};

int RunDemo(Output& out) {
  std::string example = ExampleMachineFile();
  std::string sim_folder = ExampleSimFolder();
  std::string library = SimulatedCncLibrary();
  if (example.empty() || sim_folder.empty() || library.empty()) {
    return out.Fail(kExitNoConnection, "cannot find the example machine, the example simulation folder or the simulated CNC");
  }
  tavrin::platform::SetEnvironmentValue("TAVRIN_FOCAS", library.c_str());
  tavrin::platform::SetEnvironmentValue("TAVRIN_SIMCNC_MACHINE", nullptr);
  std::string error;
  if (!sim::LoadFile(example, &error)) return out.Fail(kExitNoConnection, "example machine: " + error);
  TemporaryCopy drive_c;
  if (!drive_c.Make(sim_folder, &error)) return out.Fail(kExitNoConnection, error);
  tavrin::platform::SetEnvironmentValue("TAVRIN_DRIVE_C", drive_c.path().string().c_str());
  std::cerr << "tavrin: talking to the SIMULATED CNC, not to a machine\n";

  Narrator say(out);
  tavrin_set_message_handler(&ShowBox, &say);
  sim::ClearJournal();
  out.Line("Tavrin demonstration against the simulated CNC.");
  out.Line("Machine: " + example);
  out.Line("Simulation files: a temporary copy of " + sim_folder + " standing for drive C:");

  say.Say("1. The application opens a CNC library handle with lib_GetNcLibHandle, which calls cnc_allclibhndl.");
  unsigned short handle = 0;
  short code = lib_GetNcLibHandle(&handle);
  say.ShowCalls();
  if (code != 0) return out.FailCode(code, "lib_GetNcLibHandle");
  say.Note("The application keeps handle " + std::to_string(handle) + " and passes it to every call.");

  // Start from single block off, so that the request can be seen to change the byte.
  sim::SetPmcByte('D', 9550, 0);
  sim::SetPmcByte('F', 4, 0);
  say.Say("2. The operator switches single block on. The application makes a CLibMchn with the handle and calls\n"
          "   SetSingleBlockMode(true): the machine object reads the PMC byte D9550 (address type 9 is the letter D),\n"
          "   sets bit 2 and writes the whole byte back.");
  CLibMchn machine(handle);
  machine.SetSingleBlockMode(true);
  say.ShowCalls();
  say.Say("3. The machine's PMC program reads the request and reports single block in force in F4.3. The simulated\n"
          "   CNC runs no PMC program, so the demo plays its part and sets F4.3.");
  sim::SetPmcByte('F', 4, 0x08);
  bool on = machine.GetSingleBlockMode();
  say.ShowCalls();
  say.Note(std::string("GetSingleBlockMode() reads F4.3: single block is ") + (on ? "ON." : "off."));

  say.Say("4. The operator moves the left chuck in the collision-check simulation. CLibChuckModel('L') looks for the\n"
          "   left chuck in the machine file that Orvex.ini's \"filepath\" names.");
  CLibChuckModel chuck('L');
  bool defined = chuck.IsDefine();
  double before = chuck.GetPosZ();
  say.Note(std::string("IsDefine(): ") + (defined ? "yes" : "no") + "; GetPosZ(): " + NumberText(before));
  const double target = before - 30.0;
  short moved = chuck.SetPosZ(target);
  say.Note("SetPosZ(" + NumberText(target) + ") rewrites the assembly file and the machine file through temporary files: " +
           (moved == 0 ? "done" : "failed") + "; GetPosZ() now reads " + NumberText(chuck.GetPosZ()));
  say.Say("5. The simulation must redraw: the application makes a CLibSimuModule with the handle and calls\n"
          "   RequireSimuRedraw(), which reads the PMC byte D9693, sets bit 3 and writes the whole byte back.");
  code = CLibSimuModule(handle).RequireSimuRedraw();
  say.ShowCalls();
  if (code != 0) return out.FailCode(code, "RequireSimuRedraw");

  say.Say("6. A call that fails: this CNC has no parameter 32000. lib_ReadCncParam_Word passes the FOCAS2 code back,\n"
          "   and lib_MBFocas2Error names it for the operator.");
  short word = 0;
  code = lib_ReadCncParam_Word(handle, 32000, 0, &word);
  say.ShowCalls();
  lib_MBFocas2Error(code, "lib_ReadCncParam_Word", "tavrin demo");
  say.Note("Return code " + std::to_string(code) + " is " + CodeText(code) + ".");

  say.Say("7. At the end the application frees its handle with lib_FreeHandle.");
  lib_FreeHandle(handle);
  say.ShowCalls();
  tavrin_set_message_handler(nullptr, nullptr);
  out.Line("");
  out.Line("Next: `tavrin machine status`, `tavrin param get 1420 --kind two-word --axis all`, `tavrin --help`.");
  bool all_done = on && defined && moved == 0 && code == EW_NUMBER;
  return all_done ? kExitOk : out.Fail(kExitFailed, "the demonstration did not go as described");
}

}  // namespace

void AddDemoCommand(CLI::App& app, Context& context) {
  app.add_subcommand("demo", "the typical requests of an operator application against the simulated CNC, told in words")
      ->callback([&context] { context.without_cnc = RunDemo; });
}

}  // namespace tavrin::cli
