#include "core/strategies/check_identifiers_strategy.h"

#include "core/strategies/read_only_entries.h"
#include "core/xib/interface_builder_pass.h"
#include "files/path_text.h"
#include "support/interruption.h"
#include "xml/xml_error.h"

namespace korvaster {

namespace {

void checkFile(const files::FileManager& system, const std::string& path, ScanKeeps keeps,
               CheckedFile& checked) {
  try {
    // The contents go as soon as they are scanned: the findings wait for their turn without them.
    checked.scan = scanIdentifiers(system.readContents(path), keeps);
  } catch (const support::Interrupted&) {
    throw;
  } catch (const xml::XmlSyntaxError& error) {
    checked.error = error.description();
    checked.errorLine = error.line();
  } catch (const std::exception& error) {
    checked.error = support::plainDescription(error);
  }
}

}  // namespace

CheckTotals CheckIdentifiersStrategy::run(const Arguments& arguments, CheckFormat format, CheckFilter& filter,
                                          const std::shared_ptr<files::FileManager>& system,
                                          support::OutputByteStream& output, std::size_t workers,
                                          CheckJobSummary* jobSummary) {
  std::vector<std::string> paths;
  std::vector<CheckedFile> checked;
  for (ReadOnlyEntry& entry : readOnlyEntries(arguments, system)) {
    paths.push_back(std::move(entry.path));
    CheckedFile& file = checked.emplace_back();
    // Xcode opens the file a finding names only by its full path.
    file.path = format == CheckFormat::xcode && !entry.shownPath.empty() && entry.shownPath.front() != '/'
                    ? files::joinedPath(system->currentDirectoryPath(), entry.shownPath)
                    : std::move(entry.shownPath);
    file.relativePath = std::move(entry.relativePath);
    file.error = std::move(entry.error);
  }
  // A file's findings go as soon as their turn comes, so that they wait without its contents.
  const ScanKeeps keeps = listsEveryView(format) ? ScanKeeps::everyView : ScanKeeps::findings;
  const InterfaceBuilderPass pass(*system, std::move(paths));
  CheckResultsWriter writer(format, output, kSarifResultLimit, filter.rules());
  pass.run(workers,
      [&](std::size_t index) {
        if (!pass.realPath(index).empty()) checkFile(*system, pass.realPath(index), keeps, checked[index]);
      },
      [&](std::size_t index) {
        filter.apply(checked[index].relativePath, checked[index]);
        writer.write(checked[index]);
        if (jobSummary) jobSummary->add(checked[index]);
        checked[index] = CheckedFile{};
      });
  writer.finish(filter.resolved());
  output.flush();
  return writer.totals();
}

}  // namespace korvaster
