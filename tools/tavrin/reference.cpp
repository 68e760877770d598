// tavrin help-all: the reference of every command in Markdown, made from the
// same CLI11 definitions that parse the command line, so it cannot drift
// from them.  The build writes it to tavrin-reference.md.
#include <iostream>

#include "commands.h"

namespace tavrin::cli {

namespace {

void Describe(CLI::App* command, const std::string& parent, std::string* text) {
  std::string name = parent.empty() ? command->get_name() : parent + " " + command->get_name();
  *text += "### `" + name + "`\n\n";
  // The formatter itself: App::help would show the command being run
  // (help-all) instead of the one asked for.
  *text += "```text\n" + command->get_formatter()->make_help(command, name, CLI::AppFormatMode::Normal) + "```\n\n";
  for (CLI::App* sub : command->get_subcommands([](CLI::App*) { return true; })) Describe(sub, name, text);
}

}  // namespace

std::string Reference(CLI::App& app) {
  std::string text;
  Describe(&app, "", &text);
  return text;
}

void AddReferenceCommand(CLI::App& app, Context& context) {
  app.add_subcommand("help-all", "the reference of every command, in Markdown")->callback([&app, &context] {
    context.without_cnc = [&app](Output& out) {
      std::string text = Reference(app);
      out.data()["reference"] = text;
      if (!out.json()) std::cout << text;
      return static_cast<int>(kExitOk);
    };
  });
}

}  // namespace tavrin::cli
