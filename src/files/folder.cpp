#include "files/folder.h"

#include "files/file_system_sequence.h"
#include "support/interruption.h"

namespace korvaster::files {

Folder::Folder(std::string path, std::shared_ptr<FileManager> fileManager)
    : FileSystemItem(std::move(path), Kind::folder, std::move(fileManager)) {}

FileSystemSequence<Folder> Folder::subfolders() const {
  return FileSystemSequence<Folder>(path(), false, false, fileManager());
}

FileSystemSequence<File> Folder::makeFileSequence(bool recursive, bool includeHidden, bool staysInside) const {
  std::optional<std::string> boundary;
  if (staysInside) boundary = fileManager()->realPath(path()).value_or(path());
  return FileSystemSequence<File>(path(), recursive, includeHidden, fileManager(), std::move(boundary));
}

Folder Folder::createSubfolder(const std::string& name) const {
  Failure failure;
  if (!fileManager()->createDirectory(path() + name, &failure)) {
    throw FolderError::creatingFolderFailed(path() + name, failure.reason);
  }
  try {
    return Folder(path() + name, fileManager());
  } catch (const PathError&) {
    throw FolderError::creatingFolderFailed(path() + name, "it vanished as soon as it was made");
  }
}

Folder Folder::createSubfolderIfNeeded(const std::string& name) const {
  try {
    return Folder(path() + name, fileManager());
  } catch (const PathError&) {
  }
  try {
    return createSubfolder(name);
  } catch (const FolderError& error) {
    // Another process may have made it in the meantime, which is just as good.
    try {
      return Folder(path() + name, fileManager());
    } catch (const PathError&) {
      throw error;
    }
  }
}

Folder Folder::copy(const Folder& destination) const { return copy(destination, name()); }

Folder Folder::copy(const Folder& destination, const std::string& asName,
                    FileManager::CopyRecord* record) const {
  const std::string target = destination.path() + asName;
  Failure failure;
  if (!fileManager()->copyItem(path(), target, record, &failure)) {
    support::throwIfInterrupted();
    throw OperationError(OperationError::Case::copyFailed, copyHandle(), std::move(failure));
  }
  try {
    return Folder(target, fileManager());
  } catch (const PathError&) {
    // The folder the copy went into is no longer reached by its path (moved away, a link in
    // its place): the copy is not where it was asked for.
    throw OperationError(OperationError::Case::copyFailed, copyHandle(),
                         Failure{target, "nothing is there after the copy: the folder it went into was moved or "
                                         "replaced meanwhile"});
  }
}

}  // namespace korvaster::files
