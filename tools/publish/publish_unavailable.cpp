// The publish command of a tavrin built without libmosquitto: it says so.
#include "publish_command.h"

namespace tavrin::cli {

void AddPublishCommand(CLI::App& app, Context& /*context*/) {
  app.add_subcommand("publish", "not built: this tavrin was built without libmosquitto (libmosquitto-dev)")
      ->allow_extras()
      ->callback([] { throw CLI::ValidationError("publish is not built in: install libmosquitto-dev and rebuild"); });
}

}  // namespace tavrin::cli
