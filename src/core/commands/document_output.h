// Where the document of `check` or `ids` goes: standard output, or with --output-file a file,
// replaced in one step once the document is whole, so that a reader never sees half of it.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "core/commands/platform.h"
#include "core/logging/logger.h"
#include "core/options/argument.h"
#include "support/output_byte_stream.h"

namespace korvaster {

class DocumentOutput {
 public:
  // With --output-file, first refuses a place the file could never be written to, before any
  // work (see refuseUnwritablePlace).
  DocumentOutput(const Arguments& arguments, const Platform& platform, std::shared_ptr<Logger> logger);

  // Where the document is to be written.
  support::OutputByteStream& stream() { return path_ ? held_ : *platform_.output; }
  bool goesToFile() const { return path_.has_value(); }
  // Puts the document in its file, when it has one, created with the bits 0644 when missing;
  // throws the file layer's FileIOError after an Error line, and leaves the old file whole.
  void finish();

 private:
  const Platform& platform_;
  std::shared_ptr<Logger> logger_;
  std::optional<std::string> path_;
  support::StringOutputStream held_;
};

}  // namespace korvaster
