#include "support/interruption.h"

#include <signal.h>

namespace korvaster::support {

namespace {

volatile sig_atomic_t receivedSignal = 0;
volatile sig_atomic_t childGroup = 0;
volatile sig_atomic_t signalCount = 0;

constexpr int kInterruptingSignals[] = {SIGINT, SIGTERM, SIGHUP};

// Only async-signal-safe calls here: the work itself notices the flag.
void onInterruptingSignal(int signalNumber) {
  if (receivedSignal == 0) receivedSignal = signalNumber;
  signalCount = signalCount + 1;
  if (childGroup > 0) ::kill(-static_cast<pid_t>(childGroup), signalCount > 1 ? SIGKILL : signalNumber);
}

const char* signalName(int signalNumber) {
  switch (signalNumber) {
    case SIGINT:
      return "SIGINT";
    case SIGTERM:
      return "SIGTERM";
    case SIGHUP:
      return "SIGHUP";
    default:
      return nullptr;
  }
}

}  // namespace

std::string Interrupted::description() const {
  const char* name = signalName(signal_);
  return std::string("Interrupted by ") + (name != nullptr ? name : "signal " + std::to_string(signal_)) +
         " before the run was complete";
}

void installInterruptionHandlers() {
  static bool installed = false;
  if (installed) return;
  installed = true;
  struct sigaction action {};
  action.sa_handler = onInterruptingSignal;
  sigemptyset(&action.sa_mask);
  // No SA_RESTART: a wait for a lock or a child must return so that the flag is seen.
  action.sa_flags = 0;
  for (const int signalNumber : kInterruptingSignals) {
    struct sigaction previous {};
    ::sigaction(signalNumber, nullptr, &previous);
    // A signal ignored by whoever started us (nohup) stays ignored.
    if (previous.sa_handler == SIG_IGN) continue;
    ::sigaction(signalNumber, &action, nullptr);
  }
}

int pendingInterruption() { return receivedSignal; }

void throwIfInterrupted() {
  if (receivedSignal != 0) throw Interrupted(receivedSignal);
}

void setChildProcessGroup(pid_t group) {
  childGroup = static_cast<sig_atomic_t>(group);
  // A signal that came before the group was known has not reached the child yet.
  if (group > 0 && receivedSignal != 0) ::kill(-group, receivedSignal);
}

void resetInterruptionForTesting() {
  receivedSignal = 0;
  signalCount = 0;
  childGroup = 0;
}

}  // namespace korvaster::support
