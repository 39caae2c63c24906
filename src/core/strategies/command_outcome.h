// What every command and workflow returns: a path a later step can use, and the sentence
// for the user.
#pragma once

#include <string>

namespace korvaster {

struct CommandOutcome {
  std::string result;
  // Logged when the run ends, unless empty.
  std::string description;
  // The process's exit status when the run did not fail; a command that reports what it found
  // through the status (check) sets it.
  int exitStatus = 0;
};

}  // namespace korvaster
