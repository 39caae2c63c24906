#include "core/filemanager/interface_builder_file_search.h"

#include "core/xib/interface_builder_file.h"
#include "files/file_system_sequence.h"
#include "files/path_text.h"

namespace korvaster {

std::vector<files::File> findInterfaceBuilderFiles(const files::Folder& folder, const files::FileManager& system,
                                                   InterfaceBuilderSearchNotes* notes) {
  std::vector<files::File> found;
  const auto root = system.realPath(folder.path());
  if (!root) return found;
  const std::string& base = folder.path();  // ends with "/", as every path below it starts
  auto sequence = folder.makeFileSequence(true, false, true);
  auto unlisted = std::make_shared<files::UnlistedFolders>();
  if (notes) sequence.noteUnlistedIn(unlisted);
  for (const auto& file : sequence) {
    const std::string& path = file.path();
    const bool below = path.compare(0, base.size(), base) == 0;
    if (!isInterfaceBuilderFileToChange(below ? std::string_view(path).substr(base.size()) : file.name())) continue;
    if (!system.isRegularFile(file.path())) continue;
    // A linked file may lie outside the folder, where it is not the project's.
    if (system.isSymbolicLink(file.path())) {
      const auto real = system.realPath(file.path());
      if (!real) continue;
      if (!files::liesInside(*real, *root)) {
        if (notes) notes->linksLeadingOut.push_back(file.path());
        continue;
      }
    }
    found.push_back(file);
  }
  if (notes) notes->unlistedFolders = std::move(*unlisted);
  return found;
}

}  // namespace korvaster
