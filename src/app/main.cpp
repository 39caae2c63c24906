// The process entry point: hands the arguments to the tool and returns its status.
#include <string>
#include <vector>

#include "core/commands/korvast_command_line_tool.h"

int main(int argc, char* argv[]) {
  return korvaster::runKorvaster(std::vector<std::string>(argv, argv + argc));
}
