#include "core/commands/versioning.h"

#include "core/commands/constants.h"

namespace korvaster {

const Versioning Versioning::currentVerssion{1, 0, 0};

std::string Versioning::completeDisplayString() const {
  return std::string(Constants::CommandInfo::Name) + " \u2014 " + std::to_string(major) + "." +
         std::to_string(minor) + "." + std::to_string(patch);
}

}  // namespace korvaster
