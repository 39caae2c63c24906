// Running a batch of tasks on the worker pool within a byte budget while their results are
// handed on in the tasks' order, each as soon as it and every task before it are done, so that
// neither the threads nor the finished results waiting for their turn need more memory than
// the largest task alone.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

namespace korvaster::support {

// Runs produce(i) for each i below taskBytes.size() on up to `workers` threads (the calling one
// among them), and deliver(i) in ascending order of i, one at a time, on whichever thread
// finished the task that made i's turn come; deliver(i) follows produce(i) and deliver(i - 1).
// Task i holds taskBytes[i] of a budget of the largest task's bytes and a sixteenth, from before
// produce(i) starts until deliver(i) has returned; tasks take their holds in ascending order,
// and one larger than the whole budget runs alone. Once stop() returns true no further task
// starts; the tasks already started finish and are delivered. When produce or deliver throws,
// no further task starts, nothing more is delivered, and the first exception is rethrown here
// once the running tasks are done.
void runInOrderWithinBudget(const std::vector<std::uintmax_t>& taskBytes, std::size_t workers,
                            const std::function<void(std::size_t)>& produce,
                            const std::function<void(std::size_t)>& deliver,
                            const std::function<bool()>& stop);

}  // namespace korvaster::support
