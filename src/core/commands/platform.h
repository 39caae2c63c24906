// Platform: the operating-system services the tool works through, made once at the entry
// point and handed down to every command, so that a test can put a recording runner, a
// failing file system or its own output streams in their place.
#pragma once

#include <memory>

#include "support/command_runner.h"
#include "core/filemanager/korvast_file_manager.h"
#include "core/logging/line_writer.h"
#include "files/file_manager.h"
#include "files/file_manager_posix.h"
#include "support/environment.h"
#include "support/output_byte_stream.h"
#include "support/terminal.h"
#include "support/worker_pool.h"

namespace korvaster {

struct Platform {
  // The variables the run reads: HOME (through `files`) and KORVASTER_JOBS.
  const support::Environment* environment = &support::processEnvironment();
  // Where the progress line is drawn, when it is a terminal a person watches.
  support::Terminal* terminal = &support::standardError();
  // Every file-system call, the home folder (HOME) included.
  std::shared_ptr<files::FileManager> files = std::make_shared<files::PosixFileManager>(nullptr, environment);
  // Starts xcodebuild.
  support::CommandRunner* runner = &support::defaultCommandRunner();
  // Where log lines go.
  std::shared_ptr<LineWriter> logLines = standardErrorLineWriter();
  // Usage texts, the version line and the report line.
  support::OutputByteStream* output = &support::stdoutStream();

  // How many threads a batch may use (see support::workerCount).
  std::size_t workers() const { return support::workerCount(*environment); }
  // What a run's file service takes from here besides the disk.
  KorvastFileManager::Surroundings surroundings() const { return {workers(), terminal}; }
};

}  // namespace korvaster
