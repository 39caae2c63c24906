// The real Interface Builder files the corpus tests read: the full corpus when tests/CMakeLists.txt
// found it beside the checkout, the redistributable sample in tests/data/ib otherwise.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

namespace korvaster::testing {

struct Corpus {
  std::string name;  // "full corpus" or "bundled sample"
  std::string folder;
  std::vector<std::string> files;  // the .xib and .storyboard paths, sorted
};

// The .xib and .storyboard files directly in `folder`, sorted; none when the folder is missing.
inline std::vector<std::string> interfaceBuilderFilesIn(const std::string& folder) {
  std::vector<std::string> paths;
  std::error_code error;
  for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
    const std::string extension = it->path().extension().string();
    if (extension == ".xib" || extension == ".storyboard") paths.push_back(it->path().string());
  }
  std::sort(paths.begin(), paths.end());
  return paths;
}

// Lists the corpus and says on standard output which set this run reads. With
// KORVASTER_REQUIRE_FULL_CORPUS set (as .ci/run sets it), reading the sample is a failure.
inline Corpus loadCorpus() {
  Corpus corpus{KORVASTER_CORPUS_NAME, KORVASTER_CORPUS_DIR, interfaceBuilderFilesIn(KORVASTER_CORPUS_DIR)};
  std::cout << "[ corpus   ] " << corpus.name << ": " << corpus.files.size() << " files in " << corpus.folder
            << std::endl;
  const char* required = std::getenv("KORVASTER_REQUIRE_FULL_CORPUS");
  if (required != nullptr && *required != '\0' && corpus.name != "full corpus") {
    ADD_FAILURE() << "KORVASTER_REQUIRE_FULL_CORPUS is set, but these tests were configured to read the "
                  << corpus.name << " in " << corpus.folder;
  }
  return corpus;
}

// The 1-based line of the first git merge-conflict marker ("<<<<<<< " opening a line), if any.
// A file committed with one is not well-formed XML, and the marker is where a parser stops.
inline std::optional<unsigned long> firstConflictMarkerLine(const std::string& text) {
  unsigned long line = 1;
  for (std::size_t start = 0; start < text.size(); ++line) {
    if (text.compare(start, 8, "<<<<<<< ") == 0) return line;
    start = text.find('\n', start);
    if (start == std::string::npos) break;
    ++start;
  }
  return std::nullopt;
}

}  // namespace korvaster::testing
