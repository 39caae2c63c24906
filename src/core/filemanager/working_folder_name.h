// The name of the tool's working folder under the user's home folder.
#pragma once

namespace korvaster {

inline constexpr const char* kWorkingFolderName = ".korvast";

}  // namespace korvaster
