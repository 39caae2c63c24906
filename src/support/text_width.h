// Counting characters as a reader sees them, for aligning columns of UTF-8 text.
#pragma once

#include <cstddef>
#include <string_view>

namespace korvaster::support {

// The number of user-perceived characters in UTF-8 text: code points, less combining marks,
// variation selectors and the characters joined on by a zero-width joiner. Malformed bytes
// count one each.
std::size_t userPerceivedLength(std::string_view utf8);

}  // namespace korvaster::support
