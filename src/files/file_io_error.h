// The failure to read or write a file's contents, with the path and the system's reason.
#pragma once

#include <string>

#include "support/error.h"

namespace korvaster::files {

class FileIOError final : public support::Error {
 public:
  enum class Case { readFailed, writeFailed };

  FileIOError(Case errorCase, std::string path, int systemError);

  Case errorCase() const { return case_; }
  // "could not read PATH: REASON" or "could not write PATH: REASON".
  std::string description() const;

  std::string domain() const override { return "korvaster.FileIOError"; }
  int code() const override { return static_cast<int>(case_); }
  std::optional<std::string> ownDescription() const override { return description(); }

 private:
  Case case_;
  std::string path_;
  int systemError_;
};

}  // namespace korvaster::files
