// The command families of the tavrin command.  Each Add function defines its
// commands with CLI11; a command's callback checks its arguments (throwing
// CLI::ValidationError, so bad input is refused before anything is sent)
// and leaves in the Context what to run.
#ifndef TAVRIN_TOOLS_COMMANDS_H
#define TAVRIN_TOOLS_COMMANDS_H

#include <CLI/CLI.hpp>

#include <functional>
#include <string>

#include "connection.h"
#include "output.h"
#include "read_watch.h"

namespace tavrin::cli {

struct Context {
  bool json = false;
  ConnectionOptions connection;
  std::string connect_text = "default";
  std::string drive_c;  // --drive-c: the folder that stands for drive C:

  // What the chosen command runs; exactly one is set.
  std::function<int(Session&, Output&)> with_cnc;          // one run against the CNC
  std::function<int(Output&)> without_cnc;                  // no CNC needed
  std::function<int(Connection&, Output&)> with_connection;  // several runs (watch)
};

void AddNcCommands(CLI::App& app, Context& context);
void AddMachineCommands(CLI::App& app, Context& context);
void AddSimCommands(CLI::App& app, Context& context);
// chuck, jaws and work: get SIDE, set SIDE Z (one model, as sim models and sim set-z).
void AddModelCommands(CLI::App& app, Context& context);
// sim start, end, redraw, soft and files (the simulation application); after AddSimCommands.
void AddSimControlCommands(CLI::App& app, Context& context);
void AddDemoCommand(CLI::App& app, Context& context);
// language (the display language) and log TEXT.
void AddUtilCommands(CLI::App& app, Context& context);
// serial send and serial listen: a check of a cable (no CNC).
void AddSerialCommands(CLI::App& app, Context& context);
// help-all: the reference of every command, from the same definitions.
void AddReferenceCommand(CLI::App& app, Context& context);

// One status reading (lib_ReadMachineStatus) as the JSON fields, the table
// rows and the failed reads it gives; path_count -1 (and `code`) when the
// path count could not be read.
struct StatusReading {
  Json data;
  std::vector<FailedRead> failures;
  Table table;
  short code;
  short path_count;
};
StatusReading ReadStatus(unsigned short handle);

// The status table of every machine signal (machine status, watch).
int ShowMachineStatus(Session& session, Output& out);

}  // namespace tavrin::cli

#endif
