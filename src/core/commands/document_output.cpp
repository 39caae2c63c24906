#include "core/commands/document_output.h"

#include "core/commands/writable_place.h"
#include "files/file_io_error.h"

namespace korvaster {

namespace {
constexpr WrittenFileLabel kLabel = {"the output file (--output-file)", "an output file"};
}  // namespace

DocumentOutput::DocumentOutput(const Arguments& arguments, const Platform& platform, std::shared_ptr<Logger> logger)
    : platform_(platform), logger_(std::move(logger)), path_(lookup(arguments, ArgumentType::outputFile)) {
  if (path_) refuseUnwritablePlace(platform_.files, *path_, logger_, kLabel);
}

void DocumentOutput::finish() {
  if (!path_) return;
  try {
    platform_.files->writeAtomically(*path_, held_.text(), true);
  } catch (const files::FileIOError& error) {
    if (logger_) {
      logger_->log(LogLevel::Error, [&] {
        return std::string("Can't write ") + kLabel.withOption + ": " + support::genericDescription(error);
      });
    }
    throw;
  }
}

}  // namespace korvaster
