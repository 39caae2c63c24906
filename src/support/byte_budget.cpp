#include "support/byte_budget.h"

namespace korvaster::support {

ByteBudget::Hold::Hold(ByteBudget& budget, std::uintmax_t bytes) : budget_(budget), bytes_(bytes) {
  std::unique_lock<std::mutex> lock(budget_.mutex_);
  const std::uintmax_t ticket = budget_.nextTicket_++;
  budget_.changed_.wait(lock, [&] {
    const bool fits = budget_.held_ <= budget_.limit_ && bytes_ <= budget_.limit_ - budget_.held_;
    return ticket == budget_.serving_ && (budget_.held_ == 0 || fits);
  });
  budget_.held_ += bytes_;
  ++budget_.serving_;
  budget_.changed_.notify_all();
}

ByteBudget::Hold::~Hold() {
  {
    const std::lock_guard<std::mutex> lock(budget_.mutex_);
    budget_.held_ -= bytes_;
  }
  budget_.changed_.notify_all();
}

}  // namespace korvaster::support
