#include "core/commands/versioning.h"

#include "core/options/command_line_table.h"
#include "core/project_version.h"

namespace korvaster {

const Versioning Versioning::currentVerssion{KORVASTER_VERSION_MAJOR, KORVASTER_VERSION_MINOR,
                                             KORVASTER_VERSION_PATCH};

std::string Versioning::completeDisplayString() const {
  return std::string(Constants::CommandInfo::Name) + " \u2014 " + std::to_string(major) + "." +
         std::to_string(minor) + "." + std::to_string(patch);
}

}  // namespace korvaster
