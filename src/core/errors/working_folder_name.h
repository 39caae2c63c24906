// The name of the tool's working folder under the user's home folder, which the error texts
// name and the file service makes.
#pragma once

namespace korvaster {

inline constexpr const char* kWorkingFolderName = ".korvast";

}  // namespace korvaster
