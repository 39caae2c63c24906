#include "core/commands/output_option.h"

#include "files/file_system_errors.h"

namespace korvaster {

void refuseEmptyOutput(const Arguments& arguments, const std::shared_ptr<Logger>& logger) {
  const auto output = lookup(arguments, ArgumentType::outputPath);
  if (!output || !output->empty()) return;
  if (logger) {
    logger->log(LogLevel::Error, [] {
      return "The --output option was given an empty path; name the folder the copy goes into.";
    });
  }
  throw files::PathError::empty();
}

}  // namespace korvaster
