// The real Interface Builder files the corpus tests read: the full corpus when tests/CMakeLists.txt
// found it beside the checkout, the redistributable sample in tests/data/ib otherwise.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

#include "temporary_folder.h"

namespace korvaster::testing {

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
