// The names the identifier rules look for in an Interface Builder file, and how deep such a
// file may nest, shared by the rewriting passes and the read-only scan so they agree.
#pragma once

#include <cstddef>

namespace korvaster::ibNames {

inline constexpr const char* id = "id";
inline constexpr const char* contentMode = "contentMode";
inline constexpr const char* accessibility = "accessibility";
inline constexpr const char* key = "key";
inline constexpr const char* identifier = "identifier";
inline constexpr const char* accessibilityConfiguration = "accessibilityConfiguration";

// Interface Builder nests a few dozen levels; far deeper input is hostile and would make a
// rewritten file grow with the square of its depth.
inline constexpr std::size_t maximumDepth = 256;

}  // namespace korvaster::ibNames
