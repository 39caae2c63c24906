// Globs over the paths of a project's files, relative to the project folder, with which a
// user names the files a run must leave alone (a vendored "Pods/**", say).
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace korvaster::files {

// Whether `pattern` matches all of `path`, both relative and "/"-separated. In a pattern "*"
// stands for any run of characters within one name, "?" for one character other than "/",
// and "**" as a whole component for any number of folders, none included ("**/A.xib" takes
// "A.xib" and "x/y/A.xib"); every other character stands for itself. Leading "./" and "/"
// and trailing "/" are ignored on both sides.
bool matchesGlob(std::string_view pattern, std::string_view path);

// Whether any of `patterns` matches `path` or one of the folders it lies in, so that "Pods"
// and "Pods/**" both take "Pods/A/B.xib".
bool isExcludedByGlobs(const std::vector<std::string>& patterns, std::string_view path);

// The patterns that take, of the paths relative to `folder` (a relative path), what `pattern`
// takes of the same paths spelled from the folder that holds `folder`: "**" when the pattern
// takes `folder` itself or a folder it lies in, nothing when it takes nothing below `folder`.
// So the globs of a settings file stay true for a run rooted in a folder below that file's.
std::vector<std::string> globsBelow(std::string_view pattern, std::string_view folder);

}  // namespace korvaster::files
