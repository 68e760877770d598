// Utility commands: the display language the panel would use, and a line in
// the log file.
#include <memory>
#include <string>

#include "commands.h"
#include "read_watch.h"
#include "tavrin/nc/cnc_params.h"
#include "tavrin/util/language.h"
#include "tavrin/util/log.h"

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
  out.data()["parameters"] = {{"7364", source}, {"7240", panel}, {"3281", cnc}};
  out.data()["japanese_user"] = japanese;
  out.data()["decided"] = how;
  out.Line("display language code " + std::to_string(code));
  out.Line(how);
  out.Line(std::string("user's language is ") + (japanese ? "Japanese" : "not Japanese"));
  return watch.Report(out);
}

}  // namespace

void AddUtilCommands(CLI::App& app, Context& context) {
  CLI::App* language = app.add_subcommand(
      "language", "the panel's display language code (lib_GetLanguage; selects path 1) and how it was decided");
  language->callback([&context] { context.with_cnc = &ShowLanguage; });

  auto text = std::make_shared<std::string>();
  CLI::App* log = app.add_subcommand(
      "log", "append a line to this program's log file, beside it (lib_OutputLog; no CNC call)");
  log->add_option("text", *text, "the line, written as it is")->required();
  log->callback([&context, text] {
    context.without_cnc = [text](Output& out) {
      lib_OutputLog(text->c_str());
      out.data()["logged"] = *text;
      out.Line("logged: " + *text);
      return static_cast<int>(kExitOk);
    };
  });
}

}  // namespace tavrin::cli
