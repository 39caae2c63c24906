#include "core/strategies/fix_identifiers_strategy.h"

#include <set>

#include "core/errors/korvast_error.h"
#include "core/strategies/command_outputs.h"
#include "core/strategies/project_files_pass.h"
#include "core/xib/interface_builder_file.h"
#include "files/path_text.h"
#include "support/unified_diff.h"
#include "support/text_format.h"

namespace korvaster {

CommandOutcome FixIdentifiersStrategy::run(const Arguments& arguments, const KorvastFileManager& fileManager,
                                           support::OutputByteStream& output, RunReport* report) {
  const std::vector<std::string> named = lookupAll(arguments, ArgumentType::namedPath);
  // Files named without a project folder belong to the current directory's project.
  std::optional<std::string> projectPath = lookup(arguments, ArgumentType::projectPath);
  if (!projectPath && !named.empty()) projectPath = ".";
  if (!projectPath) throw KorvastError::missedProjectPath();
  const bool dryRun = contains(arguments, ArgumentType::dryRun);
  // The project as its own destination: not copied, and locked for the run.
  ProjectCopy project = fileManager.copy(*projectPath, *projectPath);
  if (report) report->copyPath = project.path();
  const std::string& root = project.workFolder().path();
  const auto& system = *fileManager.system();
  const IdentifierPassSummary summary = passOverProjectFiles(
      project, fileManager, lookupAll(arguments, ArgumentType::exclude), fileManager.logger(), report,
      [&](const std::vector<files::File>& files, const auto& shownPath, const auto& onFileDone) {
        // Each file's insertions wait here for the files before it; the diff is made from them
        // straight into the output, so that it is never held whole.
        std::vector<PlannedInsertions> planned(dryRun ? files.size() : 0);
        // A file reached under two names is changed once by a patch: it is diffed under its
        // first name that is not a link (a patch does not write through links), and only once.
        std::vector<std::string> realPaths(files.size());
        std::set<std::string> printed;
        return runInterfaceBuilderJobs(
            system, project.rootFolder(), files, fileManager.logger(), fileManager.workers(), shownPath, !dryRun,
            [&](const files::FilePlace& place, std::size_t index) {
              // Empty for a link: nothing to print under that name.
              if (!system.isSymbolicLink(files[index].path()))
                realPaths[index] = files::joinedPath(place.folder->shownPath(), place.name);
              return insertAccessibilityIdentifiers(place, dryRun ? &planned[index] : nullptr);
            },
            [&](std::size_t index) {
              if (dryRun) {
                const PlannedInsertions plan = std::move(planned[index]);  // gone once written
                if (!plan.insertions.edits.empty() && !realPaths[index].empty() &&
                    printed.insert(realPaths[index]).second) {
                  const std::string& path = files[index].path();
                  const bool inside = path.compare(0, root.size(), root) == 0;
                  support::writeUnifiedDiff(plan.contents, plan.insertions.edits,
                                            inside ? std::string_view(path).substr(root.size()) : path,
                                            output);
                }
              }
              onFileDone();
            });
      },
      named);
  output.flush();
  project.commit();
  // A run that left files as they were is not the success a hook or CI step waits for.
  if (const IdentifierPassTotals totals = totalsOf(summary); totals.failed > 0) {
    const char* sentence =
        dryRun ? Constants::CommandOutputs::FixDryRunLeftFiles : Constants::CommandOutputs::FixLeftFiles;
    std::string text = support::replacingFirst(sentence, "%@", std::to_string(totals.failed));
    text = support::replacingFirst(text, "%@", std::to_string(totals.files));
    return {project.path(), support::replacingFirst(text, "%@", project.path()), 1};
  }
  const char* sentence = dryRun ? Constants::CommandOutputs::FixDryRun : Constants::CommandOutputs::Fix;
  return {project.path(), support::replacingFirst(sentence, "%@", project.path())};
}

}  // namespace korvaster
