// tavrin: a technician's console over the Tavrin library.  Reads and changes
// what the library reaches (CNC parameters, PMC data, macro variables, tool
// offsets, the machine object, the simulation's files) from a shell, against
// the simulated CNC by default or a FOCAS2 library named with --focas.
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "commands.h"
#include "parse.h"
#include "publish_command.h"
#include "tavrin/configuration.h"
#include "tavrin/version.h"
#include "tavrin/message.h"

namespace {

// The deepest command that the parse reached (the program itself when none).
CLI::App* DeepestCommand(CLI::App* app) {
  for (std::vector<CLI::App*> parsed = app->get_subcommands(); !parsed.empty(); parsed = app->get_subcommands()) {
    app = parsed.back();
  }
  return app;
}

// "tavrin machine": how to call `command`, for "see ... --help".
std::string CommandPath(const CLI::App* command) {
  std::string path = command->get_name();
  for (const CLI::App* up = command->get_parent(); up != nullptr; up = up->get_parent()) {
    path = up->get_name() + " " + path;
  }
  return path;
}

// A word that `command` does not know, named with the nearest valid one:
// an option of the command or of those above it (their options may follow
// it), else one of its subcommands.
std::string UnknownWord(CLI::App* command, const std::string& word) {
  std::vector<std::string> candidates;
  bool option = word.size() > 1 && word[0] == '-';
  if (option) {
    for (CLI::App* level = command; level != nullptr; level = level->get_parent()) {
      for (const CLI::Option* known : level->get_options()) {
        for (const std::string& name : known->get_lnames()) candidates.push_back("--" + name);
        for (const std::string& name : known->get_snames()) candidates.push_back("-" + name);
      }
    }
  } else {
    for (const CLI::App* sub : command->get_subcommands([](CLI::App*) { return true; })) {
      candidates.push_back(sub->get_name());
    }
    if (candidates.empty()) return "unexpected argument \"" + word + "\"";
  }
  std::string typed = option ? word.substr(0, word.find('=')) : word;
  std::string message = std::string(option ? "unknown option" : "unknown command") + " \"" + typed + "\"";
  std::string nearest = tavrin::cli::NearestWord(typed, candidates);
  if (!nearest.empty()) message += "; did you mean \"" + nearest + "\"?";
  return message;
}

// An empty name is refused rather than taken as "the default".
std::string NotEmpty(const std::string& text) {
  return text.empty() ? std::string("an empty name: leave the option out for the default") : std::string();
}

int ForwardMessage(const char* text, const char* /*caption*/, unsigned int /*style*/, void* user) {
  static_cast<tavrin::cli::Output*>(user)->LibraryMessage(text != nullptr ? text : "");
  return 1;  // IDOK: the library's boxes here are all OK boxes
}

}  // namespace

int main(int argc, char** argv) {
  using namespace tavrin::cli;
  Context context;
  CLI::App app{"tavrin: read and change what the Tavrin library reaches on a CNC lathe, from a shell.\n"
               "Talks to the simulated CNC unless --focas names a FOCAS2 library.",
               "tavrin"};
  app.fallthrough();  // global options may follow the command too
  app.require_subcommand(1);
  app.set_version_flag("--version", std::string("tavrin ") + TAVRIN_TOOLS_VERSION + ", library " + lib_GetTavrinVersion(),
                       "print the command's and the library's version and exit");
  app.add_flag("--json", context.json, "machine-readable output: one JSON document on standard output");
  CLI::Option* sim = app.add_option("--sim", context.connection.sim_file,
                                    "state file of the simulated CNC (default: $XDG_STATE_HOME/tavrin/machine.toml, "
                                    "made from the example lathe when missing, in a folder that exists)")
                         ->check([](const std::string& file) {
                           std::string empty = NotEmpty(file);
                           if (!empty.empty()) return empty;
                           // A mistyped folder is refused, not made.
                           std::filesystem::path folder = std::filesystem::path(file).parent_path();
                           std::error_code ignored;
                           if (folder.empty() || std::filesystem::is_directory(folder, ignored)) return std::string();
                           return "the folder " + folder.string() + " does not exist";
                         });
  app.add_option("--focas", context.connection.focas, "talk to the CNC through this FOCAS2 library instead")
      ->check(NotEmpty)
      ->excludes(sim);
  app.add_option("--connect", context.connect_text, "how to open the handle: default, node9 or ADDRESS[:PORT] (port 8193)");
  app.add_option("--path", context.connection.path, "select this CNC path first (1..10)")->check(CLI::Range(1, 10));
  app.add_option("--drive-c", context.drive_c,
                 "the folder that stands for drive C: (the simulation's files), as TAVRIN_DRIVE_C");

  AddDemoCommand(app, context);
  AddNcCommands(app, context);
  AddMachineCommands(app, context);
  AddSimCommands(app, context);
  AddModelCommands(app, context);
  AddSimControlCommands(app, context);
  AddUtilCommands(app, context);
  AddSerialCommands(app, context);
  AddPublishCommand(app, context);
  AddReferenceCommand(app, context);

  try {
    app.parse(argc, argv);
    std::string error;
    if (!ParseConnect(context.connect_text, &context.connection.target, &error)) throw CLI::ValidationError(error);
  } catch (const CLI::CallForHelp& help) {
    return app.exit(help);
  } catch (const CLI::CallForAllHelp& help) {
    return app.exit(help);
  } catch (const CLI::CallForVersion& version) {
    return app.exit(version);
  } catch (const CLI::ParseError& bad) {
    Output out(context.json);
    // A word that names no command or option leaves its command without a
    // subcommand: name that word, rather than say that a subcommand is missing.
    CLI::App* command = DeepestCommand(&app);
    std::vector<std::string> unknown = app.remaining(true);
    std::string message = unknown.empty() ? bad.what() : UnknownWord(command, unknown.front());
    return out.Finish(out.Fail(kExitUsage, message + " (see " + CommandPath(command) + " --help)"));
  }

  Output out(context.json);
  tavrin_set_message_handler(&ForwardMessage, &out);
  if (!context.drive_c.empty()) lib_SetDriveFolder('C', context.drive_c.c_str());

  int result = kExitOk;
  if (context.without_cnc) {
    result = context.without_cnc(out);
  } else {
    Connection connection(context.connection, out);
    result = connection.Prepare();
    if (result == kExitOk && context.with_connection) {
      result = context.with_connection(connection, out);
      tavrin_set_message_handler(nullptr, nullptr);
      return result;  // watch wrote its own output, one document per refresh
    }
    if (result == kExitOk) {
      result = connection.Run([&context, &out](Session& session) { return context.with_cnc(session, out); });
    }
  }
  tavrin_set_message_handler(nullptr, nullptr);
  return out.Finish(result);
}
