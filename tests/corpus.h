// The real Interface Builder files the corpus tests read: the full corpus when tests/CMakeLists.txt
// found it beside the checkout, the redistributable sample in tests/data/ib otherwise.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

namespace korvaster::testing {

// The files directly in `folder` whose extension is one of `extensions` (all files when none
// is given), sorted; none when the folder is missing.
inline std::vector<std::string> filesIn(const std::string& folder, const std::vector<std::string>& extensions = {}) {
  std::vector<std::string> paths;
  std::error_code error;
  for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
    const std::string extension = it->path().extension().string();
    if (extensions.empty() || std::find(extensions.begin(), extensions.end(), extension) != extensions.end()) {
      paths.push_back(it->path().string());
    }
  }
  std::sort(paths.begin(), paths.end());
  return paths;
}

// The corpus's files. Says on standard output which set this run reads; with
// KORVASTER_REQUIRE_FULL_CORPUS set (as .ci/run sets it), reading the sample is a failure.
inline std::vector<std::string> loadCorpus() {
  const std::string name = KORVASTER_CORPUS_NAME;
  auto files = filesIn(KORVASTER_CORPUS_DIR, {".xib", ".storyboard"});
  std::cout << "[ corpus   ] " << name << ": " << files.size() << " files in " KORVASTER_CORPUS_DIR << std::endl;
  const char* required = std::getenv("KORVASTER_REQUIRE_FULL_CORPUS");
  if (required != nullptr && *required != '\0' && name != "full corpus") {
    ADD_FAILURE() << "KORVASTER_REQUIRE_FULL_CORPUS is set, but these tests were configured to read the " << name
                  << " in " KORVASTER_CORPUS_DIR;
  }
  if (files.empty()) ADD_FAILURE() << "no Interface Builder files in " KORVASTER_CORPUS_DIR;
  return files;
}

}  // namespace korvaster::testing
