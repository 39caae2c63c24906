// One identifier pass over the Interface Builder files of a project copy (or of the project
// itself), shared by the workflows that change them: which files, what is logged around the
// pass, and which failures end the run.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/filemanager/korvast_file_manager.h"
#include "core/filemanager/project_copy.h"
#include "core/logging/logger.h"
#include "core/strategies/run_report.h"
#include "core/xib/identifier_pass.h"

namespace korvaster {

// Runs the pass over the given files, shown as `shownPath` gives them; calls `onFileDone`
// once per file, in order.
using ProjectFilesPass = std::function<IdentifierPassSummary(
    const std::vector<files::File>& files, const std::function<std::string(const std::string&)>& shownPath,
    const std::function<void()>& onFileDone)>;

// Finds the Interface Builder files of `copy`'s work folder (only those among the `named`
// files and folders when any are; see findNamedInterfaceBuilderFiles), less those an exclude
// glob takes (relative to that folder, by the path found or the real one: see
// ProjectExclusion), and runs `pass` over them. A link leading out of the
// project is named in a Warning line and left alone; a folder that could not be listed, or a
// named path that cannot be read, is a failed entry with an Error line; no file at all gives
// the Warning that nothing was found. After the pass: an Error line when any entry failed,
// and the Info summary line. The summary goes into `report` when given. Throws the file
// layer's FileIOError(writeFailed) for the first file the disk would not take, and
// support::Interrupted.
IdentifierPassSummary passOverProjectFiles(const ProjectCopy& copy, const KorvastFileManager& fileManager,
                                           const std::vector<std::string>& excluded,
                                           const std::shared_ptr<Logger>& logger, RunReport* report,
                                           const ProjectFilesPass& pass,
                                           const std::vector<std::string>& named = {});

}  // namespace korvaster
