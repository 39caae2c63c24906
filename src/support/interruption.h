// Interruption by SIGINT, SIGTERM or SIGHUP. The handler only records the signal and passes
// it on to the process group of a running child; the work notices at its safe points and
// unwinds, so that what it had begun is removed on the way out.
#pragma once

#include <sys/types.h>

#include <string>

#include "support/error.h"

namespace korvaster::support {

// Thrown at a safe point after an interrupting signal arrived.
class Interrupted final : public Error {
 public:
  explicit Interrupted(int signalNumber) : signal_(signalNumber) {}

  // The conventional exit status of a run ended by the signal: 128 + its number.
  int exitStatus() const { return 128 + signal_; }
  // "Interrupted by SIGTERM before the run was complete".
  std::string description() const;

  std::string domain() const override { return "korvaster.Interrupted"; }
  int code() const override { return signal_; }
  std::optional<std::string> ownDescription() const override { return description(); }

 private:
  int signal_;
};

// Installs the handlers; later calls do nothing. A second interrupting signal while a
// child runs kills the child's group outright.
void installInterruptionHandlers();

// The number of the first interrupting signal received, or 0.
int pendingInterruption();

// Throws Interrupted when an interrupting signal has arrived.
void throwIfInterrupted();

// The process group of the running child, which interrupting signals are passed on to
// (0: none). The caller clears it once the child has been waited for.
void setChildProcessGroup(pid_t group);

// Forgets a received signal, so that one test's interruption does not end the next test.
void resetInterruptionForTesting();

}  // namespace korvaster::support
