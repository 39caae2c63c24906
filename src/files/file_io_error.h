// The failure to read or write a file's contents, with the path and the system's reason.
#pragma once

#include <string>

#include "support/error.h"

namespace korvaster::files {

class FileIOError final : public support::Error {
 public:
  enum class Case { readFailed, writeFailed, lockFailed };

  FileIOError(Case errorCase, std::string path, int systemError);
  // A failure the system did not give a reason for, told in `reason`.
  FileIOError(Case errorCase, std::string path, std::string reason);

  Case errorCase() const { return case_; }
  const std::string& path() const { return path_; }
  // The system's reason, without the path.
  const std::string& reason() const { return reason_; }
  // The system's errno, or 0 when the reason is not one of the system's.
  int systemError() const { return systemError_; }
  // "could not read PATH: REASON", "could not write PATH: REASON" or "could not lock PATH: REASON".
  std::string description() const;

  std::string domain() const override { return "korvaster.FileIOError"; }
  int code() const override { return static_cast<int>(case_); }
  std::optional<std::string> ownDescription() const override { return description(); }

 private:
  Case case_;
  std::string path_;
  std::string reason_;
  int systemError_ = 0;
};

}  // namespace korvaster::files
