// ModifySourceCodeStrategy: copies a project and gives the views in its Interface Builder
// files accessibility identifiers. Stateless.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/filemanager/korvast_file_manager.h"
#include "core/options/argument.h"
#include "core/strategies/command_outcome.h"
#include "core/strategies/run_report.h"

namespace korvaster {

class ModifySourceCodeStrategy {
 public:
  // result: the path of the modified copy; description: "Your modified project is at PATH".
  // Throws KorvastError::missedProjectPath without a project path, and what the copy throws.
  // Files that cannot be changed are only logged. IB files whose path in the project matches
  // an exclude glob are copied unchanged. What was done is added to `report` when given.
  static CommandOutcome run(const Arguments& arguments, const KorvastFileManager& fileManager,
                            RunReport* report = nullptr);

  // What the workflow did: where the modified project is, and whether it is a copy (false
  // when the project was changed where it lies).
  struct ModifiedProject {
    std::string path;
    bool isCopy = false;
  };
  // The workflow behind run(), for callers that go on with the modified project.
  static ModifiedProject modify(const Arguments& arguments, const KorvastFileManager& fileManager,
                                RunReport* report = nullptr);

 private:
  static ModifiedProject copyAndModifyProject(const std::string& projectPath,
                                              const KorvastFileManager& fileManager,
                                              const std::optional<std::string>& destination,
                                              const std::vector<std::string>& excluded,
                                              const std::shared_ptr<Logger>& logger, RunReport* report);
};

}  // namespace korvaster
