// The checks every file the tool writes by name (a run report, an output file, a baseline, a
// job summary) passes before any work: better known before an hour-long build than after it.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "core/logging/logger.h"
#include "files/file_manager.h"

namespace korvaster {

// Names what is written and how, in the Error line of a refusal: e.g. "the report (--report)";
// `asNoun` in the reason given for an Interface Builder file's name: e.g. "a report".
struct WrittenFileLabel {
  const char* withOption;
  const char* asNoun;
};

// How a file is written: replaced in one step, or added to at its end.
enum class WriteMode { replaced, appended };

// Throws, after an Error line "Can't write LABEL: REASON", when a file could never be written
// at `path` (through `system`): an empty path or a missing folder throws the file layer's
// PathError; a path named as an Interface Builder file, one that names anything but a regular
// file, a folder the user cannot write to or a file they may not replace its FileIOError. A
// file `appended` to is never replaced, so only a missing one needs a folder to write in.
void refuseUnwritablePlace(const std::shared_ptr<files::FileManager>& system, const std::string& path,
                           const std::shared_ptr<Logger>& logger, const WrittenFileLabel& label,
                           WriteMode mode = WriteMode::replaced);

// A file a run reads or writes by name; `updated` marks the two names of one file the run
// reads and then replaces, which alone may be the same.
struct NamedFile {
  const char* withOption;
  std::string path;
  bool updated = false;
};

// Throws FileIOError(writeFailed), after an Error line "Can't write LABEL: it is also OTHER",
// when two of `files` name the same file, as the file layer finds it: the same item when it
// exists, else the same name in the same folder; whatever the spelling, a link included.
void refuseSameFile(const files::FileManager& system, const std::vector<NamedFile>& files,
                    const std::shared_ptr<Logger>& logger);

}  // namespace korvaster
