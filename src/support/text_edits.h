// Edits to a text given as the places they change, and the text they make, handed on in
// blocks so that it is never held whole.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace korvaster::support {

// `erased` bytes at `offset` of the text give way to `inserted`.
struct TextEdit {
  std::size_t offset = 0;
  std::size_t erased = 0;
  std::string inserted;
};

// `before` with `edits` made. The edits are in order of offset and do not overlap.
std::string appliedEdits(std::string_view before, const std::vector<TextEdit>& edits);

// The same text handed to `write` in order, in blocks of about 1 MiB (the last one may be
// shorter), so that it is never held whole; stops after a call that returns false.
void writeEdited(std::string_view before, const std::vector<TextEdit>& edits,
                 const std::function<bool(std::string_view)>& write);

}  // namespace korvaster::support
