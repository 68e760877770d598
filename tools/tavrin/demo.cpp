// tavrin demo: the two typical requests of an operator application, told in
// words, against the simulated CNC loaded with the example machine and a
// temporary copy of the example simulation folder.  Nothing outside that
// temporary folder is touched.
//
// On an X display, with tavrin-simview beside the command, the second request
// is also seen through the simulation viewer: the demo starts it as the
// application starts the simulation (CLibSimuModule::StartSimulationSoft with
// TAVRIN_SIMULATION naming the viewer), lets it watch a state file in the
// temporary folder (XDG_STATE_HOME points there, so the file is the viewer's
// default one), waits until it has taken the redraw request and closes its
// window with EndSimulationSoft.  Otherwise the CNC lives in this process
// alone and no state file is used.
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <iostream>
#include <random>
#include <thread>

#include "commands.h"
#include "data_files.h"
#include "journal_view.h"
#include "simulated_cnc.h"
#include "process_info.h"
#include "tavrin/configuration.h"
#include "tavrin/util/system.h"
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

// The simulated CNC's control table, once RunDemo has loaded it.
const sim::Control* simulated = nullptr;

// Tells each step, with the FOCAS2 calls it made, to people or into the
// JSON document's "steps".
class Narrator {
 public:
  explicit Narrator(Output& out) : out_(out), steps_(Json::array()) {}
  ~Narrator() { out_.data()["steps"] = steps_; }

