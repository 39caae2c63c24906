#include "core/options/project_configuration.h"

#include <yaml-cpp/yaml.h>

#include <algorithm>
#include <cctype>

#include "files/path_glob.h"
#include "files/path_text.h"

namespace korvaster {

namespace {

constexpr std::uintmax_t kLargestConfiguration = std::uintmax_t{1} << 20;

[[noreturn]] void fail(const std::string& shownName, const YAML::Mark& mark, const std::string& what) {
  // yaml-cpp counts lines from 0; editors and the other diagnostics count from 1.
  std::string description = shownName;
  if (mark.line >= 0) description.append(1, ':').append(std::to_string(mark.line + 1));
  throw ConfigurationError(description.append(": ").append(what));
}

// The file's own text quoted back in a message only when it is a short plain word: the file may
// be a link to any file of the user's, whose first line must not end up in a CI log.
std::string echoed(const std::string& text) {
  const bool plain = !text.empty() && text.size() <= 40 && std::all_of(text.begin(), text.end(), [](char c) {
    return std::isalnum(static_cast<unsigned char>(c)) != 0 || c == '_' || c == '-' || c == '.';
  });
  return plain ? "'" + text + "'" : "(" + std::to_string(text.size()) + " characters, not shown)";
}

std::vector<std::string> globsOf(const YAML::Node& value, const std::string& shownName) {
  if (value.IsScalar()) return {value.Scalar()};
  if (!value.IsSequence()) fail(shownName, value.Mark(), "'exclude' must be a glob or a list of globs");
  std::vector<std::string> globs;
  for (const YAML::Node& glob : value) {
    if (!glob.IsScalar()) fail(shownName, glob.Mark(), "each entry of 'exclude' must be a glob");
    globs.push_back(glob.Scalar());
  }
  return globs;
}

// Judged whatever the command, so that a file one command would refuse is refused by all.
std::string formatOf(const YAML::Node& value, const std::string& shownName) {
  const std::string format = value.Scalar();
  std::string allowed;
  for (const char* name : kCheckFormatNames) {
    if (format == name) return format;
    allowed += (allowed.empty() ? "" : ", ") + std::string(name);
  }
  fail(shownName, value.Mark(), "'format' cannot be " + echoed(format) + " (allowed: " + allowed + ")");
}

// The nearest configuration file from the current directory up to the repository's root (the
// first folder holding ".git"), spelled from the current directory, and the way down from its
// folder to the current directory. Outside a repository only the current directory's counts:
// a file far above it belongs to nobody's project.
std::optional<std::pair<std::string, std::string>> nearestConfiguration(const files::FileManager& system) {
  std::string folder = files::withoutTrailingSlashes(system.currentDirectoryPath());
  std::optional<std::pair<std::string, std::string>> nearest;
  for (std::string up, below; !folder.empty();) {
    const std::string candidate = up + kProjectConfigurationName;
    if (!nearest && system.status(candidate, false)) nearest.emplace(candidate, below);
    if (system.status(up + ".git", false)) return nearest;
    if (folder == "/") break;
    const auto [parent, name] = files::folderAndName(folder);
    below = below.empty() ? name : name + "/" + below;
    folder = parent;
    up += "../";
  }
  return nearest && nearest->second.empty() ? nearest : std::nullopt;
}

// The configuration file that applies (see withProjectConfiguration), with the way down from
// its folder to the project folder; nothing when there is none.
std::optional<std::pair<std::string, std::string>> configurationFor(const Arguments& arguments,
                                                                     const files::FileManager& system) {
  if (const auto path = lookup(arguments, ArgumentType::configFile)) return std::make_pair(*path, std::string());
  const auto project = lookup(arguments, ArgumentType::projectPath);
  if (!project) return contains(arguments, ArgumentType::namedPath) ? nearestConfiguration(system) : std::nullopt;
  if (project->empty()) return std::nullopt;
  std::string candidate = files::joinedPath(files::withoutTrailingSlashes(*project), kProjectConfigurationName);
  if (!system.status(candidate, false)) return std::nullopt;
  return std::make_pair(std::move(candidate), std::string());
}

// Each rule named once, as on or off: YAML's own booleans ("yes", "true") would read as
// words to some and not to others.
std::vector<std::string> rulesOf(const YAML::Node& value, const std::string& shownName) {
  if (!value.IsMap()) fail(shownName, value.Mark(), "'rules' must name rules, each on or off");
  std::string known;
  for (const char* name : kCheckRuleNames) known += (known.empty() ? "" : ", ") + std::string(name);
  std::vector<std::string> rules;
  for (const auto& entry : value) {
    const std::string rule = entry.first.Scalar();
    if (std::find(std::begin(kCheckRuleNames), std::end(kCheckRuleNames), rule) == std::end(kCheckRuleNames))
      fail(shownName, entry.first.Mark(), "unknown rule " + echoed(rule) + " (known: " + known + ")");
    for (const std::string& earlier : rules) {
      if (earlier.compare(0, earlier.find('='), rule) == 0)
        fail(shownName, entry.first.Mark(), "rule '" + rule + "' is given twice");
    }
    const std::string state = entry.second.IsScalar() ? entry.second.Scalar() : "";
    if (state != "on" && state != "off")
      fail(shownName, entry.second.Mark(), "rule '" + rule + "' must be on or off");
    rules.push_back(rule + "=" + state);
  }
  return rules;
}

}  // namespace

ProjectConfiguration parseProjectConfiguration(std::string_view text, const std::string& shownName) {
  std::vector<YAML::Node> documents;
  try {
    documents = YAML::LoadAll(std::string(text));
  } catch (const YAML::Exception& error) {
    fail(shownName, error.mark, "not valid YAML: " + error.msg);
  }
  // Only one would be used: the others would be dropped in silence. An empty one (a "---"
  // at the end) says nothing.
  documents.erase(std::remove_if(documents.begin(), documents.end(), [](const YAML::Node& node) { return node.IsNull(); }),
                  documents.end());
  if (documents.size() > 1) fail(shownName, documents[1].Mark(), "more than one YAML document; keep one");
  const YAML::Node root = documents.empty() ? YAML::Node() : documents.front();
  ProjectConfiguration configuration;
  if (root.IsNull()) return configuration;  // an empty file
  if (!root.IsMap()) fail(shownName, root.Mark(), "expected keys such as 'exclude:' and 'format:'");
  std::vector<std::string> seen;
  for (const auto& entry : root) {
    const std::string key = entry.first.Scalar();
    // The YAML library keeps the last of a repeated key; the first would be lost in silence.
    if (std::find(seen.begin(), seen.end(), key) != seen.end())
      fail(shownName, entry.first.Mark(), echoed(key) + " is given twice");
    seen.push_back(key);
    if (key == "exclude") {
      configuration.exclude = globsOf(entry.second, shownName);
    } else if (key == "format") {
      if (!entry.second.IsScalar()) fail(shownName, entry.second.Mark(), "'format' must be one word");
      configuration.format = formatOf(entry.second, shownName);
    } else if (key == "rules") {
      configuration.rules = rulesOf(entry.second, shownName);
    } else {
      fail(shownName, entry.first.Mark(), "unknown key " + echoed(key) + " (known: exclude, format, rules)");
    }
  }
  return configuration;
}

namespace {

// A project's own settings file that is a link may lead to any file of the user's, whose text
// would show in the errors it gives: one that leads out of the repository it lies in (outside a
// repository, out of its folder) is not read. A file named with --config is read wherever it is.
void refuseLinkLeadingOut(const std::string& path, const files::FileManager& system) {
  const auto real = system.realPath(path);
  const std::string folder = files::folderAndName(path).first;
  const auto folderReal = system.realPath(folder.empty() ? "." : folder);
  if (!real || !folderReal) return;
  std::string root = *folderReal;
  for (std::string up = *folderReal;; up = files::folderAndName(up).first) {
    if (system.status(files::joinedPath(up, ".git"), false)) {
      root = up;
      break;
    }
    if (up == "/" || up.empty()) break;
  }
  if (!files::isWithin(*real, root)) throw ConfigurationError(path + ": a link to a file outside the project; it is not read");
}

}  // namespace

Arguments withProjectConfiguration(Arguments arguments, CommandLevel level,
                                   const files::FileManager& system) {
  const auto found = configurationFor(arguments, system);
  if (!found) return arguments;
  const std::string& path = found->first;
  if (!contains(arguments, ArgumentType::configFile)) refuseLinkLeadingOut(path, system);
  // Refused before it is read: a device or a pipe may never end, and a huge file would take
  // many times its size in memory to parse.
  if (const auto status = system.status(path, true)) {
    if (status->kind != files::ItemStatus::Kind::regular)
      throw ConfigurationError(path + ": not a regular file");
    if (status->size > kLargestConfiguration)
      throw ConfigurationError(path + ": larger than 1 MiB, too large for a configuration file");
  }
  // Read with a limit too: the file may have grown since it was looked at.
  const std::string text = system.readContents(path, kLargestConfiguration + 1);
  if (text.size() > kLargestConfiguration)
    throw ConfigurationError(path + ": larger than 1 MiB, too large for a configuration file");
  const ProjectConfiguration configuration = parseProjectConfiguration(text, path);
  // A file above the project folder names files from its own folder.
  for (const std::string& glob : configuration.exclude) {
    const std::string& below = found->second;
    for (std::string& each : below.empty() ? std::vector<std::string>{glob} : files::globsBelow(glob, below))
      arguments.emplace_back(ArgumentType::exclude, std::move(each));
  }
  if (configuration.format && level == CommandLevel::check && !contains(arguments, ArgumentType::format)) {
    arguments.emplace_back(ArgumentType::format, *configuration.format);
  }
  if (level == CommandLevel::check) {
    for (const std::string& rule : configuration.rules) arguments.emplace_back(ArgumentType::rule, rule);
  }
  return arguments;
}

}  // namespace korvaster
