// Platform: the operating-system services the tool works through, made once at the entry
// point and handed down to every command, so that a test can put a recording runner, a
// failing file system or its own output streams in their place.
#pragma once

#include <memory>

#include "core/build/command_runner.h"
#include "core/logging/line_writer.h"
#include "files/file_manager.h"
#include "support/output_byte_stream.h"

namespace korvaster {

struct Platform {
  // Every file-system call, the home folder (HOME) included.
  std::shared_ptr<files::FileManager> files = files::FileManager::defaultManager();
  // Starts xcodebuild.
  CommandRunner* runner = &defaultCommandRunner();
  // Where log lines go.
  std::shared_ptr<LineWriter> logLines = standardErrorLineWriter();
  // Usage texts, the version line and the report line.
  support::OutputByteStream* output = &support::stdoutStream();
};

}  // namespace korvaster
