// What every command and workflow returns: a path a later step can use, and the sentence
// for the user.
#pragma once

#include <string>

namespace korvaster {

struct CommandOutcome {
  std::string result;
  std::string description;
};

}  // namespace korvaster
