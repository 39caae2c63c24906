// A limit on the bytes that tasks on several threads work on at once, so that files worked on
// side by side never need more memory than the largest of them alone.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <mutex>

namespace korvaster::support {

class ByteBudget {
 public:
  explicit ByteBudget(std::uintmax_t limit) : limit_(limit) {}

  // Holds `bytes` of the budget while it lives. It waits, in the order the holds were asked
  // for, until the bytes fit beside those already held, or until nothing is held: a task
  // larger than the whole budget runs alone rather than never.
  class Hold {
   public:
    Hold(ByteBudget& budget, std::uintmax_t bytes);
    ~Hold();
    Hold(const Hold&) = delete;
    Hold& operator=(const Hold&) = delete;

   private:
    ByteBudget& budget_;
    std::uintmax_t bytes_;
  };

 private:
  const std::uintmax_t limit_;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::uintmax_t held_ = 0;
  // Tickets keep a large hold from waiting behind a stream of small ones.
  std::uintmax_t nextTicket_ = 0;
  std::uintmax_t serving_ = 0;
};

}  // namespace korvaster::support
