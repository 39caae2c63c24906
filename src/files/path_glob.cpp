#include "files/path_glob.h"

#include <cstddef>
#include <set>

namespace korvaster::files {

namespace {

std::vector<std::string_view> componentsOf(std::string_view path) {
  std::vector<std::string_view> components;
  while (!path.empty()) {
    const std::size_t slash = path.find('/');
    const std::string_view component = path.substr(0, slash);
    // Empty and "." components name no folder: "a//b" and "./a" are "a/b" and "a".
    if (!component.empty() && component != ".") components.push_back(component);
    if (slash == std::string_view::npos) break;
    path.remove_prefix(slash + 1);
  }
  return components;
}

// One name against one pattern component. Invariant: on a mismatch only the last "*" is
// widened, which is enough because a "*" can never match across a later one.
bool nameMatches(std::string_view pattern, std::string_view name) {
  std::size_t p = 0, n = 0;
  std::size_t star = std::string_view::npos, resume = 0;
  while (n < name.size()) {
    if (p < pattern.size() && (pattern[p] == '?' || pattern[p] == name[n])) {
      ++p;
      ++n;
    } else if (p < pattern.size() && pattern[p] == '*') {
      star = p++;
      resume = n;
    } else if (star != std::string_view::npos) {
      p = star + 1;
      n = ++resume;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

// Whether the pattern's components match the first `pathLength` components of the path.
bool componentsMatch(const std::vector<std::string_view>& pattern, const std::vector<std::string_view>& path,
                     std::size_t pathLength) {
  // reachable[j]: the pattern components taken so far can match the first j path components.
  std::vector<bool> reachable(pathLength + 1, false);
  reachable[0] = true;
  for (const std::string_view component : pattern) {
    std::vector<bool> next(pathLength + 1, false);
    for (std::size_t j = 0; j <= pathLength; ++j) {
      if (!reachable[j]) continue;
      if (component == "**") {
        for (std::size_t k = j; k <= pathLength; ++k) next[k] = true;
        break;
      }
      if (j < pathLength && nameMatches(component, path[j])) next[j + 1] = true;
    }
    reachable = std::move(next);
  }
  return reachable[pathLength];
}

// The pattern positions `at` stands for once a "**" there may also match no folder at all.
std::set<std::size_t> withEmptyStars(std::set<std::size_t> at, const std::vector<std::string_view>& pattern) {
  for (auto position = at.begin(); position != at.end(); ++position) {
    if (*position < pattern.size() && pattern[*position] == "**") at.insert(*position + 1);
  }
  return at;
}

}  // namespace

std::vector<std::string> globsBelow(std::string_view pattern, std::string_view folder) {
  const auto components = componentsOf(pattern);
  // Invariant: `reached` holds the positions in the pattern up to which it matches the
  // folder's components taken so far; a position past the end takes that folder and all in it.
  std::set<std::size_t> reached{0};
  for (const std::string_view name : componentsOf(folder)) {
    std::set<std::size_t> next;
    for (const std::size_t position : withEmptyStars(std::move(reached), components)) {
      if (position == components.size()) return {"**"};
      if (components[position] == "**") next.insert(position);
      else if (nameMatches(components[position], name)) next.insert(position + 1);
    }
    reached = std::move(next);
  }
  std::vector<std::string> globs;
  for (const std::size_t position : withEmptyStars(std::move(reached), components)) {
    if (position == components.size()) return {"**"};
    std::string rest;
    for (std::size_t part = position; part < components.size(); ++part)
      rest += std::string(part == position ? "" : "/") + std::string(components[part]);
    globs.push_back(std::move(rest));
  }
  return globs;
}

bool matchesGlob(std::string_view pattern, std::string_view path) {
  const auto components = componentsOf(path);
  return componentsMatch(componentsOf(pattern), components, components.size());
}

bool isExcludedByGlobs(const std::vector<std::string>& patterns, std::string_view path) {
  if (patterns.empty()) return false;
  const auto components = componentsOf(path);
  for (const std::string& pattern : patterns) {
    const auto patternComponents = componentsOf(pattern);
    for (std::size_t length = 1; length <= components.size(); ++length) {
      if (componentsMatch(patternComponents, components, length)) return true;
    }
  }
  return false;
}

}  // namespace korvaster::files
