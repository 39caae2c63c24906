#include "core/xib/interface_builder_pass.h"

#include <gtest/gtest.h>

#include "files/file_manager_posix.h"
#include "temporary_folder.h"

namespace korvaster {
namespace {

// Each file's result is handed on as soon as it and those before it are done, not a file later:
// a check shows each file's findings while the next one is read.
TEST(InterfaceBuilderPassTest, EachResultIsHandedOnAsSoonAsItIsDone) {
  testing::TemporaryFolder temp;
  std::vector<std::string> paths;
  for (const char* name : {"a.xib", "b.xib", "c.xib"}) paths.push_back(temp.write(name, "<document/>"));
  const files::PosixFileManager disk;
  std::string events;
  InterfaceBuilderPass(disk, paths).run(
      1, [&](std::size_t index) { events += "job" + std::to_string(index) + " "; },
      [&](std::size_t index) { events += "deliver" + std::to_string(index) + " "; });
  EXPECT_EQ(events, "job0 deliver0 job1 deliver1 job2 deliver2 ");
}

}  // namespace
}  // namespace korvaster
