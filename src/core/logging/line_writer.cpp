#include "core/logging/line_writer.h"

#include <pthread.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <ctime>

#include "core/logging/progress_line.h"
#include "support/process_info.h"
#include "support/write_all.h"

#if defined(__linux__)
#include <sys/syscall.h>
#endif

namespace korvaster {

namespace {

unsigned long long currentThreadId() {
#if defined(__APPLE__)
  std::uint64_t id = 0;
  pthread_threadid_np(nullptr, &id);
  return id;
#elif defined(__linux__)
  return static_cast<unsigned long long>(::syscall(SYS_gettid));
#else
  return static_cast<unsigned long long>(::getpid());
#endif
}

}  // namespace

std::string StandardErrorLineWriter::prefix(long long secondsSinceEpoch, int milliseconds) {
  const auto seconds = static_cast<std::time_t>(secondsSinceEpoch);
  std::tm local{};
  localtime_r(&seconds, &local);
  char stamp[32];
  std::strftime(stamp, sizeof stamp, "%Y-%m-%d %H:%M:%S", &local);
  char millis[8];
  std::snprintf(millis, sizeof millis, ".%03d", milliseconds);
  return std::string(stamp) + millis + " " + support::processName() + "[" + std::to_string(::getpid()) + ":" +
         std::to_string(currentThreadId()) + "] ";
}

void StandardErrorLineWriter::writeLine(const std::string& line) {
  using namespace std::chrono;
  const auto now = duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
  clearProgressLine();
  // One write per line, so that lines from the tool and from xcodebuild never interleave mid-line.
  support::writeAll(STDERR_FILENO, prefix(now / 1000, static_cast<int>(now % 1000)) + line + "\n");
}

std::shared_ptr<LineWriter> standardErrorLineWriter() {
  static const auto writer = std::make_shared<StandardErrorLineWriter>();
  return writer;
}

}  // namespace korvaster
