#include "data_files.h"

#include <cstdlib>
#include <filesystem>

#include "process_info.h"

namespace fs = std::filesystem;

namespace tavrin::cli {

namespace {
std::string FindData(const std::string& relative_installed, const std::string& relative_source) {
  std::error_code ignored;
  std::string program = tavrin::tools::ProgramFile();
  if (!program.empty()) {
    fs::path beside = fs::path(program).parent_path() / ".." / "share" / "tavrin" / relative_installed;
    if (fs::exists(beside, ignored)) return fs::weakly_canonical(beside, ignored).string();
  }
  fs::path source = fs::path(TAVRIN_TOOLS_SOURCE_DIR) / relative_source;
  if (fs::exists(source, ignored)) return source.string();
  fs::path installed = fs::path(TAVRIN_TOOLS_DATA_DIR) / relative_installed;
  if (fs::exists(installed, ignored)) return installed.string();
  return {};
}

bool IsProgram(const fs::path& path) {
  std::error_code ignored;
  fs::file_status status = fs::status(path, ignored);
  return fs::is_regular_file(status) && (status.permissions() & fs::perms::owner_exec) != fs::perms::none;
}
}  // namespace

std::string ExampleMachineFile() { return FindData("lathe.toml", "examples/lathe.toml"); }

std::string ExampleSimFolder() { return FindData("sim", "examples/sim"); }

std::string DefaultStateFile() {
  std::string folder = tavrin::tools::StateFolder();
  return folder.empty() ? std::string() : (fs::path(folder) / "tavrin" / "machine.toml").string();
}

std::string SimulatedCncLibrary() {
  std::error_code ignored;
  std::string program = tavrin::tools::ProgramFile();
  if (!program.empty()) {
    // Beside the program (Windows keeps DLLs there), or in LIBDIR beside BINDIR.
    fs::path folder = fs::path(program).parent_path();
    for (const fs::path& beside : {folder / TAVRIN_TOOLS_SIMCNC_NAME,
                                   folder / ".." / TAVRIN_TOOLS_LIB_DIR_NAME / TAVRIN_TOOLS_SIMCNC_NAME}) {
      if (fs::exists(beside, ignored)) return fs::weakly_canonical(beside, ignored).string();
    }
  }
  for (const char* path : {TAVRIN_TOOLS_SIMCNC_BUILT, TAVRIN_TOOLS_SIMCNC_INSTALLED}) {
    if (fs::exists(path, ignored)) return path;
  }
  return {};
}

std::string SimulationViewer() {
  std::string program = tavrin::tools::ProgramFile();
  if (program.empty()) return {};
  fs::path folder = fs::path(program).parent_path();
  for (const fs::path& candidate : {folder / "tavrin-simview", folder / "simview" / "tavrin-simview"}) {
    if (IsProgram(candidate)) return candidate.string();
  }
  return {};
}

}  // namespace tavrin::cli