  // Starts the next step, numbered from 1; later lines of `text` are indented
  // by three spaces to stand under its first.
  void Say(const std::string& text) {
    std::string numbered = std::to_string(steps_.size() + 1) + ". " + text;
    steps_.push_back({{"text", numbered}, {"calls", Json::array()}});
    out_.Line("");
    out_.Line(numbered);
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
    std::vector<sim::JournalEntry> journal = simulated->journal();
    for (std::size_t i = shown_; i < journal.size(); ++i) {
      std::string line = DescribeCall(*simulated, journal[i]);
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

// The machine the steps work on.  Without a state file it lives in this
// process alone.  With one (the viewer road) each step loads it, works and
// saves it back under the file's lock for that step only, so that the viewer,
// another process, sees every PMC change and can clear the redraw request
// between steps.
class CncState {
 public:
  bool UseFile(const std::string& path, std::string* error) {
    file_ = path;
    return simulated->load_file(path, error);
  }
  // Runs `step` on the machine; false (and *error) when the state file could
  // not be loaded (then `step` did not run) or saved.
  bool Step(const std::function<void()>& step, std::string* error) const {
    if (file_.empty()) {
      step();
      return true;
    }
    auto run = [](void* user) { (*static_cast<const std::function<void()>*>(user))(); };
    return simulated->with_state_file(file_, run, const_cast<std::function<void()>*>(&step), error);
  }
  // True when the state file no longer holds the redraw request D9693.3.  The
  // viewer replaces the file in one rename, so it is read without the lock.
  bool RedrawTaken() const {
    std::string error;
    std::uint8_t byte = 0;
    return simulated->load_file(file_, &error) && simulated->get_pmc_byte('D', 9693, &byte) && (byte & 0x08) == 0;
  }

 private:
  std::string file_;
};

constexpr std::chrono::seconds kViewerPatience{10};

// Looks every 50 ms until `done` holds (true) or kViewerPatience has passed.
bool WaitFor(const std::function<bool()>& done) {
  const auto deadline = std::chrono::steady_clock::now() + kViewerPatience;
  while (!done()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  return true;
}

// The simulation window's title, as EndSimulationSoft(true) looks for it: the
// machine file's name from the settings file (after the last backslash, up to
// the last 'p'), then " - QV Cell Desk"; empty when the settings name none.
std::string SimulationTitle() {
  char path[TAVRIN_SIMU_PATH_SIZE] = {};
  if (!CLibSimuModule().GetSimuAplSettingFilePath(path, sizeof path, TAVRIN_SIMU_MACHINE_FILE)) return {};
  std::string name = path;
  name = name.substr(name.rfind('\\') + 1);
  std::size_t p = name.rfind('p');
  return p == std::string::npos ? std::string() : name.substr(0, p + 1) + " - QV Cell Desk";
}

// Whether the viewer road can be taken; when not, *why says so.
bool ViewerRoadOpen(const std::string& viewer, const std::string& title, std::string* why) {
  const char* display = std::getenv("DISPLAY");
  if (display == nullptr || *display == '\0') {
    *why = "No X display (DISPLAY names none): run the demo on one to see tavrin-simview redraw the moved chuck.";
  } else if (viewer.empty()) {
    *why = "tavrin-simview is not beside this command: build or install it to see it redraw the moved chuck.";
  } else if (title.empty()) {
    *why = "The simulation's settings file names no machine file, so the viewer's window would have no title.";
  } else if (lib_IsTopLevelWindowOpen(title.c_str()) != 0) {
    *why = "A window \"" + title + "\" is already open: the demo leaves it alone and starts no viewer.";
  }
  return why->empty();
}

// Closes the viewer's window if the demo ends before its closing step.
struct ViewerGuard {
  bool open = false;
  ~ViewerGuard() {
    if (open) CLibSimuModule().EndSimulationSoft(true);
  }
};

int RunDemo(Output& out) {
  std::string example = ExampleMachineFile();
  std::string sim_folder = ExampleSimFolder();
  if (example.empty() || sim_folder.empty()) {
    return out.Fail(kExitNoConnection, "cannot find the example machine or the example simulation folder");
  }
  std::string error;
  simulated = LoadSimulatedCnc(&error);
  if (simulated == nullptr) return out.Fail(kExitNoConnection, error);
  if (!simulated->load_file(example, &error)) return out.Fail(kExitNoConnection, "example machine: " + error);
  TemporaryCopy drive_c;
  if (!drive_c.Make(sim_folder, &error)) return out.Fail(kExitNoConnection, error);
  lib_SetDriveFolder('C', drive_c.path().string().c_str());
  std::cerr << "tavrin: talking to the SIMULATED CNC, not to a machine\n";

  const std::string viewer = SimulationViewer();
  const std::string title = SimulationTitle();
  std::string no_viewer;
  CncState cnc;
  ViewerGuard viewer_window;
  bool with_viewer = ViewerRoadOpen(viewer, title, &no_viewer);
  if (with_viewer) {
    fs::path state_home = drive_c.path() / "state";
    fs::path state_file = state_home / "tavrin" / "machine.toml";
    std::error_code code;
    fs::create_directories(state_file.parent_path(), code);
    if (!fs::copy_file(example, state_file, code) || !cnc.UseFile(state_file.string(), &error)) {
      return out.Fail(kExitNoConnection, "cannot make the state file " + state_file.string());
    }
    // The viewer, started by the library, finds the state file as its default.
    tavrin::tools::SetEnvironment("XDG_STATE_HOME", state_home.string().c_str());
    lib_SetSimulationProgram(viewer.c_str());
  }
  out.data()["viewer"] = with_viewer;
  auto failed_state = [&out, &error] { return out.Fail(kExitNoConnection, "simulated CNC state file: " + error); };

  Narrator say(out);
  tavrin_set_message_handler(&ShowBox, &say);
  simulated->clear_journal();
  out.Line("Tavrin demonstration against the simulated CNC.");
  out.Line("Machine: " + example);
  out.Line("Simulation files: a temporary copy of " + sim_folder + " standing for drive C:");
  out.Line(with_viewer ? "Simulation viewer: " + viewer + ", watching the state file in that copy" : no_viewer);

  say.Say("The application opens a CNC library handle with lib_GetNcLibHandle, which calls cnc_allclibhndl.");
  unsigned short handle = 0;
  short code = lib_GetNcLibHandle(&handle);
  say.ShowCalls();
  if (code != 0) return out.FailCode(code, "lib_GetNcLibHandle");
  say.Note("The application keeps handle " + std::to_string(handle) + " and passes it to every call.");

  say.Say("The operator switches single block on. The application makes a CLibMchn with the handle and calls\n"
          "   SetSingleBlockMode(true): the machine object reads the PMC byte D9550 (address type 9 is the letter D),\n"
          "   sets bit 2 and writes the whole byte back.");
  CLibMchn machine(handle);
  bool stored = cnc.Step([&machine] {
    // Start from single block off, so that the request can be seen to change the byte.
    simulated->set_pmc_byte('D', 9550, 0);
    simulated->set_pmc_byte('F', 4, 0);
    machine.SetSingleBlockMode(true);
  }, &error);
  say.ShowCalls();
  if (!stored) return failed_state();
  say.Say("The machine's PMC program reads the request and reports single block in force in F4.3. The simulated\n"
          "   CNC runs no PMC program, so the demo plays its part and sets F4.3.");
  bool on = false;
  stored = cnc.Step([&machine, &on] {
    simulated->set_pmc_byte('F', 4, 0x08);
    on = machine.GetSingleBlockMode();
  }, &error);
  say.ShowCalls();
  if (!stored) return failed_state();
  say.Note(std::string("GetSingleBlockMode() reads F4.3: single block is ") + (on ? "ON." : "off."));

  bool viewer_up = false;
  if (with_viewer) {
    say.Say("The operator opens the collision-check simulation: CLibSimuModule(handle).StartSimulationSoft(false) starts\n"
            "   the program that TAVRIN_SIMULATION names, here tavrin-simview, in C:\\QvApplication\\Qv Crash Preview\\.\n"
            "   It draws both spindles from the simulation files and watches D9693.3 in the state file.");
    CLibSimuModule(handle).StartSimulationSoft(false);
    viewer_window.open = true;
    viewer_up = WaitFor([&title] { return lib_IsTopLevelWindowOpen(title.c_str()) != 0; });
    say.Note(viewer_up ? "The window \"" + title + "\" is up."
                       : "No window \"" + title + "\" appeared within " + std::to_string(kViewerPatience.count()) +
                             " s: the demo goes on without the viewer.");
  }

  say.Say("The operator moves the left chuck in the collision-check simulation. CLibChuckModel('L') looks for the\n"
          "   left chuck in the machine file that Orvex.ini's \"filepath\" names.");
  CLibChuckModel chuck('L');
  bool defined = chuck.IsDefine();
  double before = chuck.GetPosZ();
  say.Note(std::string("IsDefine(): ") + (defined ? "yes" : "no") + "; GetPosZ(): " + NumberText(before));
  const double target = before - 30.0;
  short moved = chuck.SetPosZ(target);
  say.Note("SetPosZ(" + NumberText(target) + ") rewrites the assembly file and the machine file through temporary files: " +
           (moved == 0 ? "done" : "failed") + "; GetPosZ() now reads " + NumberText(chuck.GetPosZ()));
  say.Say("The simulation must redraw: the application makes a CLibSimuModule with the handle and calls\n"
          "   RequireSimuRedraw(), which reads the PMC byte D9693, sets bit 3 and writes the whole byte back.");
  stored = cnc.Step([handle, &code] { code = CLibSimuModule(handle).RequireSimuRedraw(); }, &error);
  say.ShowCalls();
  if (!stored) return failed_state();
  if (code != 0) return out.FailCode(code, "RequireSimuRedraw");
  bool redrawn = !viewer_up || WaitFor([&cnc] { return cnc.RedrawTaken(); });
  if (viewer_up) {
    say.Note(redrawn ? "Then the viewer redrew: D9693.3 is clear again (the viewer cleared it, as the PMC program would),\n"
                       "and its window shows the left chuck at Z " + NumberText(target) + "."
                     : "The viewer did not clear D9693.3 within " + std::to_string(kViewerPatience.count()) + " s.");
  }

  say.Say("A call that fails: this CNC has no parameter 32000. lib_ReadCncParam_Word passes the FOCAS2 code back,\n"
          "   and lib_MBFocas2Error names it for the operator.");
  short word = 0;
  stored = cnc.Step([handle, &word, &code] { code = lib_ReadCncParam_Word(handle, 32000, 0, &word); }, &error);
  say.ShowCalls();
  if (!stored) return failed_state();
  lib_MBFocas2Error(code, "lib_ReadCncParam_Word", "tavrin demo");
  say.Note("Return code " + std::to_string(code) + " is " + CodeText(code) + ".");

  bool closed = true;
  if (with_viewer) {
    say.Say("The operator closes the simulation: CLibSimuModule(handle).EndSimulationSoft(true) asks the window\n"
            "   \"" + title + "\" to close (WM_DELETE_WINDOW on X) and returns once no window bears that title.");
    CLibSimuModule(handle).EndSimulationSoft(true);
    viewer_window.open = false;
    closed = !lib_IsTopLevelWindowOpen(title.c_str()) != 0;
    say.Note(!viewer_up ? "No window bore the title, so the call returned at once."
                        : closed ? "The viewer's window is closed." : "The viewer's window is still there.");
  }

  say.Say("At the end the application frees its handle with lib_FreeHandle.");
  lib_FreeHandle(handle);
  say.ShowCalls();
  tavrin_set_message_handler(nullptr, nullptr);
  out.Line("");
  out.Line("Next: `tavrin machine status`, `tavrin param get 1420 --kind two-word --axis all`, `tavrin --help`.");
  bool all_done = on && defined && moved == 0 && code == EW_NUMBER && redrawn && closed;
  return all_done ? kExitOk : out.Fail(kExitFailed, "the demonstration did not go as described");
}

}  // namespace

void AddDemoCommand(CLI::App& app, Context& context) {
  app.add_subcommand("demo", "the typical requests of an operator application against the simulated CNC, told in words")
      ->callback([&context] { context.without_cnc = RunDemo; });
}

}  // namespace tavrin::cli
