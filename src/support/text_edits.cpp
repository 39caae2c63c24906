#include "support/text_edits.h"

#include <algorithm>

namespace korvaster::support {

void writeEdited(std::string_view before, const std::vector<TextEdit>& edits,
                 const std::function<bool(std::string_view)>& write) {
  constexpr std::size_t kBlock = std::size_t{1} << 20;
  std::string block;
  const auto take = [&](std::string_view bytes) {
    block.append(bytes);
    if (block.size() < kBlock) return true;
    const bool written = write(block);
    block.clear();
    return written;
  };
  std::size_t copied = 0;
  for (const TextEdit& edit : edits) {
    if (!take(before.substr(copied, edit.offset - copied)) || !take(edit.inserted)) return;
    copied = edit.offset + edit.erased;
  }
  if (take(before.substr(copied)) && !block.empty()) write(block);
}

std::string appliedEdits(std::string_view before, const std::vector<TextEdit>& edits) {
  std::size_t grows = 0;
  for (const TextEdit& edit : edits) grows += edit.inserted.size();
  std::string after;
  after.reserve(before.size() + grows);
  writeEdited(before, edits, [&after](std::string_view block) { return after.append(block), true; });
  return after;
}

}  // namespace korvaster::support
