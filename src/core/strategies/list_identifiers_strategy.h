// ListIdentifiersStrategy: reads a project's Interface Builder files where they lie and lists
// every view with the identifier it has or would be given, a readable name and the class that
// owns it. It writes nothing to disk and makes no working folder. Stateless.
#pragma once

#include <memory>

#include "core/options/argument.h"
#include "core/strategies/ids_output.h"
#include "files/file_manager.h"
#include "support/output_byte_stream.h"

namespace korvaster {

class ListIdentifiersStrategy {
 public:
  // Finds the IB files below the project path as `check` does, less those an exclude glob
  // takes, reads them on up to `workers` threads and writes each file's views to `output` in `format`
  // once it and the files before it are done, with paths shown as `check` shows them. Returns
  // 0, or 1 when a file could not be read (each file's failure is written with the views,
  // never thrown). Throws KorvastError::missedProjectPath, the file layer's PathError for a
  // path that is no folder, and support::Interrupted between two files or within one. Counts
  // the files and folders it went through in `entries`, when given.
  static int run(const Arguments& arguments, IdsFormat format,
                 const std::shared_ptr<files::FileManager>& system, support::OutputByteStream& output,
                 std::size_t workers, std::size_t* entries = nullptr);
};

}  // namespace korvaster
