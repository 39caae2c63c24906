// Running a batch of independent tasks on a few threads while the calling thread hears of
// each finished task, so that whatever it reports (log lines) it reports in one order.
#pragma once

#include <cstddef>
#include <functional>

#include "support/environment.h"

namespace korvaster::support {

// The threads a batch may use: one per core, at most KORVASTER_JOBS when that is set to a
// positive number; never fewer than one.
std::size_t workerCount(const Environment& environment);

// Runs task(i) for each i below `taskCount`, handed out in ascending order to up to
// `workers` threads, the calling one among them. done(i) is called on the calling thread
// after task(i) returned, in the order the tasks finished. Once stop() returns true no
// further task starts; the tasks already running finish and are reported. With one worker
// everything runs on the calling thread, each task reported before the next starts.
// `task` must not throw.
void runOnWorkers(std::size_t taskCount, std::size_t workers, const std::function<void(std::size_t)>& task,
                  const std::function<void(std::size_t)>& done, const std::function<bool()>& stop);

}  // namespace korvaster::support
