#include "files/tree_copy.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "files/path_text.h"
#include "support/interruption.h"

namespace korvaster::files {

namespace {

constexpr unsigned kOwnerAll = 0700;

bool fail(Failure& failure, const OpenedFolder& folder, const std::string& name, int error) {
  if (failure.reason.empty()) {
    failure = Failure{name.empty() ? folder.shownPath() : joinedPath(folder.shownPath(), name),
                      std::strerror(error)};
  }
  return false;
}

}  // namespace

TreeCopy::TreeCopy(const FileManager::CopyFilter& filter, FileManager::CopyRecord* record,
                   std::size_t helpers)
    : filter_(filter), record_(record), files_(helpers) {}

bool TreeCopy::listed(const std::string& relative) const {
  return record_ != nullptr && record_->listFile && record_->listFile(relative);
}

bool TreeCopy::copy(const std::shared_ptr<const OpenedFolder>& from,
                    const std::shared_ptr<const OpenedFolder>& into, const std::string& name,
                    Failure& failure) {
  const std::size_t deferredBefore = record_ ? record_->deferredModes.size() : 0;
  ItemStatus status;
  const int statusError = from->statusOf(".", status);
  bool copied = statusError == 0 ? copyFolder(from, into, name, "", status.mode, failure)
                                 : fail(failure, *from, "", statusError);
  // A file that failed in the queue was met before whatever stopped the walk.
  if (auto fileFailure = files_.finish()) {
    copied = false;
    failure = std::move(*fileFailure);
  }
  for (auto late = lateModes_.begin(); copied && late != lateModes_.end(); ++late) {
    if (const int error = late->parent->setMode(late->name, late->mode); error != 0)
      copied = fail(failure, *late->parent, late->name, error);
  }
  // Children were listed before their parents were finished; the caller wants them first.
  if (copied && record_)
    std::reverse(record_->deferredModes.begin() + static_cast<long>(deferredBefore),
                 record_->deferredModes.end());
  return copied;
}

bool TreeCopy::copyFolder(const std::shared_ptr<const OpenedFolder>& from,
                          const std::shared_ptr<const OpenedFolder>& into, const std::string& name,
                          const std::string& relative, unsigned mode, Failure& failure) {
  // Owner access while filling the folder; its own bits are set once it is complete.
  if (const int error = into->makeFolder(name, kOwnerAll); error != 0)
    return fail(failure, *into, name, error);
  if (relative.empty()) madeRoot_ = true;
  std::shared_ptr<OpenedFolder> made;
  if (const int error = into->openChild(name, made); error != 0) return fail(failure, *into, name, error);
  std::vector<std::string> names;
  if (const int error = from->list(names); error != 0) return fail(failure, *from, "", error);
  const bool deferred = record_ && (mode & kOwnerAll) != kOwnerAll;
  if (deferred) record_->deferredModes.push_back({relative, mode});
  const std::shared_ptr<const OpenedFolder> to = std::move(made);
  for (const auto& entry : names) {
    if (filter_ && !filter_(joinedPath(from->shownPath(), entry))) continue;
    if (!copyEntry(from, to, entry, relative.empty() ? entry : relative + "/" + entry, failure)) return false;
  }
  // A deferred folder keeps owner access until its owner is done with it. Bits that leave the
  // owner every access may be set at once, as files are still being copied into it.
  const unsigned bits = deferred ? (mode | kOwnerAll) : mode;
  if ((bits & kOwnerAll) != kOwnerAll) {
    lateModes_.push_back({into, name, bits});
    return true;
  }
  const int error = into->setMode(name, bits);
  return error == 0 || fail(failure, *into, name, error);
}

bool TreeCopy::copyEntry(const std::shared_ptr<const OpenedFolder>& from,
                         const std::shared_ptr<const OpenedFolder>& to, const std::string& name,
                         const std::string& relative, Failure& failure) {
  if (support::pendingInterruption() != 0) return fail(failure, *from, name, EINTR);
  ItemStatus status;
  if (const int error = from->statusOf(name, status); error != 0) return fail(failure, *from, name, error);
  switch (status.kind) {
    case ItemStatus::Kind::link: {
      if (record_) {
        record_->madeLinks = true;
        if (listed(relative)) record_->listedLinks.push_back(relative);
      }
      std::string target;
      if (const int error = from->readLink(name, target); error != 0)
        return fail(failure, *from, name, error);
      const int error = to->makeLink(name, target);
      return error == 0 || fail(failure, *to, name, error);
    }
    case ItemStatus::Kind::regular:
      if (listed(relative)) record_->listedFiles.push_back(relative);
      // false: an earlier file failed, whose failure wins, or a signal came
      return files_.add(from, name, to, status.mode) || fail(failure, *from, name, EINTR);
    case ItemStatus::Kind::folder: {
      std::shared_ptr<OpenedFolder> child;
      if (const int error = from->openChild(name, child); error != 0)
        return fail(failure, *from, name, error);
      return copyFolder(child, to, name, relative, status.mode, failure);
    }
    default:
      return true;  // sockets, pipes and devices have no place in a copy
  }
}

}  // namespace korvaster::files
