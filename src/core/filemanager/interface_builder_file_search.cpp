#include "core/filemanager/interface_builder_file_search.h"

#include "files/file_system_sequence.h"
#include "files/path_text.h"

namespace korvaster {

std::vector<files::File> findInterfaceBuilderFiles(const files::Folder& folder,
                                                   const files::FileManager& system) {
  std::vector<files::File> found;
  const auto root = system.realPath(folder.path());
  if (!root) return found;
  for (const auto& file : folder.makeFileSequence(true, false, true)) {
    const auto extension = file.extension();
    if (!extension || (*extension != "xib" && *extension != "storyboard")) continue;
    if (!system.isRegularFile(file.path())) continue;
    // A linked file may lie outside the folder, where it is not the project's.
    if (system.isSymbolicLink(file.path())) {
      const auto real = system.realPath(file.path());
      if (!real || !files::liesInside(*real, *root)) continue;
    }
    found.push_back(file);
  }
  return found;
}

}  // namespace korvaster
