// The check every file the tool writes by name (a run report, an output file) passes before any
// work: better known before an hour-long build than after it.
#pragma once

#include <memory>
#include <string>

#include "core/logging/logger.h"
#include "files/file_manager.h"

namespace korvaster {

// Names what is written and how, in the Error line of a refusal: e.g. "the report (--report)";
// `asNoun` in the reason given for an Interface Builder file's name: e.g. "a report".
struct WrittenFileLabel {
  const char* withOption;
  const char* asNoun;
};

// Throws, after an Error line "Can't write LABEL: REASON", when a file could never be written
// at `path` (through `system`): an empty path or a missing folder throws the file layer's
// PathError; a path named as an Interface Builder file, one that names anything but a regular
// file, a folder the user cannot write to or a file they may not replace its FileIOError.
void refuseUnwritablePlace(const std::shared_ptr<files::FileManager>& system, const std::string& path,
                           const std::shared_ptr<Logger>& logger, const WrittenFileLabel& label);

}  // namespace korvaster
