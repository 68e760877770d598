// Utility commands: the display language the panel would use, and a line in
// the log file.
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>

#include "commands.h"
#include "process_info.h"
#include "read_watch.h"
#include "tavrin/nc/cnc_params.h"
#include "tavrin/util/language.h"
#include "tavrin/util/log.h"

namespace fs = std::filesystem;
namespace tavrin::cli {

namespace {

// A language parameter as one unsigned byte; -1 when it cannot be read.
int ParamByte(unsigned short handle, short number) {
  char value = 0;
  if (lib_ReadCncParam_Byte(handle, number, 0, &value) != 0) return -1;
  return static_cast<unsigned char>(value);
}

// The code, and how lib_GetLanguage came to it, from the same parameters.
int ShowLanguage(Session& session, Output& out) {
  // lib_GetLanguage falls back to a default when its reads fail: the watch
  // tells that apart from a language the CNC really gave.
  ReadWatch watch;
  int code = 0;
  watch.Watch("lib_GetLanguage", [&] { code = lib_GetLanguage(session.handle()); });  // selects path 1
  bool japanese = lib_IsJapaneseSetting();
  int source = ParamByte(session.handle(), 7364);
  int panel = ParamByte(session.handle(), 7240);
  int cnc = ParamByte(session.handle(), 3281);
  std::string how;
  int chosen = -1;
  if (source < 0) {
    how = "parameter 7364 cannot be read";
  } else if ((source & 0x02) != 0) {
    how = "parameter 7364 bit 1 is set: the CNC's language, parameter 3281";
    chosen = cnc;
  } else if (panel != 0) {
    how = "parameter 7364 bit 1 is clear: the panel's language, parameter 7240";
    chosen = panel;
  } else {
    how = "parameter 7364 bit 1 is clear and 7240 holds 0: the CNC's language, parameter 3281";
    chosen = cnc;
  }
  if (chosen == 1) how += "; code 1 needs a Japanese user language";
  if (chosen == 4 || chosen == 15) how += "; codes 4 and 15 need a Chinese (Taiwan or PRC) user language";
  out.data()["code"] = code;
  auto byte = [](int value) { return value < 0 ? Json(nullptr) : Json(value); };  // null: not read
  out.data()["parameters"] = {{"p7364", byte(source)}, {"p7240", byte(panel)}, {"p3281", byte(cnc)}};
  out.data()["japanese_user"] = japanese;
  out.data()["decided"] = how;
  out.Line("display language code " + std::to_string(code));
  out.Line(how);
  out.Line(std::string("user's language is ") + (japanese ? "Japanese" : "not Japanese"));
  return watch.Report(out);
}

// The file lib_OutputLog appends to: this program's own, without its
// extension, followed by "_Log.txt"; empty when the program's file is unknown.
std::string LogFile() {
  std::string program = tavrin::tools::ProgramFile();
  if (program.empty()) return {};
  return fs::path(program).replace_extension().string() + "_Log.txt";
}

std::uintmax_t FileSize(const std::string& file) {
  std::error_code missing;
  std::uintmax_t size = fs::file_size(file, missing);
  return missing ? 0 : size;
}

// The library reports nothing, so the file is read back: the part appended
// by the call must hold the line (other programs may log at the same time).
int AppendToLog(const std::string& text, Output& out) {
  std::string file = LogFile();
  std::uintmax_t before = file.empty() ? 0 : FileSize(file);
  lib_OutputLog(text.c_str());
  if (file.empty()) return out.Fail(kExitFailed, "cannot tell this program's own file, so nor where its log file is");
  out.data()["log_file"] = file;
  std::error_code ignored;
  std::string appended;
  if (fs::is_regular_file(file, ignored)) {
    std::ifstream in(file, std::ios::binary);
    if (before > FileSize(file)) before = 0;  // emptied meanwhile
    in.seekg(static_cast<std::streamoff>(before));
    appended.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  auto without_returns = [](std::string line) {  // Windows writes "\r\n"
    line.erase(std::remove(line.begin(), line.end(), '\r'), line.end());
    return line;
  };
  if (without_returns(appended).find(without_returns(text) + "\n") == std::string::npos) {
    return out.Fail(kExitFailed, "the line did not arrive in " + file +
                                     " (it cannot be opened or written there, or its path is longer than 259 "
                                     "characters)");
  }
  out.data()["logged"] = text;
  out.Line("logged to " + file + ": " + text);
  return kExitOk;
}

}  // namespace

void AddUtilCommands(CLI::App& app, Context& context) {
  CLI::App* language = app.add_subcommand(
      "language", "the panel's display language code (lib_GetLanguage; selects path 1) and how it was decided");
  language->callback([&context] { context.with_cnc = &ShowLanguage; });

  auto text = std::make_shared<std::string>();
  CLI::App* log = app.add_subcommand(
      "log", "append a line to this program's log file, tavrin_Log.txt beside it (lib_OutputLog; no CNC call), "
             "read it back and say where it went: exit 1 when it did not arrive");
  log->add_option("text", *text, "the line, written as it is")->required();
  log->callback([&context, text] { context.without_cnc = [text](Output& out) { return AppendToLog(*text, out); }; });
}

}  // namespace tavrin::cli
