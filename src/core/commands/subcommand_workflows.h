// The workflow each subcommand level runs: what the command does once its Arguments are read.
#pragma once

#include "core/commands/registerable_command.h"
#include "core/options/command_line_table.h"

namespace korvaster {

// The workflow of `level`, a subcommand; null for the top level.
RegisterableCommand::Workflow workflowOf(CommandLevel level);

}  // namespace korvaster
