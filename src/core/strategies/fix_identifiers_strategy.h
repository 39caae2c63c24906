// FixIdentifiersStrategy: gives the views of a project's own Interface Builder files their
// accessibility identifiers where they lie, inserting only what Xcode would write and where.
// Stateless.
#pragma once

#include "core/filemanager/korvast_file_manager.h"
#include "core/options/argument.h"
#include "core/strategies/command_outcome.h"
#include "core/strategies/run_report.h"
#include "support/output_byte_stream.h"

namespace korvaster {

class FixIdentifiersStrategy {
 public:
  // Holds the project folder's lock, finds its IB files as `modify` does, or only those among
  // the files and folders named after the options (see findNamedInterfaceBuilderFiles; the
  // project folder is then the current directory unless --path names another), less those an
  // exclude glob takes, and inserts each file's missing identifiers, replacing the file
  // atomically unless it changed meanwhile. With the dry-run option nothing is written: the
  // unified diff of every file that would change goes to `output`, file by file in order,
  // with paths relative to the project folder. result: the project folder; description: the
  // sentence naming it, which says how many files were left as they were when a file could
  // not be read, parsed or listed (exitStatus 1 then). Per-file failures are logged and
  // counted (see passOverProjectFiles); throws KorvastError::missedProjectPath, the project
  // lock's and folder's errors, and the file layer's FileIOError(writeFailed) when the disk
  // would not take a file.
  static CommandOutcome run(const Arguments& arguments, const KorvastFileManager& fileManager,
                            support::OutputByteStream& output, RunReport* report = nullptr);
};

}  // namespace korvaster
