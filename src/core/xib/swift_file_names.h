// The Swift type each Interface Builder file of a listing is named by: its own name, told apart
// from the files of the same name by the folders they lie in, so that a file's name follows from
// its own path and theirs alone.
#pragma once

#include <string>
#include <vector>

namespace korvaster {

// One unique Swift type name per path of `relativePaths` ('/'-separated), in their order: the
// file's name without its extension ("Main"); where other files have the same name, followed by
// as many of its innermost folders as tell it from each of them, outermost first
// ("Main_Widget", "Main_App_Extension"), leaving out localisation folders ("Base.lproj"). Files
// that their folders cannot tell apart are numbered ("_2", "_3") in the order of their paths,
// and so is a name that another file already has as its own.
std::vector<std::string> swiftFileTypeNames(const std::vector<std::string>& relativePaths);

}  // namespace korvaster
