#include "files/contents_replacement_posix.h"

#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <functional>

#if defined(__linux__)
#include <sys/fsuid.h>
#include <sys/xattr.h>
#endif

#include "files/file_io_error.h"
#include "fakes/system_call_faults.h"
#include "files/opened_folder_posix.h"
#include "temporary_folder.h"

namespace korvaster::files {
namespace {

using korvaster::testing::readFile;

// A file in a copy is written over where it lies: contents never committed give the old ones back.
TEST(ContentsReplacementTest, InPlaceContentsNeverCommittedGiveTheOldOnesBack) {
  korvaster::testing::TemporaryFolder temp;
  const std::string original = "<document>old, and longer than what replaces it</document>";
  const std::string path = temp.write("a.xib", original);
  {
    PosixContentsReplacement replacement(path, ContentsReplacement::Mode::inPlace, original);
    ASSERT_TRUE(replacement.write("<document>new"));
  }
  EXPECT_EQ(readFile(path), original);
}

// Only a replacement that may create the file makes a missing one (with the bits 0644, whatever
// the process's mask); any other fails as it commits and leaves nothing behind, not even its
// temporary file.
TEST(ContentsReplacementTest, AMissingFileIsMadeOnlyWhenTheReplacementMayCreateIt) {
  const struct {
    ContentsReplacement::Mode mode;
    bool mayCreate;
    bool made;
  } cases[] = {
      {ContentsReplacement::Mode::atomically, true, true},
      {ContentsReplacement::Mode::atomically, false, false},
      {ContentsReplacement::Mode::inPlace, true, false},  // a file in place is one that exists
  };
  for (const auto& c : cases) {
    korvaster::testing::TemporaryFolder temp;
    const std::string path = temp / "report.json";
    const auto where = &c - cases;  // the row
    const mode_t previousMask = ::umask(077);
    try {
      PosixContentsReplacement replacement(path, c.mode, {}, c.mayCreate);
      replacement.write("{}\n");
      replacement.commit();
      EXPECT_TRUE(c.made) << where;
    } catch (const FileIOError& error) {
      EXPECT_FALSE(c.made) << where;
      EXPECT_EQ(error.errorCase(), FileIOError::Case::writeFailed) << where;
      EXPECT_EQ(error.reason(), "No such file or directory") << where;  // as it opens, not later
    }
    ::umask(previousMask);
    if (c.made) {
      EXPECT_EQ(readFile(path), "{}\n") << where;
      EXPECT_EQ(korvaster::testing::permissionsOf(path), 0644u) << where;
    }
    EXPECT_EQ(korvaster::testing::entryNames(temp.path()),
              c.made ? std::vector<std::string>{"report.json"} : std::vector<std::string>{})
        << where;
  }
}

// A file of the user's own, replaced in place: their edit made meanwhile is not written over,
// whether it took the file's place or was written into it with its modification time put
// back.
TEST(ContentsReplacementTest, AtomicallyAnEditMadeMeanwhileWins) {
  korvaster::testing::TemporaryFolder temp;
  const std::string path = temp.write("a.xib", "<document/>");
  const std::function<void()> edits[] = {
      [&] { std::filesystem::rename(temp.write("edit", "<document>the user's edit</document>"), path); },
      [&] {
        struct stat before {};
        ASSERT_EQ(::stat(path.c_str(), &before), 0);
        temp.write("a.xib", "<document>the user's edit</document>");
#ifdef __APPLE__
        const struct timespec times[2] = {before.st_atimespec, before.st_mtimespec};
#else
        const struct timespec times[2] = {before.st_atim, before.st_mtim};
#endif
        ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
      }};
  for (const auto& edit : edits) {
    temp.write("a.xib", "<document>the user's EDIT</document>");  // the size of the edit
    PosixContentsReplacement replacement(path, ContentsReplacement::Mode::atomically);
    replacement.requireUnchangedSince(*versionOf(path));
    ASSERT_TRUE(replacement.write("<document>new</document>"));
    edit();
    try {
      replacement.commit();
      ADD_FAILURE() << "the edit was written over";
    } catch (const FileIOError& error) {
      EXPECT_EQ(error.reason(), "it was changed by someone else while it was rewritten");
    }
    EXPECT_EQ(readFile(path), "<document>the user's edit</document>");
    EXPECT_EQ(korvaster::testing::entryNames(temp.path()), std::vector<std::string>{"a.xib"});
  }
}

#if defined(__linux__)
// Every call of a replacement that the system may refuse: the file keeps its old contents and
// no temporary stays, and the failure gives that call's reason; a temporary's name already taken
// only costs another name. The file is another user's, and root's run leaves it theirs, with its bits;
// shorter contents written in place leave none of the old tail.
TEST(ContentsReplacementTest, AFailingCallLeavesTheFileAsItWasAndGivesItsReason) {
  if (::geteuid() != 0) GTEST_SKIP() << "only root may give a new file another owner";
  using Mode = ContentsReplacement::Mode;
  const std::string kept = "its owner or group could not be kept by a new file, so it was left as it was";
  const struct {
    Mode mode;
    mode_t bits;
    const char* call;
    int nth;
    int error;
    std::string reason;  // empty: the file is replaced
  } cases[] = {{Mode::atomically, 0664, "openat", 1, EEXIST, ""},     {Mode::atomically, 0664, "openat", 1, EACCES, "-"},
               {Mode::atomically, 0664, "openat", 2, EIO, "-"},       {Mode::atomically, 0664, "fchown", 1, EPERM, kept},
               {Mode::atomically, 0664, "fchown", 2, EPERM, kept},    {Mode::atomically, 0644, "fchown", 2, EPERM, ""},
               {Mode::atomically, 0664, "fstat", 1, EIO, "-"},        {Mode::atomically, 0664, "fchmod", 1, EIO, "-"},
               {Mode::atomically, 0664, "fsync", 1, EIO, "-"},        {Mode::atomically, 0664, "renameat", 1, EXDEV, "-"},
               {Mode::atomically, 0664, "write", 1, ENOSPC, "-"},     {Mode::atomically, 0664, "write", 1, EINTR, ""},
               {Mode::inPlace, 0664, "openat", 1, EIO, "-"},
               {Mode::inPlace, 0664, "write", 1, ENOSPC, "-"},        {Mode::inPlace, 0664, "ftruncate", 1, EIO, "-"},
               {Mode::inPlace, 0664, "close", 1, EIO, "-"},          {Mode::inPlace, 0664, "none", 1, 0, ""}};
  const std::string original = "<document>old, and longer than what replaces it</document>";
  for (const auto& c : cases) {
    korvaster::testing::TemporaryFolder temp;
    const std::string path = temp.write("a.xib", original);
    ASSERT_EQ(::chown(path.c_str(), 65534, 65534) + ::chmod(path.c_str(), c.bits), 0);
    const std::string where = std::string(c.call) + " " + std::to_string(c.nth) + " " + std::strerror(c.error);
    std::string reason;
    {
      PosixContentsReplacement replacement(path, c.mode, original);
      korvaster::testing::SystemCallFault fault(c.call, c.error, c.nth);
      try {
        replacement.write("<document>new</document>");
        replacement.commit();
      } catch (const FileIOError& error) {
        reason = error.reason();
      }
      EXPECT_EQ(fault.failed(), c.error == 0 ? 0 : 1) << where;
    }
    EXPECT_EQ(reason, c.reason == "-" ? std::strerror(c.error) : c.reason) << where;
    EXPECT_EQ(readFile(path), reason.empty() ? "<document>new</document>" : original) << where;
    struct stat status {};
    ASSERT_EQ(::lstat(path.c_str(), &status), 0);
    EXPECT_EQ(std::pair(status.st_uid, status.st_mode & 07777), std::pair(65534u, c.bits)) << where;
    EXPECT_EQ(korvaster::testing::entryNames(temp.path()), std::vector<std::string>{"a.xib"}) << where;
  }
}

// A user's own file is replaced atomically only when its owner lets this process write it:
// a writable folder alone would let the rename through, over another's file or a read-only one.
// Root's file that anyone may write would become the user's, and so would a group that grants
// more than everyone has: those are left alone too. A group that grants nothing more may change.
// A folder one may write in but not list (a drop box) takes a new file. A read-only file in a
// copy (some checkouts make every file so) is replaced in place all the same, keeping its bits.
TEST(ContentsReplacementTest, AtomicallyAFileIsReplacedOnlyWhenItsOwnerAndWhatItsGroupGrantsAreKept) {
  korvaster::testing::TemporaryFolder temp;
  const std::string original = "<document/>";
  const std::string kept = "its owner or group could not be kept by a new file, so it was left as it was";
  const struct {
    const char* name;
    uid_t owner;
    gid_t group;
    mode_t mode;
    std::string refusal;  // empty: replaced
  } cases[] = {{"others.xib", 0, 0, 0644, "Permission denied"},
               {"readonly.xib", 65534, 65534, 0444, "Permission denied"},
               {"shared.xib", 0, 0, 0666, kept},
               {"groupwrite.xib", 65534, 0, 0664, kept},
               {"group.xib", 65534, 0, 0644, ""}};
  ASSERT_EQ(::chmod(temp.path().c_str(), 0777), 0);
  for (const auto& c : cases) {
    const std::string path = temp.write(c.name, original);
    ASSERT_EQ(::chown(path.c_str(), c.owner, c.group) + ::chmod(path.c_str(), c.mode), 0);
  }
  ASSERT_EQ(::chmod(temp.makeFolder("box").c_str(), 0733), 0);  // one may write in it, not list it
  const std::string copied = temp.write("copied.xib", original);
  ASSERT_EQ(::chown(copied.c_str(), 65534, 65534) + ::chmod(copied.c_str(), 0444), 0);
  const auto previousGroup = static_cast<gid_t>(::setfsgid(65534));
  const auto previous = static_cast<uid_t>(::setfsuid(65534));
  for (const auto& c : cases) {
    try {
      PosixContentsReplacement replacement(temp / c.name, ContentsReplacement::Mode::atomically, original);
      replacement.write("<document>new</document>");
      replacement.commit();
      EXPECT_EQ(c.refusal, "") << c.name << " was replaced";
    } catch (const FileIOError& error) {
      EXPECT_EQ(error.reason(), c.refusal) << c.name;
    }
  }
  PosixContentsReplacement made(temp / "box/new.xib", ContentsReplacement::Mode::atomically, {}, true);
  made.write(original);
  EXPECT_NO_THROW(made.commit());
  PosixContentsReplacement inPlace(copied, ContentsReplacement::Mode::inPlace, original);
  inPlace.write("<document>new</document>");
  EXPECT_NO_THROW(inPlace.commit());
  ::setfsuid(previous);
  ::setfsgid(previousGroup);
  for (const auto& c : cases) {
    EXPECT_EQ(readFile(temp / c.name), c.refusal.empty() ? "<document>new</document>" : original) << c.name;
  }
  EXPECT_EQ(korvaster::testing::entryNames(temp.path()).size(), std::size(cases) + 2);
  EXPECT_EQ(readFile(temp / "box/new.xib"), original);
  EXPECT_EQ(std::pair(readFile(copied), korvaster::testing::permissionsOf(copied)),
            std::pair(std::string("<document>new</document>"), 0444u));
}

// What the user attached to a file stays with it; a temporary that a live replacement holds
// survives another run's tidying of the folder, while one a killed run left goes.
TEST(ContentsReplacementTest, AReplacementKeepsExtendedAttributesAndOnlyAnAbandonedTemporaryIsTidied) {
  korvaster::testing::TemporaryFolder temp;
  const std::string path = temp.write("a.xib", "<document/>");
  ASSERT_EQ(::setxattr(path.c_str(), "user.tag", "red", 3, 0), 0) << "this file system keeps no user attributes";
  temp.write(std::string(kTemporaryPrefix) + "old123", "left by a killed run");
  PosixContentsReplacement live(path, ContentsReplacement::Mode::atomically, "<document/>");
  ASSERT_TRUE(live.write("<document>new</document>"));
  EXPECT_EQ(PosixOpenedFolder::open(temp.path())->removeAbandonedTemporaries(), 1);
  live.commit();
  EXPECT_EQ(readFile(path), "<document>new</document>");
  EXPECT_EQ(korvaster::testing::entryNames(temp.path()), std::vector<std::string>{"a.xib"});
  char value[8] = {};
  EXPECT_EQ(::getxattr(path.c_str(), "user.tag", value, sizeof value), 3);
  EXPECT_EQ(std::string(value), "red");
  // One this user may not open was left by another user's run, which a live run of theirs
  // would hold open: it goes by its name. Where they may not write, nothing goes.
  const std::string theirs = temp.write("theirs/" + std::string(kTemporaryPrefix) + "xyz123", "");
  const std::string locked = temp.write("locked/" + std::string(kTemporaryPrefix) + "xyz123", "");
  ASSERT_EQ(::chmod(temp.path().c_str(), 0755) + ::chmod((temp / "theirs").c_str(), 0777), 0);
  for (const std::string& file : {theirs, locked}) ASSERT_EQ(::chmod(file.c_str(), 0600), 0);
  const auto previous = static_cast<uid_t>(::setfsuid(65534));
  const int removed = PosixOpenedFolder::open(temp / "theirs")->removeAbandonedTemporaries() +
                      10 * PosixOpenedFolder::open(temp / "locked")->removeAbandonedTemporaries();
  ::setfsuid(previous);
  EXPECT_EQ(removed, 1);
  EXPECT_EQ(std::pair(korvaster::testing::isThere(theirs), korvaster::testing::isThere(locked)), std::pair(false, true));
}

#endif

}  // namespace
}  // namespace korvaster::files
