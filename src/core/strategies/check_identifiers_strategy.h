// CheckIdentifiersStrategy: reads a project's Interface Builder files where they lie and
// tells which views the identifier pass would change, and which identifiers repeat. It writes
// nothing to disk and makes no working folder. Stateless.
#pragma once

#include <memory>

#include "core/options/argument.h"
#include "core/strategies/check_filter.h"
#include "core/strategies/check_job_summary.h"
#include "core/strategies/check_output.h"
#include "files/file_manager.h"
#include "support/output_byte_stream.h"

namespace korvaster {

class CheckIdentifiersStrategy {
 public:
  // Finds the IB files below the project path as `modify` does, less those an exclude glob
  // takes, reads them on up to `workers` threads and writes each file's findings to `output` in
  // `format` once it and the files before it are done, less what `filter` drops; hands each
  // file to `jobSummary` too, when given. Paths are shown relative to the current directory
  // when the project lies inside it, else absolute. Returns the totals, where a view without an
  // identifier and a repeated identifier (each as far as the filter left it) and a file that
  // could not be read count as found (each file's failure is reported with the findings, never
  // thrown). Throws KorvastError::missedProjectPath, the file layer's PathError for a path that
  // is no folder, and support::Interrupted between two files or within one (after the findings
  // of the files done so far, without the totals).
  static CheckTotals run(const Arguments& arguments, CheckFormat format, CheckFilter& filter,
                         const std::shared_ptr<files::FileManager>& system, support::OutputByteStream& output,
                         std::size_t workers, CheckJobSummary* jobSummary = nullptr);
};

}  // namespace korvaster
