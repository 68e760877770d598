// `tavrin publish`: the machine's state to the shop's MQTT broker.
#ifndef TAVRIN_TOOLS_PUBLISH_PUBLISH_COMMAND_H
#define TAVRIN_TOOLS_PUBLISH_PUBLISH_COMMAND_H

#include <CLI/CLI.hpp>

#include "commands.h"

namespace tavrin::cli {

// Defines the publish command; its callback checks every option and the
// items file before anything is connected.
void AddPublishCommand(CLI::App& app, Context& context);

}  // namespace tavrin::cli

#endif
