#include "core/filemanager/interface_builder_file_search.h"

#include "core/xib/interface_builder_file.h"
#include "files/file_system_sequence.h"
#include "files/path_text.h"

namespace korvaster {

std::vector<files::File> findInterfaceBuilderFiles(const files::Folder& folder,
                                                   const files::FileManager& system) {
  std::vector<files::File> found;
  const auto root = system.realPath(folder.path());
  if (!root) return found;
  const std::string& base = folder.path();  // ends with "/", as every path below it starts
  for (const auto& file : folder.makeFileSequence(true, false, true)) {
    const std::string& path = file.path();
    const bool below = path.compare(0, base.size(), base) == 0;
    if (!isInterfaceBuilderFileToChange(below ? std::string_view(path).substr(base.size()) : file.name())) continue;
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
